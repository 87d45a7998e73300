// The neighbour grids give exactly what the whole-pool walk gives: one frame over a hand-made pool
// where puffs and stars cross cell borders during the pass (a little, and far), a star lays puffs
// that later lights must find, and lights and fields come before and after what they reach in
// pool order; every record must end the frame with the same bits on both paths.
#include "renderer/sim/neighbour_index.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/emitters.h"
#include "renderer/sim/update.h"
#include "tests/unit/show_test_support.h"

namespace varenko {
namespace {

using NeighbourIndexTest = ShowTest;

// One record of the hand-made pool, in pool order. The puff at the origin is the corner of every
// record's box, so the grids' cells start there: smoke cells of 100 units, field cells of 125.
// The searches of the lights and fields marked "only if followed" do not reach the old cell of
// the record they must find: a grid that did not follow the move would miss it.
struct Row {
  unsigned kind;
  Vec3 pos, vel;
  unsigned trail;  // 1: lays smoke puffs along its path
};
// clang-format off
const Row Scene[] = {
    {Smoke,    {0, 0, 0},          {0, 0, 0},       0},  // fixes the grids' corner
    {Flash,    {150, 100, 100},    {0, 0, 0},       0},  // builds the smoke grid
    {Blast,    {100, 1000, 100},    {0, 0, 0},       0},  // builds the grid of every record
    {Smoke,    {99.8f, 50, 50},    {60, 0, 0},      0},  // a short step into the next cell
    {Smoke,    {195, 150, 50},     {2500, 0, 0},    0},
    {Smoke,    {250, 99.9f, 120},  {0, 40, -30},    0},  // across two borders at once
    {Smoke,    {296, 0, 0},        {432.6f, 0, 0},  0},  // 8 units on, lit only if followed
    {Smoke,    {190, 0, 200},      {10000, 0, 0},   0},  // 185 units on, lit only if followed
    {Star,     {124.9f, 60, 60},   {200, 0, 0},     0},
    {Star,     {370, 100, 0},      {512.5f, 0, 0},  0},  // 10 units on, pulled only if followed
    {Star,     {100, 100, 300},    {20000, 0, 0},   0},  // 390 units on, pulled only if followed
    {Star,     {240, 240, 240},    {-3000, 0, 0},   1},  // lays puffs on its way
    {Fountain, {502, 0, 0},        {0, 0, 0},       0},
    {Fountain, {560, 0, 200},      {0, 0, 0},       0},
    {Fountain, {260, 0, 100},      {0, 0, 0},       0},  // lights what was laid
    {Gather,   {879, 100, 0},      {0, 0, 0},       0},
    {Flash,    {1250, 2000, 0},    {0, 0, 0},       0},  // lights a few rows of the clouds
    {Flash,    {400, 300, 300},    {0, 0, 0},       0},
    {Smoke,    {390, 80, 60},      {-500, 10, 0},   0},  // moves after every light has shone
    {Smoke,    {1000, 1000, 1000}, {0, 0, 0},       0},  // beyond every light: never looked at
};
// clang-format on

struct Frame {
  std::vector<Particle> records;  // the scene's records, then every record in pool order
  std::vector<float> clouds;      // the cloud grid's colours
};

// Fills the pool with the scene under a cloud ceiling laid out as the sky lays it, and runs one
// frame on the given path.
Frame PlayScene(NeighbourSearch path, bool hole) {
  ResetShow();
  settings.cloudy = 1;
  for (int r = 0; r < CloudGridSize; ++r) {
    for (int c = 0; c < CloudGridSize; ++c) {
      const float fr = static_cast<float>(r - 24) / 24.0f;
      const float fc = static_cast<float>(c - 24) / 24.0f;
      CloudGrid[r][c] = {(r - 24) * 833.3333f,
                         2000.0f - 1000.0f * (fr * fr + fc * fc),
                         (c - 24) * 833.3333f,
                         0,
                         0,
                         0.1f,
                         0.1f,
                         0.1f,
                         0.1f};
    }
  }
  settings.maxShells = 0;  // no launches: the frame is the scene's alone
  settings.illumination = 1;
  settings.windSpeed = 0;
  neighbours.search = path;
  dt = 0.02f;
  srand(3);
  std::vector<Particle*> made;
  for (const Row& r : Scene) {
    Particle& p = AllocateParticle();
    made.push_back(&p);
    InitParticle(p, InitKind::Star);
    p.kind = r.kind;
    p.pos = r.pos;
    p.prevPos = r.pos;
    p.vel = r.vel;
    p.colour.Set(0.1f, 0.2f, 0.3f);
    p.alpha = 1.0f;
    p.emitsTrail = r.trail;
    p.lifeTotal = 100.0f;
    p.lifeLeft = 50.0f;
  }
  // A record freed before the frame (as a test or a tool might leave it): the pass stops there.
  if (hole) FreeParticle(*made[17]);
  StepSimulation();
  Frame out;
  for (const Particle* p : made) out.records.push_back(*p);
  for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next) {
    out.records.push_back(n->particle);
  }
  for (const auto& row : CloudGrid) {
    for (const CloudVertex& v : row) out.clouds.insert(out.clouds.end(), {v.red, v.green, v.blue});
  }
  return out;
}

TEST_F(NeighbourIndexTest, OneFrameMatchesTheWholePoolWalkBitForBit) {
  for (bool hole : {false, true}) {
    const long long testsBefore = neighbours.distanceTests;
    const Frame wanted = PlayScene(NeighbourSearch::WholePool, hole);
    const std::vector<Particle>& want = wanted.records;
    const long long wholePoolTests = neighbours.distanceTests - testsBefore;
    const long long builds = neighbours.builds;
    const Frame gotten = PlayScene(NeighbourSearch::Grid, hole);
    const std::vector<Particle>& got = gotten.records;
    EXPECT_EQ(gotten.clouds, wanted.clouds);
    EXPECT_GT(*std::max_element(wanted.clouds.begin(), wanted.clouds.end()), 0.1f);
    EXPECT_GT(neighbours.builds, builds + 1) << "both grids used";
    EXPECT_LT(neighbours.distanceTests - testsBefore - wholePoolTests, wholePoolTests);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      ExpectRecord(got[i], want[i], static_cast<int>(i));
      EXPECT_EQ(got[i].depthKey, want[i].depthKey) << i;
    }

    // Not vacuous: the puffs and stars that only a grid following them finds were reached.
    EXPECT_GT(want[6].colour.x, 0.11f);
    EXPECT_GT(want[7].colour.x, 0.11f);
    const float k = 1.0f / (1.0f + 0.02f * 0.612f);  // the star's drag over the step
    EXPECT_GT(want[9].vel.x, 512.5f * (k * k));
    EXPECT_LT(want[10].vel.z, 0.0f);
  }
  neighbours.search = NeighbourSearch::Grid;
}

// Outside an update pass (a test calling the emitters directly) the whole pool is walked, and a
// light at a non-finite position lights nothing on either path.
TEST_F(NeighbourIndexTest, NoGridOutsideAPassAndNoLightFromNowhere) {
  settings.maxShells = 0;
  Particle& puff = AllocateParticle();
  InitSmoke(puff, Vec3(0.0f, 0.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  Particle& flash = AllocateParticle();
  InitParticle(flash, InitKind::Star);
  flash.kind = Flash;
  flash.pos = Vec3(10.0f, 0.0f, 0.0f);
  flash.alpha = 1.0f;
  const float grey = puff.colour.x;
  RunEmitters(flash);
  EXPECT_GT(puff.colour.x, grey);
  EXPECT_FALSE(neighbours.smoke.built);

  for (const NeighbourSearch path : {NeighbourSearch::Grid, NeighbourSearch::WholePool}) {
    neighbours.search = path;
    puff.colour.Set(grey, grey, grey);
    flash.pos.x = std::numeric_limits<float>::quiet_NaN();
    StepSimulation();
    EXPECT_EQ(puff.colour.x, grey);
  }
  neighbours.search = NeighbourSearch::Grid;
}

}  // namespace
}  // namespace varenko

// Burst patterns and finale stages: what each creator allocates, with which speeds and colours,
// checked draw by draw from a seeded generator.
#include "renderer/sim/bursts.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "renderer/sim/update.h"
#include "tests/unit/show_test_support.h"

namespace varenko {
namespace {

using Bursts = ShowTest;

float RelativeSpeed(const Particle& p, const Vec3& sourceVel) {
  return Difference(p.vel, sourceVel).Length();
}

TEST_F(Bursts, RandomHueHasOneFullAndOneDimChannel) {
  for (std::uint32_t seed = 0; seed < 2000; ++seed) {
    srand(seed);
    const Vec3 c = RandomHue();
    float ch[3] = {c.x, c.y, c.z};
    std::sort(ch, ch + 3);
    ASSERT_EQ(ch[2], 1.0f) << seed;
    ASSERT_LE(ch[0], 0.2f) << seed;
    ASSERT_GE(ch[0], 0.0f) << seed;
  }
  // The largest first draw would give arrangement 6; it is taken as 5: (dim, u, 1).
  srand(SeedForDraw(32767));
  const Vec3 c = RandomHue();
  EXPECT_EQ(c.z, 1.0f);
  EXPECT_LE(c.x, 0.2f);
}

TEST_F(Bursts, SphereBurstSpeedsPositionsAndLinger) {
  const Vec3 at(10.0f, 1500.0f, -20.0f);
  const Vec3 moving(5.0f, -7.0f, 3.0f);
  Particle& s = MakeSource(at, moving);
  const Vec3 colour(0.1f, 0.9f, 0.3f);
  SphereBurst(s, 175, 400.0f, colour);
  const auto stars = LiveOfKind(Star);
  ASSERT_EQ(stars.size(), 175u);
  for (const Particle* p : stars) {
    const float v = RelativeSpeed(*p, moving);
    EXPECT_GE(v, 400.0f - 0.01f);
    EXPECT_LE(v, 450.0f + 0.01f);
    EXPECT_EQ(p->pos.x, at.x);
    EXPECT_EQ(p->pos.y, at.y);
    EXPECT_EQ(p->colour.y, colour.y);
    EXPECT_GE(p->lifeTotal, 2.0f);
  }

  // About one burst in a hundred leaves its last star hanging for 5 to 25 s; the rest live 2-3 s.
  int lingering = 0;
  for (std::uint32_t seed = 0; seed < 400; ++seed) {
    ClearPool();
    srand(seed);
    Particle& src = MakeSource(at, moving);
    SphereBurst(src, 20, 400.0f, colour);
    const auto all = LiveOfKind(Star);
    ASSERT_EQ(all.size(), 20u);
    for (size_t i = 0; i + 1 < all.size(); ++i) ASSERT_LE(all[i]->lifeTotal, 3.0f);
    const Particle& last = *all.back();
    if (last.lifeTotal > 3.0f) {
      ++lingering;
      EXPECT_GE(last.lifeTotal, 5.0f);
      EXPECT_LE(last.lifeTotal, 25.0f);
      EXPECT_EQ(last.lifeLeft, last.lifeTotal);
    }
  }
  EXPECT_GE(lingering, 1);
  EXPECT_LE(lingering, 12);
}

TEST_F(Bursts, BeeBurstFliesAtExactlyTheGivenSpeed) {
  const Vec3 moving(40.0f, 10.0f, -3.0f);
  Particle& s = MakeSource(Vec3(0.0f, 800.0f, 0.0f), moving);
  BeeBurst(s, 30, 10.0f, Vec3(1.0f, 0.0f, 0.0f));
  const auto bees = LiveOfKind(Bee);
  ASSERT_EQ(bees.size(), 30u);
  for (const Particle* b : bees) EXPECT_NEAR(RelativeSpeed(*b, moving), 10.0f, 1e-3f);
}

TEST_F(Bursts, TriColourBurstUsesItsColoursInTurn) {
  Particle& s = MakeSource(Vec3(0.0f, 800.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  TriColourBurst(s, 175, 400.0f);
  std::map<std::tuple<float, float, float>, int> uses;
  const auto stars = LiveOfKind(Star);
  ASSERT_EQ(stars.size(), 175u);
  for (const Particle* p : stars) ++uses[{p->colour.x, p->colour.y, p->colour.z}];
  ASSERT_EQ(uses.size(), 3u);
  // Colours are used 1, 2, 3, 1, 2, 3 ... so the first one once more.
  const Vec3 first = stars[0]->colour;
  EXPECT_EQ((uses[{first.x, first.y, first.z}]), 59);
  for (const Particle* p : stars) {
    EXPECT_LE(RelativeSpeed(*p, Vec3(0, 0, 0)), 430.0f + 0.01f);
    EXPECT_GE(RelativeSpeed(*p, Vec3(0, 0, 0)), 400.0f - 0.01f);
  }
  for (const auto& [c, n] : uses) EXPECT_TRUE(n == 59 || n == 58);
}

TEST_F(Bursts, TwoToneBurstSplitsByAPlane) {
  Particle& s = MakeSource(Vec3(0.0f, 800.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  const Vec3 first(1.0f, 0.05f, 0.5f);
  const std::uint32_t seed = RandState();
  TwoToneBurst(s, 175, 400.0f, first);
  // Replay the draws made before the loop: the second colour, then the dividing axis.
  srand(seed);
  const Vec3 second = RandomHue();
  const Vec3 axis = RandomDirection();
  int onFirst = 0;
  for (const Particle* p : LiveOfKind(Star)) {
    const float side = axis.Dot(p->vel);
    const Vec3 expected = side > 0.0f ? first : second;
    EXPECT_EQ(p->colour.x, expected.x);
    EXPECT_EQ(p->colour.y, expected.y);
    EXPECT_EQ(p->colour.z, expected.z);
    onFirst += side > 0.0f;
  }
  EXPECT_GT(onFirst, 40);
  EXPECT_LT(onFirst, 135);
}

TEST_F(Bursts, RingBurstIsAFlatRaggedRing) {
  Particle& s = MakeSource(Vec3(0.0f, 800.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  RingBurst(s, 70, 400.0f, Vec3(1.0f, 1.0f, 0.0f));
  const auto stars = LiveOfKind(Star);
  ASSERT_EQ(stars.size(), 70u);
  // The ring's plane: the normal of two stars' directions far apart.
  Vec3 normal;
  normal.Cross(stars[0]->vel, stars[1]->vel);
  for (size_t i = 2; normal.Length() < 1000.0f && i < stars.size(); ++i)
    normal.Cross(stars[0]->vel, stars[i]->vel);
  normal.Normalize();
  for (const Particle* p : stars) {
    const float v = p->vel.Length();
    EXPECT_GE(v, 400.0f - 0.01f);
    EXPECT_LE(v, 450.0f + 0.01f);
    // Independent factors per component keep it close to, not exactly in, the plane.
    EXPECT_LT(std::fabs(normal.Dot(p->vel)) / v, 0.25f);
  }
}

TEST_F(Bursts, CubeSpreadsOfSubShellsAndCrackle) {
  const Vec3 moving(0.0f, 100.0f, 0.0f);
  Particle& s = MakeSource(Vec3(0.0f, 800.0f, 0.0f), moving);
  SubShellBurst(s, 6, 8, 300.0f, Vec3(0.2f, 0.4f, 1.0f));
  const auto subs = LiveOfKind(SubShell);
  ASSERT_EQ(subs.size(), 8u);
  for (const Particle* p : subs) {
    EXPECT_EQ(p->burstKind, 6u);
    EXPECT_EQ(p->colour.z, 1.0f);
    const Vec3 rel = Difference(p->vel, moving);
    for (float c : {rel.x, rel.y, rel.z}) EXPECT_LE(std::fabs(c), 300.0f + 0.01f);
  }

  ClearPool();
  Particle& src = MakeSource(Vec3(0.0f, 800.0f, 0.0f), moving);
  // A recycled record keeps its colour: crackle carriers are never drawn, so none is set.
  for (int i = 0; i < 250; ++i) AllocateParticle().colour = Vec3(0.25f, 0.5f, 0.75f);
  for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next)
    if (&n->particle != &src) FreeParticle(n->particle);
  MaintainPool();
  CrackleBurst(src, 250, 150.0f);
  const auto carriers = LiveOfKind(SubShell);
  ASSERT_EQ(carriers.size(), 250u);
  for (const Particle* p : carriers) {
    EXPECT_EQ(p->burstKind, 8u);
    EXPECT_EQ(p->colour.y, 0.5f);
    const Vec3 rel = Difference(p->vel, moving);
    for (float c : {rel.x, rel.y, rel.z}) EXPECT_LE(std::fabs(c), 150.0f + 0.01f);
  }
}

TEST_F(Bursts, FinaleStagesMakeTheirObjectsAndStars) {
  Particle& s = MakeSource(Vec3(0.0f, 1200.0f, 0.0f), Vec3(0.0f, 10.0f, 0.0f));
  GatherFinale(s);
  EXPECT_EQ(s.kind, Gather);
  EXPECT_EQ(s.lifeTotal, 4.0f);
  EXPECT_EQ(LiveOfKind(Flash).size(), 1u);
  const auto rings = LiveOfKind(Star);
  ASSERT_EQ(rings.size(), 180u);
  for (size_t i = 0; i < rings.size(); ++i) {
    const float v = RelativeSpeed(*rings[i], s.vel);
    if (i < 90) {
      EXPECT_GE(v, 350.0f - 0.01f);
      EXPECT_LE(v, 380.0f + 0.01f);
    } else {
      EXPECT_GE(v, 600.0f - 0.01f);
      EXPECT_LE(v, 650.0f + 0.01f);
    }
    EXPECT_EQ(rings[i]->emitsTrail, 0u);
  }

  ClearPool();
  Particle& g = MakeSource(Vec3(0.0f, 1200.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  g.kind = Gather;
  BlastStage(g);
  EXPECT_EQ(g.kind, Blast);
  EXPECT_EQ(g.size, 0.0f);
  EXPECT_EQ(LiveOfKind(Flash).size(), 1u);
  const auto blastStars = LiveOfKind(Star);
  ASSERT_EQ(blastStars.size(), 225u);
  // The outer disc is flat and, on the whole, slightly rising.
  float rise = 0.0f;
  for (size_t i = 75; i < blastStars.size(); ++i) {
    EXPECT_LT(std::fabs(blastStars[i]->vel.y), 0.5f * blastStars[i]->vel.Length());
    EXPECT_EQ(blastStars[i]->drag, 0.2f);
    rise += blastStars[i]->vel.y;
  }
  EXPECT_GT(rise, 0.0f);

  ClearPool();
  Particle& sw = MakeSource(Vec3(0.0f, 1200.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  SwirlFinale(sw);
  EXPECT_EQ(sw.kind, Swirl);
  ASSERT_EQ(LiveOfKind(Star).size(), 240u);
  for (const Particle* p : LiveOfKind(Star)) EXPECT_LE(std::fabs(p->vel.y), 35.0f + 0.01f);
}

TEST_F(Bursts, RingWaveColumnKeepsItsSpreadUnderGravity) {
  Particle& w = MakeSource(Vec3(0.0f, 1500.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  w.kind = Swirl;
  RingWaveStage(w);
  EXPECT_EQ(w.kind, RingWave);
  const auto flashes = LiveOfKind(Flash);
  ASSERT_EQ(flashes.size(), 1u);
  EXPECT_EQ(flashes[0]->drag, 0.0f);
  EXPECT_EQ(LiveOfKind(EmberStar).size(), 50u);
  auto stars = LiveOfKind(Star);
  ASSERT_EQ(stars.size(), 8u + 75u);
  Particle& top = *stars[6];     // +105
  Particle& bottom = *stars[7];  // -105
  ASSERT_EQ(top.vel.y, 105.0f);
  ASSERT_EQ(bottom.vel.y, -105.0f);
  EXPECT_EQ(top.lifeTotal, 4.5f);
  EXPECT_EQ(top.colour.y, 0.0f);
  for (int frame = 0; frame < 100; ++frame) {
    UpdateParticle(top);
    UpdateParticle(bottom);
  }
  EXPECT_NEAR(top.pos.y - bottom.pos.y, 420.0f, 0.05f);
}

}  // namespace
}  // namespace varenko

// Burst patterns and finale stages, replayed draw by draw: each test seeds the generator, lets the
// creator run on recycled records, then replays the same draws in the order the rules write them
// and predicts every field of every record made.
#include "renderer/sim/bursts.h"

#include <functional>

#include "tests/unit/show_test_support.h"

namespace varenko {
namespace {

using Bursts = ShowTest;

const Vec3 At(10.0f, 1500.0f, -20.0f);
const Vec3 Moving(5.0f, -7.0f, 3.0f);
const Vec3 Colour(0.1f, 0.9f, 0.3f);

// A star of a creator: the initialiser's draws, then the record's place, speed and colour.
Particle Made(unsigned init, int variant = -1) {
  Particle p = Leftover();
  replay::Init(p, init, variant);
  p.pos = At;
  return p;
}

Vec3 Plus(const Vec3& dir, float v) {
  return Vec3(dir.x * v + Moving.x, dir.y * v + Moving.y, dir.z * v + Moving.z);
}

// One star in a hundred of a lingering burst hangs in the sky for 5 to 25 s: Q(100) = 0, that is
// r * 100 / 32767 = 0. The draw is kept so a test can pick the edge r = 325..327.
int lingerDraw = -1;
void LingerReplay(std::vector<Particle>& made) {
  lingerDraw = rand();
  if (lingerDraw * 100 / 32767 != 0) return;
  made.back().lifeLeft = U(5.0f, 25.0f);
  made.back().lifeTotal = made.back().lifeLeft;
}

// The ring's tilt: alpha then beta, and each star's flat direction turned by both.
struct Tilt {
  float sa, ca, sb, cb;
};
Tilt DrawTilt() {
  const float a = U(0.0f, TestPi);
  const float b = U(0.0f, TestPi);
  return {std::sin(a), std::cos(a), std::sin(b), std::cos(b)};
}
Vec3 Tilted(const Tilt& t) {
  const Vec3 f = replay::Flat();
  const float y1 = t.sb * f.z;
  const float z1 = t.cb * f.z;
  return Vec3(t.sa * y1 + t.ca * f.x, t.ca * y1 - t.sa * f.x, z1);
}

enum Pattern { Sphere, TwoTone, TriColour, Ring, Cube, BeeExact };

struct CreatorCase {
  const char* name;
  std::function<void(const Particle&, int, float, const Vec3&)> run;
  unsigned init;
  Pattern pattern;
  int count;
  float speed, spread;
  bool colour;  // the records take the colour argument
  bool linger;
};

// The creators' table: initialiser, direction and speed, colour, linger rule. The ring's speed is
// one whose U(V, V + 50) would round differently from V + U(0, 50).
const auto TriRun = [](const Particle& s, int n, float v, const Vec3&) { TriColourBurst(s, n, v); };
const auto SubRun = [](const Particle& s, int n, float v, const Vec3& c) {
  SubShellBurst(s, 6, n, v, c);
};
const auto CrackleRun = [](const Particle& s, int n, float v, const Vec3&) {
  CrackleBurst(s, n, v);
};
// clang-format off
const CreatorCase Creators[] = {
    {"Sphere", SphereBurst, Star, Sphere, 175, 400.0f, 50.0f, true, true},
    {"TwoTone", TwoToneBurst, Star, TwoTone, 175, 400.0f, 50.0f, true, true},
    {"TriColour", TriRun, Star, TriColour, 175, 400.0f, 30.0f, false, true},
    {"Ring", RingBurst, Star, Ring, 70, 470.0000305f, 50.0f, true, true},
    {"Ember", EmberBurst, EmberStar, Sphere, 40, 500.0f, 50.0f, true, false},
    {"TrailStar", TrailStarBurst, TrailStar, Sphere, 40, 450.0f, 50.0f, true, false},
    {"SubShell", SubRun, SubShell, Cube, 8, 300.0f, 0.0f, true, false},
    {"Crackle", CrackleRun, replay::Crackle, Cube, 250, 150.0f, 0.0f, false, false},
    {"Bee", BeeBurst, Bee, BeeExact, 30, 10.0f, 0.0f, true, false},
};
// clang-format on

std::vector<Particle> ReplayCreator(const CreatorCase& c) {
  std::vector<Particle> made;
  Vec3 second(0, 0, 0), axis(0, 0, 0), tri[3] = {second, second, second};
  Tilt tilt{};
  if (c.pattern == TwoTone) {
    second = replay::Hue();
    axis = replay::Direction();
  }
  if (c.pattern == TriColour) {
    for (Vec3& h : tri) h = replay::Hue();
  }
  if (c.pattern == Ring) tilt = DrawTilt();
  for (int i = 0; i < c.count; ++i) {
    Particle p = Made(c.init, 6);
    if (c.colour) p.colour = Colour;
    switch (c.pattern) {
      case Sphere:
      case TwoTone:
      case TriColour: {
        const Vec3 d = replay::Direction();
        if (c.pattern == TwoTone && !(axis.Dot(d) > 0.0f)) p.colour = second;
        if (c.pattern == TriColour) p.colour = tri[i % 3];
        p.vel = Plus(d, c.speed + U(0.0f, c.spread));
        break;
      }
      case Ring: {
        const Vec3 d = Tilted(tilt);
        const float kx = c.speed + U(0.0f, 50.0f);
        const float ky = c.speed + U(0.0f, 50.0f);
        const float kz = c.speed + U(0.0f, 50.0f);
        p.vel = Vec3(d.x * kx + Moving.x, d.y * ky + Moving.y, d.z * kz + Moving.z);
        break;
      }
      case Cube: {
        const float x = U(0.0f, 2.0f * c.speed) - c.speed;
        const float y = U(0.0f, 2.0f * c.speed) - c.speed;
        const float z = U(0.0f, 2.0f * c.speed) - c.speed;
        p.vel = Vec3(Moving.x + x, Moving.y + y, Moving.z + z);
        break;
      }
      case BeeExact:
        p.vel = Plus(replay::Direction(), c.speed);
        break;
    }
    made.push_back(p);
  }
  if (c.linger) LingerReplay(made);
  return made;
}

TEST_F(Bursts, EveryCreatorReplayedRecordByRecord) {
  for (const CreatorCase& c : Creators) {
    // Seed 12345, a seed whose burst lingers and, for the sphere, one whose linger draw is at
    // the edge of Q(100) = 0.
    std::vector<std::uint32_t> seeds = {12345};
    const size_t wanted = c.linger ? (c.pattern == Sphere ? 3 : 2) : 1;
    for (std::uint32_t seed = 1; seeds.size() < wanted; ++seed) {
      srand(seed);
      ReplayCreator(c);
      if (seeds.size() == 1 ? lingerDraw <= 327 : lingerDraw >= 325 && lingerDraw <= 327)
        seeds.push_back(seed);
    }
    for (std::uint32_t seed : seeds) {
      SCOPED_TRACE(::testing::Message() << c.name << " seed " << seed);
      ClearPool();
      Particle& s = MakeSource(At, Moving);
      AddLeftovers(c.count);
      const auto run = [&] { c.run(s, c.count, c.speed, Colour); };
      ExpectReplayed(seed, 1, run, [&] { return ReplayCreator(c); });
    }
  }
}

// The finale stages as data: what the stage object becomes, its flash (a recycled record put on
// the object), then groups of stars, each with a hue drawn first (and a ring's tilt after it),
// then per star the initialiser, the motion's draws and its own lifetime.
enum Motion { TiltedRing, Outwards, RisingDisc, FlatWheel, Column };
struct Group {
  int count;
  unsigned init;
  Motion motion;
  float lo, hi, rise;    // speed range; a flat wheel's vertical range
  float drag, size;      // < 0: the initialiser's
  float lifeLo, lifeHi;  // U(lifeLo, lifeHi)
};
struct StageCase {
  const char* name;
  unsigned sourceKind;
  void (*run)(Particle&);
  unsigned kind;
  const unsigned* sprite;  // nullptr: kept
  Vec3 colour;
  float size, life;
  Vec3 flashColour;
  float flashDrag, flashSize, flashLife;
  std::vector<Group> groups;
};
const Vec3 White(1.0f, 1.0f, 1.0f);
// clang-format off
const StageCase Stages[] = {
    {"Gather", Shell, GatherFinale, Gather, &RingSprite, White, 300, 4, White, 0.612f, 200, 4,
     {{90, Star, TiltedRing, 350, 380, 0, -1, -1, 2, 4},
      {90, Star, TiltedRing, 600, 650, 0, -1, -1, 2, 4}}},
    {"Blast", Gather, BlastStage, Blast, nullptr, White, 0, 5, White, 0.612f, 300, 3,
     {{75, Star, Outwards, 100, 110, 0, -1, 100, 2, 4},
      {150, Star, RisingDisc, 500, 530, 0, 0.2f, 50, 3, 5}}},
    {"Swirl", Shell, SwirlFinale, Swirl, &SparkleSprite, White, 0, 4, Vec3(1, 0.8f, 0.6f), 0.612f,
     400, 4,
     {{80, Star, FlatWheel, 400, 430, 35, -1, -1, 2, 4},
      {80, Star, FlatWheel, 550, 590, 35, -1, -1, 2, 4},
      {80, Star, FlatWheel, 700, 750, 35, -1, -1, 2, 4}}},
    {"RingWave", Swirl, RingWaveStage, RingWave, &RingSprite, Vec3(0.6f, 0.6f, 1), 0, 5,
     Vec3(0.8f, 0.8f, 1), 0, 200, 2.5f,
     {{8, Star, Column, 0, 0, 0, 0, 400, 0, 0},
      {75, Star, Outwards, 600, 700, 0, -1, -1, 2, 4},
      {50, EmberStar, FlatWheel, 1000, 1100, 50, 0.3f, 100, 3, 9}}},
};
// clang-format on

// The column of the ring wave: pairs up and down, white-hot inside, red outside, longer-lived out.
struct ColumnPair {
  float offset;
  Vec3 colour;
  float life;
};
const ColumnPair ColumnPairs[4] = {{15, Vec3(1.0f, 1.0f, 0.9f), 3.0f},
                                   {45, Vec3(1.0f, 1.0f, 0.6f), 3.5f},
                                   {75, Vec3(1.0f, 0.5f, 0.3f), 4.0f},
                                   {105, Vec3(1.0f, 0.0f, 0.0f), 4.5f}};

std::vector<Particle> PredictStage(Particle& w, const StageCase& c) {
  const auto stage = [](Particle& r, unsigned kind, float drag, const Vec3& colour, float size,
                        float life) {
    r.kind = kind;
    r.drag = drag;
    r.colour = colour;
    r.size = size;
    r.lifeLeft = r.lifeTotal = life;
    r.emitsTrail = 0;
  };
  stage(w, c.kind, 0.612f, c.colour, c.size, c.life);
  if (c.sprite != nullptr) w.spriteList = *c.sprite;
  Particle flash = Leftover();
  flash.pos = At;
  flash.vel = Moving;
  flash.spriteList = GlowSprite;
  stage(flash, Flash, c.flashDrag, c.flashColour, c.flashSize, c.flashLife);
  std::vector<Particle> m = {flash};
  for (const Group& g : c.groups) {
    const Vec3 hue = g.motion == Column ? White : replay::Hue();
    const Tilt tilt = g.motion == TiltedRing ? DrawTilt() : Tilt{};
    for (int i = 0; i < g.count; ++i) {
      Particle p = Made(g.init);
      Vec3 d(0.0f, 0.0f, 0.0f), k(0.0f, 0.0f, 0.0f);
      switch (g.motion) {
        case TiltedRing:
          d = Tilted(tilt);
          DrawInto({{&k.x, g.lo, g.hi}, {&k.y, g.lo, g.hi}, {&k.z, g.lo, g.hi}});
          break;
        case Outwards:
        case RisingDisc:
          if (g.motion == Outwards) d = replay::Direction();
          if (g.motion == RisingDisc) {
            DrawInto({{&d.x, -0.5f, 0.5f}, {&d.y, -0.005f, 0.025f}, {&d.z, -0.5f, 0.5f}});
            d = replay::Normalised(d);
          }
          DrawInto({{&k.x, g.lo, g.hi}});
          k.y = k.z = k.x;
          break;
        case FlatWheel:
          d = replay::Flat();
          d.y = 1.0f;
          DrawInto({{&k.x, g.lo, g.hi}, {&k.y, -g.rise, g.rise}, {&k.z, g.lo, g.hi}});
          break;
        case Column: {
          const ColumnPair& pair = ColumnPairs[i / 2];
          d = Vec3(0.0f, i % 2 == 0 ? pair.offset : -pair.offset, 0.0f);
          k = Vec3(0.0f, 1.0f, 0.0f);
          p.colour = pair.colour;
          p.lifeLeft = p.lifeTotal = pair.life;
          break;
        }
      }
      p.vel = Vec3(d.x * k.x + Moving.x, d.y * k.y + Moving.y, d.z * k.z + Moving.z);
      if (g.drag >= 0) p.drag = g.drag;
      if (g.size >= 0) p.size = g.size;
      p.emitsTrail = 0;
      if (g.motion != Column) {
        p.colour = hue;
        DrawInto({{&p.lifeLeft, g.lifeLo, g.lifeHi}});
        p.lifeTotal = p.lifeLeft;
      }
      m.push_back(p);
    }
  }
  return m;
}

TEST_F(Bursts, FinaleStagesReplayed) {
  for (const StageCase& c : Stages) {
    SCOPED_TRACE(c.name);
    ClearPool();
    Particle& s = MakeSource(At, Moving);
    s.kind = c.sourceKind;
    s.spriteList = RingSprite;
    int made = 1;
    for (const Group& g : c.groups) made += g.count;
    AddLeftovers(made);
    Particle want = s;
    ExpectReplayed(
        99, 1, [&] { c.run(s); }, [&] { return PredictStage(want, c); });
    ExpectRecord(s, want, -1);
  }
}

}  // namespace
}  // namespace varenko

// Burst patterns and finale stages, replayed draw by draw: each test seeds the generator, lets the
// creator run on recycled records, then replays the same draws in the order the rules write them
// and predicts every field of every record made.
#include "renderer/sim/bursts.h"

#include <algorithm>
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
  std::function<void(const Particle&)> run;
  unsigned init;
  Pattern pattern;
  int count;
  float speed, spread;
  bool colour;  // the records take the colour argument
  bool linger;
};

// The creators' table: initialiser, direction and speed, colour, linger rule.
const CreatorCase Creators[] = {
    {"Sphere", [](const Particle& s) { SphereBurst(s, 175, 400.0f, Colour); }, Star, Sphere, 175,
     400.0f, 50.0f, true, true},
    {"TwoTone", [](const Particle& s) { TwoToneBurst(s, 175, 400.0f, Colour); }, Star, TwoTone, 175,
     400.0f, 50.0f, true, true},
    {"TriColour", [](const Particle& s) { TriColourBurst(s, 175, 400.0f); }, Star, TriColour, 175,
     400.0f, 30.0f, false, true},
    // A speed whose U(V, V + 50) would round differently from V + U(0, 50).
    {"Ring", [](const Particle& s) { RingBurst(s, 70, 470.0000305f, Colour); }, Star, Ring, 70,
     470.0000305f, 50.0f, true, true},
    {"Ember", [](const Particle& s) { EmberBurst(s, 40, 500.0f, Colour); }, EmberStar, Sphere, 40,
     500.0f, 50.0f, true, false},
    {"TrailStar", [](const Particle& s) { TrailStarBurst(s, 40, 450.0f, Colour); }, TrailStar,
     Sphere, 40, 450.0f, 50.0f, true, false},
    {"SubShell", [](const Particle& s) { SubShellBurst(s, 6, 8, 300.0f, Colour); }, SubShell, Cube,
     8, 300.0f, 0.0f, true, false},
    {"Crackle", [](const Particle& s) { CrackleBurst(s, 250, 150.0f); }, replay::Crackle, Cube, 250,
     150.0f, 0.0f, false, false},
    {"Bee", [](const Particle& s) { BeeBurst(s, 30, 10.0f, Colour); }, Bee, BeeExact, 30, 10.0f,
     0.0f, true, false},
};

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
      srand(seed);
      c.run(s);
      const std::uint32_t after = RandState();
      srand(seed);
      ExpectMade(ReplayCreator(c));
      EXPECT_EQ(RandState(), after);  // no draw more, none less
    }
  }
}

// The finale stages: the stage object, its flash, then every star, replayed. A stage object or
// flash takes these fields; a flash is a recycled record put on the stage object.
Particle Stage(Particle w, unsigned kind, unsigned sprite, float drag, const Vec3& colour,
               float size, float life) {
  w.kind = kind;
  w.spriteList = sprite;
  w.drag = drag;
  w.colour = colour;
  w.size = size;
  w.lifeLeft = w.lifeTotal = life;
  w.emitsTrail = 0;
  return w;
}

Particle StageFlash(float drag, const Vec3& colour, float size, float life) {
  Particle f = Leftover();
  f.pos = At;
  f.vel = Moving;
  return Stage(f, Flash, GlowSprite, drag, colour, size, life);
}

// Velocity of a flat wheel star: (dx k, U(-spread, spread), dz k') plus the source's.
Vec3 Wheel(const Vec3& d, float lo, float hi, float spread) {
  const float k = U(lo, hi);
  const float vy = U(-spread, spread);
  const float k2 = U(lo, hi);
  return Vec3(d.x * k + Moving.x, vy + Moving.y, d.z * k2 + Moving.z);
}

// A finale star: initialised, coloured, without trail, with its own lifetime drawn last.
Particle FinaleStar(const Vec3& vel, const Vec3& colour, float lifeLo, float lifeHi, Particle p) {
  p.vel = vel;
  p.colour = colour;
  p.emitsTrail = 0;
  p.lifeLeft = p.lifeTotal = U(lifeLo, lifeHi);
  return p;
}

const Vec3 White(1.0f, 1.0f, 1.0f);

std::vector<Particle> ReplayGather(Particle& w) {
  w = Stage(w, Gather, RingSprite, 0.612f, White, 300.0f, 4.0f);
  std::vector<Particle> m = {StageFlash(0.612f, White, 200.0f, 4.0f)};
  const float lo[2] = {350.0f, 600.0f}, hi[2] = {380.0f, 650.0f};
  for (int ring = 0; ring < 2; ++ring) {
    const Vec3 h = replay::Hue();
    const Tilt t = DrawTilt();
    for (int i = 0; i < 90; ++i) {
      Particle p = Made(Star);
      const Vec3 d = Tilted(t);
      const float kx = U(lo[ring], hi[ring]);
      const float ky = U(lo[ring], hi[ring]);
      const float kz = U(lo[ring], hi[ring]);
      const Vec3 v(d.x * kx + Moving.x, d.y * ky + Moving.y, d.z * kz + Moving.z);
      m.push_back(FinaleStar(v, h, 2.0f, 4.0f, p));
    }
  }
  return m;
}

std::vector<Particle> ReplayBlast(Particle& w) {
  w = Stage(w, Blast, w.spriteList, 0.612f, White, 0.0f, 5.0f);
  std::vector<Particle> m = {StageFlash(0.612f, White, 300.0f, 3.0f)};
  const Vec3 h1 = replay::Hue();
  for (int i = 0; i < 75; ++i) {
    Particle p = Made(Star);
    const Vec3 d = replay::Direction();
    p.size = 100.0f;
    m.push_back(FinaleStar(Plus(d, U(100.0f, 110.0f)), h1, 2.0f, 4.0f, p));
  }
  const Vec3 h2 = replay::Hue();
  for (int i = 0; i < 150; ++i) {
    Particle p = Made(Star);
    p.drag = 0.2f;
    const float x = U(-0.5f, 0.5f);
    const float y = U(-0.005f, 0.025f);
    const float z = U(-0.5f, 0.5f);
    const Vec3 d = replay::Normalised(Vec3(x, y, z));
    p.size = 50.0f;
    m.push_back(FinaleStar(Plus(d, U(500.0f, 530.0f)), h2, 3.0f, 5.0f, p));
  }
  return m;
}

std::vector<Particle> ReplaySwirl(Particle& w) {
  w = Stage(w, Swirl, SparkleSprite, 0.612f, White, 0.0f, 4.0f);
  std::vector<Particle> m = {StageFlash(0.612f, Vec3(1.0f, 0.8f, 0.6f), 400.0f, 4.0f)};
  const float lo[3] = {400.0f, 550.0f, 700.0f}, hi[3] = {430.0f, 590.0f, 750.0f};
  for (int ring = 0; ring < 3; ++ring) {
    const Vec3 h = replay::Hue();
    for (int i = 0; i < 80; ++i) {
      Particle p = Made(Star);
      const Vec3 d = replay::Flat();
      m.push_back(FinaleStar(Wheel(d, lo[ring], hi[ring], 35.0f), h, 2.0f, 4.0f, p));
    }
  }
  return m;
}

std::vector<Particle> ReplayRingWave(Particle& w) {
  w = Stage(w, RingWave, RingSprite, 0.612f, Vec3(0.6f, 0.6f, 1.0f), 0.0f, 5.0f);
  std::vector<Particle> m = {StageFlash(0.0f, Vec3(0.8f, 0.8f, 1.0f), 200.0f, 2.5f)};
  const struct {
    float offset;
    Vec3 colour;
    float life;
  } column[] = {{15, Vec3(1.0f, 1.0f, 0.9f), 3.0f},
                {45, Vec3(1.0f, 1.0f, 0.6f), 3.5f},
                {75, Vec3(1.0f, 0.5f, 0.3f), 4.0f},
                {105, Vec3(1.0f, 0.0f, 0.0f), 4.5f}};
  for (const auto& pair : column) {
    for (float sign : {1.0f, -1.0f}) {
      Particle p = Made(Star);
      p.vel = Vec3(Moving.x, Moving.y + sign * pair.offset, Moving.z);
      p.drag = 0.0f;
      p.size = 400.0f;
      p.emitsTrail = 0;
      p.colour = pair.colour;
      p.lifeLeft = p.lifeTotal = pair.life;
      m.push_back(p);
    }
  }
  const Vec3 h1 = replay::Hue();
  for (int i = 0; i < 75; ++i) {
    Particle p = Made(Star);
    const Vec3 d = replay::Direction();
    m.push_back(FinaleStar(Plus(d, U(600.0f, 700.0f)), h1, 2.0f, 4.0f, p));
  }
  const Vec3 h2 = replay::Hue();
  for (int i = 0; i < 50; ++i) {
    Particle p = Made(EmberStar);
    p.drag = 0.3f;
    const Vec3 d = replay::Flat();
    p.size = 100.0f;
    m.push_back(FinaleStar(Wheel(d, 1000.0f, 1100.0f, 50.0f), h2, 3.0f, 9.0f, p));
  }
  return m;
}

TEST_F(Bursts, FinaleStagesReplayed) {
  const struct {
    const char* name;
    unsigned sourceKind;
    void (*run)(Particle&);
    std::vector<Particle> (*replay)(Particle&);
    int made;
  } finales[] = {{"Gather", Shell, GatherFinale, ReplayGather, 181},
                 {"Blast", Gather, BlastStage, ReplayBlast, 226},
                 {"Swirl", Shell, SwirlFinale, ReplaySwirl, 241},
                 {"RingWave", Swirl, RingWaveStage, ReplayRingWave, 134}};
  for (const auto& f : finales) {
    SCOPED_TRACE(f.name);
    ClearPool();
    Particle& s = MakeSource(At, Moving);
    s.kind = f.sourceKind;
    s.spriteList = RingSprite;
    AddLeftovers(f.made);
    Particle want = s;
    srand(99);
    f.run(s);
    const std::uint32_t after = RandState();
    srand(99);
    const std::vector<Particle> made = f.replay(want);
    ExpectRecord(s, want, -1);
    ExpectMade(made);
    EXPECT_EQ(RandState(), after);
  }
}

}  // namespace
}  // namespace varenko

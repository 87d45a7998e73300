// Emitters, lighting and force fields: spacing with carries, bounded emission on hostile steps,
// the light on smoke and clouds, and the pull and push of the finale objects.
#include "renderer/sim/emitters.h"

#include <cstring>
#include <limits>

#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/update.h"
#include "tests/unit/show_test_support.h"

namespace varenko {
namespace {

using Emitters = ShowTest;

// A particle that has just moved from `from` to `to`, as the update leaves it before emitting.
Particle& Moved(unsigned kind, const Vec3& from, const Vec3& to) {
  Particle& p = AllocateParticle();
  p = Particle{kind, 0, to,   from,  Difference(to, from), {}, 0, 2,
               2,    1, 0.5f, 10,    {250, 0.35f, 0, 0},   {}, 0, 0,
               0,    0, 0,    NewKey};
  p.colour.Set(0.2f, 0.4f, 0.6f);
  p.heading.Set(0, 1, 0);
  return p;
}

TEST_F(Emitters, NoSmokeWithTrailsOffOrANegativeLength) {
  for (int span : {0, -3}) {
    ClearPool();
    settings.smokeSpan = span;
    BuildSmokeLifeTable();
    Particle& r = Moved(Pinwheel, Vec3(0.0f, 0.0f, 0.0f), Vec3(100.0f, 0.0f, 0.0f));
    r.emitsTrail = 1;
    r.alpha = 0.0f;
    RunEmitters(r);
    EXPECT_TRUE(LiveOfKind(Smoke).empty()) << span;
  }
}

// The sparks of each emitter as a table: how many (one per `gap` units of path, or per second at
// `base` + U(0, 10) times the alpha), where (`place`), the velocity draws per axis on top of what
// they keep of the emitter's motion, and the spark's own values. Draws come in the row's order:
// place, velocity, size, lifetime.
enum Place { AlongPath, BackOnPath, AtEmitter, RisingAtEmitter };
enum Keeps { Nothing, Exhaust, Motion, HalfBack, MotionLessArm };
struct SparkRow {
  unsigned kind;
  float rate, gap, bias;  // path spacing (rate = 1 / gap); gap 0: per second, rate = base
  Place place;
  Vec3 lo, hi;  // velocity draw per axis
  Keeps keeps;
  float sizeLo, sizeHi;  // a draw when they differ; sizeLo < 0: 8 times the emitter's measure
  float lifeLo, lifeHi;  // 0: the star initialiser's lifetime
  float drag;            // 0: the star initialiser's
  int sparkle, golden;
};
Vec3 Cube(float a) { return Vec3(a, a, a); }
// clang-format off
const SparkRow SparkRows[] = {
    {Shell, 0.4f, 2.5f, 0, BackOnPath, Cube(-30), Cube(30), Exhaust, -1, -1, 0.1f, 0.3f, 0, 1, 0},
    {Fountain, 10, 0, 0, RisingAtEmitter, Vec3(-10, 100, -10), Vec3(10, 130, 10), Nothing, 10, 10,
     0, 0, 0.342f, 0, 0},
    {Pinwheel, 90, 0, 0, AtEmitter, Cube(-10), Cube(10), MotionLessArm, 15, 15, 1.5f, 2, 0, 0, 0},
    {EmberStar, 0.04f, 25, 0, BackOnPath, Cube(-40), Cube(40), Motion, 4, 12, 1, 3, 2.5f, 0, 1},
    {TrailStar, 0.1f, 10, 0.5f, AlongPath, Cube(-20), Cube(20), Motion, 10, 10, 1.5f, 2, 2, 0, 0},
    {Bee, 0.1f, 10, 0.5f, AlongPath, Cube(-50), Cube(50), HalfBack, 7, 7, 0.15f, 0.25f, 0, 1, 0},
};
// clang-format on

// Path spacing as the rules state it: one thing every `gap` units of the last step plus the
// carry, the count floored after adding `bias`; the carry keeps the path not used.
struct Spaced {
  int n;
  Vec3 step;
};
Spaced SpaceOut(const Particle& p, float& carry, float rate, float gap, float bias) {
  const Vec3 d = Difference(p.pos, p.prevPos);
  const float room = d.Length() + carry;
  const int n = static_cast<int>(std::floor(room * rate + bias));
  carry = room - gap * static_cast<float>(n);
  return {n, Scaled(d, gap / room)};
}

// Smoke puffs every 2 units: the push draws, then the picture; lifetimes from the table in turn.
void PredictPuffs(Particle& p, float burning, std::vector<Particle>& m) {
  const Vec3 e = burning > 0 ? Scaled(replay::Normalised(p.vel), -2.0f * burning * p.aux[0])
                             : Vec3(0.0f, 0.0f, 0.0f);
  const Spaced sp = SpaceOut(p, p.trailCarry, 0.5f, 2.0f, 0.0f);
  for (int k = 1; k <= sp.n; ++k) {
    Particle s = Leftover();
    Vec3 v;
    for (float Vec3::*c : {&Vec3::x, &Vec3::y, &Vec3::z}) v.*c = U(0, 20) - 10 + e.*c;
    // The default grey, 10 hundredths.
    replay::Smoke(s, Sum(p.prevPos, Scaled(sp.step, static_cast<float>(k))), v, 10 * 0.01f);
    s.lifeLeft = s.lifeTotal = SmokeLifeTable[p.trailIndex];
    p.trailIndex = (p.trailIndex + 1) % 8;
    m.push_back(s);
  }
}

// What the emitters lay for p, predicted from the table in the table's draw order; p's carries,
// trail index and pinwheel angle advance as well.
std::vector<Particle> PredictEmission(Particle& p) {
  std::vector<Particle> m;
  const Vec3 d = Difference(p.pos, p.prevPos);
  const float burning = p.kind == Shell ? p.lifeFrac - p.aux[1] : 0.0f;
  if (p.emitsTrail == 1 && settings.smokeSpan != 0) PredictPuffs(p, burning, m);
  const SparkRow* row = nullptr;
  for (const SparkRow& r : SparkRows) row = r.kind == p.kind ? &r : row;
  if (row == nullptr || (p.kind == Shell && !(burning > 0))) return m;
  const SparkRow& r = *row;
  Vec3 radius;
  radius.Cross(Vec3(1.0f, 0.0f, 0.0f), p.heading);
  radius = Scaled(replay::Normalised(radius), 400.0f);
  const float sweep = dt * p.aux[2];
  Spaced sp{0, Vec3(0.0f, 0.0f, 0.0f)};
  if (r.gap > 0) {
    sp = SpaceOut(p, p.emitCarry, r.rate, r.gap, r.bias);
  } else {
    const float x = (U(0.0f, 10.0f) + r.rate) * p.alpha * dt + p.emitCarry;
    sp.n = static_cast<int>(std::floor(x));
    p.emitCarry = x - static_cast<float>(sp.n);
  }
  for (int k = 1; k <= sp.n; ++k) {
    Vec3 keep(0.0f, 0.0f, 0.0f);
    if (r.keeps == MotionLessArm) {  // the arm's angle is drawn before the spark is made
      Quaternion q;
      q.FromAxisAngle(p.aux[3] + U(0.0f, 1.0f) * sweep, p.heading.x, p.heading.y, p.heading.z);
      Matrix4 rot;
      rot.SetRotation(q);
      Vec3 arm = radius;
      arm.RotateBy(rot);
      keep = Difference(p.vel, arm);
    }
    if (r.keeps == Exhaust) keep = Scaled(replay::Normalised(p.vel), -burning * p.aux[0]);
    if (r.keeps == Motion) keep = p.vel;
    if (r.keeps == HalfBack) keep = Scaled(p.vel, -0.5f);
    Particle s = Leftover();
    replay::Init(s, Star);
    if (r.place == AlongPath) s.pos = Sum(p.prevPos, Scaled(sp.step, static_cast<float>(k)));
    if (r.place == BackOnPath) s.pos = Difference(p.pos, Scaled(d, U(0.0f, 1.0f)));
    if (r.place == AtEmitter) s.pos = p.pos;
    if (r.place == RisingAtEmitter)
      s.pos = Vec3(p.pos.x, std::min(p.pos.y + U(0, 100 * dt), 50.f), p.pos.z);
    for (float Vec3::*c : {&Vec3::x, &Vec3::y, &Vec3::z}) s.vel.*c = U(r.lo.*c, r.hi.*c) + keep.*c;
    s.size = r.sizeLo < 0           ? 8.0f * p.lifeFrac
             : r.sizeLo == r.sizeHi ? r.sizeLo
                                    : U(r.sizeLo, r.sizeHi);
    if (r.lifeHi > 0) s.lifeLeft = s.lifeTotal = U(r.lifeLo, r.lifeHi);
    if (r.drag > 0) s.drag = r.drag;
    if (r.sparkle) s.spriteList = SparkleSprite;
    s.colour = r.golden ? Vec3(1.0f, 0.8f, 0.6f) : p.colour;
    s.emitsTrail = 0;
    m.push_back(s);
  }
  if (p.kind == Pinwheel) p.aux[3] += sweep;
  return m;
}

TEST_F(Emitters, EveryEmitterReplayed) {
  settings.illumination = 0;  // the light is checked on its own below
  const struct {
    unsigned kind;
    Vec3 from, to, vel;
    float lifeFrac, alpha, trailCarry, emitCarry, step;
    unsigned emitsTrail;
  } cases[] = {
      {Shell, Vec3(0, 100, 0), Vec3(3, 110, -2), Vec3(30, 100, -20), 0.9f, 1, 0.5f, 1, 0.02f, 1},
      {Shell, Vec3(0, 100, 0), Vec3(3, 110, -2), Vec3(30, 100, -20), 0.3f, 1, 0.5f, 1, 0.02f, 1},
      // 3 units with 0.5 carried: one puff at 2 / 3.5 of the path, 1.5 kept.
      {Shell, Vec3(0, 100, 0), Vec3(0, 103, 0), Vec3(0, 150, 0), 0.2f, 1, 0.5f, 0, 0.02f, 1},
      {Fountain, Vec3(0, 5, 0), Vec3(0, 5, 0), Vec3(0, 0, 0), 0.5f, 0.75f, 0, 0.9f, 0.3f, 0},
      {Fountain, Vec3(0, 5, 0), Vec3(0, 5, 0), Vec3(0, 0, 0), 0.5f, 0, 0, 0.75f, 0.3f, 0},  // none
      {Fountain, Vec3(0, 49, 0), Vec3(0, 49, 0), Vec3(0, 0, 0), 0.5f, 1, 0, 0.5f, 0.2f, 0},
      {Pinwheel, Vec3(0, 800, 0), Vec3(1, 799, 2), Vec3(50, -50, 100), 0.5f, 0.8f, 0, 0.3f, 0.1f,
       1},
      {EmberStar, Vec3(0, 500, 0), Vec3(60, 480, 10), Vec3(600, -200, 100), 0.5f, 1, 0, 3, 0.1f, 0},
      {TrailStar, Vec3(0, 500, 0), Vec3(14, 500, 0), Vec3(700, 0, 0), 0.5f, 1, 0, 0, 0.02f, 0},
      {TrailStar, Vec3(0, 500, 0), Vec3(16, 500, 0), Vec3(800, 0, 0), 0.5f, 1, 0, 0, 0.02f, 0},
      {Bee, Vec3(0, 500, 0), Vec3(20, 505, -9), Vec3(1000, 250, -450), 0.5f, 1, 0, -2, 0.02f, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " life " << c.lifeFrac);
    ClearPool();
    Particle& p = Moved(c.kind, c.from, c.to);  // thrust 250, burn-out fraction 0.35
    p.vel = c.vel;
    p.lifeFrac = c.lifeFrac;
    p.alpha = c.alpha;
    p.trailCarry = c.trailCarry;
    p.emitCarry = c.emitCarry;
    p.emitsTrail = c.emitsTrail;
    p.trailIndex = 6;
    p.aux[2] = 13.0f;  // pinwheel spin and angle
    p.aux[3] = 0.25f;
    p.heading = replay::Normalised(Vec3(0.3f, 0.9f, 0.3f));
    dt = c.step;
    AddLeftovers(40);
    Particle want = p;
    ExpectReplayed(
        21, 1, [&] { RunEmitters(p); }, [&] { return PredictEmission(want); });
    ExpectRecord(p, want, -1);
    EXPECT_EQ(Live().size() == 1, c.alpha == 0.0f);
  }
}

TEST_F(Emitters, FountainSparksStayBoundedOnAHugeStep) {
  // A step of ten hours: at most one update's worth of sparks, none above y = 50.
  Particle& f = Moved(Fountain, Vec3(0.0f, 5.0f, 0.0f), Vec3(0.0f, 5.0f, 0.0f));
  f.emitCarry = 0.75f;
  dt = 36000.0f;
  RunEmitters(f);
  const auto sparks = LiveOfKind(Star);
  EXPECT_GT(sparks.size(), 100u);
  EXPECT_LE(sparks.size(), 512u);
  for (const Particle* s : sparks) EXPECT_LE(s->pos.y, 50.0f);
  EXPECT_GE(f.emitCarry, 0.0f);
  EXPECT_LT(f.emitCarry, 1.0f);
}

TEST_F(Emitters, HostilePathsStayBounded) {
  settings.smokeSpan = 5;
  BuildSmokeLifeTable();
  // A path of ten million units: bounded puffs and sparks, a sane carry, puffs along the path.
  Particle& p = Moved(Shell, Vec3(0.0f, 0.0f, 0.0f), Vec3(0.0f, 1.0e7f, 0.0f));
  p.emitsTrail = 1;
  p.lifeFrac = 0.9f;
  RunEmitters(p);
  const auto puffs = LiveOfKind(Smoke);
  EXPECT_LE(puffs.size(), 512u);
  EXPECT_LE(LiveOfKind(Star).size(), 512u);
  EXPECT_EQ(p.trailCarry, 0.0f);  // what a normal update keeps: 1e7 - 2 * 5e6
  EXPECT_EQ(p.emitCarry, 0.0f);
  ASSERT_FALSE(puffs.empty());
  EXPECT_NEAR(puffs.back()->pos.y, 1.0e7f, 1.0f);
  // Rounded to the nearest count, a trail star keeps 7 - 10 of its 10000007 units.
  Particle& t = Moved(TrailStar, Vec3(0.0f, 0.0f, 0.0f), Vec3(0.0f, 10000007.0f, 0.0f));
  RunEmitters(t);
  EXPECT_EQ(t.emitCarry, -3.0f);

  // NaN and infinite positions (and opacities, for the emitters timed per second) lay nothing and
  // reset the carries.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (unsigned kind : {Shell, TrailStar, EmberStar, Bee, Fountain, Pinwheel}) {
    for (float bad : {nan, inf}) {
      ClearPool();
      Particle& q = Moved(kind, Vec3(0.0f, 0.0f, 0.0f), Vec3(bad, 5.0f, 0.0f));
      q.emitsTrail = 1;
      q.lifeFrac = 0.9f;
      q.alpha = bad;
      q.trailCarry = 1.0f;
      q.emitCarry = 1.0f;
      RunEmitters(q);
      EXPECT_LE(Live().size(), 1u) << kind;
      EXPECT_EQ(q.trailCarry, 0.0f);
      EXPECT_EQ(q.emitCarry, 0.0f);
    }
  }
}

TEST_F(Emitters, LightOnSmokeAndClouds) {
  settings.illumination = 1;
  settings.cloudy = 1;
  static CloudVertex saved[CloudGridSize][CloudGridSize];
  std::memcpy(saved, CloudGrid, sizeof saved);
  const auto smokeAt = [](float z) -> Particle& {
    Particle& p = AllocateParticle();
    InitSmoke(p, Vec3(0.0f, 1000.0f, z), Vec3(0.0f, 0.0f, 0.0f));
    p.colour = Vec3(0.1f, 0.1f, 0.1f);
    return p;
  };
  Particle &near = smokeAt(0.0f), &far = smokeAt(900.0f), &freed = smokeAt(0.0f);
  FreeParticle(freed);
  CloudGrid[0][0] = CloudVertex{0.0f, 2000.0f, 0.0f, 0, 0, 0.2f, 0.2f, 0.2f, 0.2f};
  CloudGrid[1][1] = CloudVertex{0.0f, 2000.0f, 1700.0f, 0, 0, 0.2f, 0.2f, 0.2f, 0.2f};

  // Smoke exactly at a flash takes the full weight alpha * (0.6 c + 0.4), capped at 1.
  Particle& flash = Moved(Flash, Vec3(0.0f, 1000.0f, 0.0f), Vec3(0.0f, 1000.0f, 0.0f));
  flash.colour = Vec3(0.0f, 0.5f, 1.0f);
  flash.alpha = 0.5f;
  flash.lifeFrac = 1.0f;
  RunEmitters(flash);
  EXPECT_TRUE(Near(near.colour, Vec3(0.1f + 0.5f * 0.4f, 0.1f + 0.5f * 0.7f, 0.6f), 1e-7f));
  EXPECT_EQ(far.colour.x, 0.1f);  // 900 units: beyond the flash's 800
  EXPECT_EQ(freed.colour.x, 0.1f);
  EXPECT_FLOAT_EQ(CloudGrid[0][0].red, 0.2f + 0.609375f * 0.609375f * 0.5f * 0.4f);  // D = 1e6
  EXPECT_EQ(CloudGrid[1][1].red, 0.2f);  // beyond 1600 units
  flash.alpha = 1.0f;
  RunEmitters(flash);
  EXPECT_EQ(near.colour.z, 1.0f);

  // Shells and fountains reach 200 units; with illumination off nothing is lit.
  Particle& shell = Moved(Shell, Vec3(0.0f, 1000.0f, 150.0f), Vec3(0.0f, 1000.0f, 150.0f));
  shell.lifeFrac = 0.1f;
  far.colour = Vec3(0.1f, 0.1f, 0.1f);
  near.colour = Vec3(0.1f, 0.1f, 0.1f);
  RunEmitters(shell);
  EXPECT_FLOAT_EQ(near.colour.x, 0.1f + 0.4375f * 0.4375f * 0.52f);  // D = 22500, c = 0.52
  EXPECT_EQ(far.colour.x, 0.1f);
  settings.illumination = 0;
  near.colour = Vec3(0.1f, 0.1f, 0.1f);
  CloudGrid[0][0].red = 0.2f;
  RunEmitters(flash);
  RunEmitters(shell);
  EXPECT_EQ(near.colour.x, 0.1f);
  EXPECT_EQ(CloudGrid[0][0].red, 0.2f);
  std::memcpy(CloudGrid, saved, sizeof saved);
}

TEST_F(Emitters, ForceFieldsPullAndPushOthers) {
  Particle& gather = Moved(Gather, Vec3(0, 1000, 0), Vec3(0, 1000, 0));
  gather.lifeFrac = 0.5f;
  Particle& other = Moved(Gather, Vec3(100, 1000, 0), Vec3(100, 1000, 0));
  Particle& blast = Moved(Blast, Vec3(0, 1000, 100), Vec3(0, 1000, 100));
  Particle& star = Moved(Star, Vec3(-100, 1000, 0), Vec3(-100, 1000, 0));
  Particle& centre = Moved(Star, Vec3(0, 1000, 0), Vec3(0, 1000, 0));
  Particle& outside = Moved(Star, Vec3(0, 1000, 600), Vec3(0, 1000, 600));
  for (Particle* p : {&other, &blast, &star, &centre, &outside}) p->vel = Vec3(0, 0, 0);

  RunEmitters(gather);
  EXPECT_EQ(other.vel.x, 0.0f);  // its own kind is left alone
  EXPECT_LT(blast.vel.z, 0.0f);  // a Gather pulls a Blast towards it
  const float pull = (250000.0f - 10000.0f) * 0.5f * dt * 0.01f;
  EXPECT_NEAR(star.vel.x, pull, pull * 1e-4f);
  EXPECT_EQ(centre.vel.x, 0.0f);  // exactly at the centre: not moved
  EXPECT_EQ(centre.vel.y, 0.0f);
  EXPECT_EQ(outside.vel.z, 0.0f);

  // A Blast pushes away, a Gather included.
  blast.lifeFrac = 0.0f;
  const float before = other.vel.z;
  RunEmitters(blast);
  EXPECT_LT(gather.vel.z, 0.0f);
  EXPECT_LT(other.vel.z, before);

  // A Swirl pulls in sideways five times as hard and pushes apart vertically.
  ClearPool();
  Particle& swirl = Moved(Swirl, Vec3(0, 1000, 0), Vec3(0, 1000, 0));
  swirl.lifeFrac = 0.0f;
  Particle& a = Moved(Star, Vec3(30, 1040, 0), Vec3(30, 1040, 0));
  a.vel = Vec3(0, 0, 0);
  RunEmitters(swirl);
  const float b = (640000.0f - 2500.0f) * dt * 0.002f;
  EXPECT_NEAR(a.vel.x, -5.0f * b * 0.6f, 1e-2f);
  EXPECT_NEAR(a.vel.y, b * 0.8f, 1e-2f);
  EXPECT_EQ(a.vel.z, 0.0f);
}

}  // namespace
}  // namespace varenko

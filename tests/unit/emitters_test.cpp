// Emitters, lighting and force fields: spacing with carries, bounded emission on hostile steps,
// the light on smoke and clouds, and the pull and push of the finale objects.
#include "renderer/sim/emitters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/sprite_lists.h"
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

// What the emitters lay for p, replayed in the order of the rules; p's carries advance as well.
std::vector<Particle> ReplayEmit(Particle& p) {
  std::vector<Particle> m;
  const Vec3 d(p.pos.x - p.prevPos.x, p.pos.y - p.prevPos.y, p.pos.z - p.prevPos.z);
  const float L = p.lifeFrac;
  const bool burning = p.kind == Shell && L > p.aux[1];
  // Count along the path, step between things, and the carry left.
  auto spaced = [&](float& carry, float rate, float gap, float bias, Vec3& step) {
    const float room = d.Length() + carry;
    const int n = static_cast<int>(std::floor(room * rate + bias));
    carry = room - gap * static_cast<float>(n);
    step = Scaled(d, gap / room);
    return n;
  };
  auto spark = [&]() {
    Particle s = Leftover();
    replay::Init(s, Star);
    return s;
  };
  auto jitter = [](float a) {
    const float x = U(-a, a);
    const float y = U(-a, a);
    const float z = U(-a, a);
    return Vec3(x, y, z);
  };
  Vec3 step;
  if (p.emitsTrail == 1 && settings.smokeSpan != 0) {
    const Vec3 e = burning ? Scaled(replay::Normalised(p.vel), -2.0f * (L - p.aux[1]) * p.aux[0])
                           : Vec3(0.0f, 0.0f, 0.0f);
    const int n = spaced(p.trailCarry, 0.5f, 2.0f, 0.0f, step);
    for (int k = 1; k <= n; ++k) {
      const float vx = U(0.0f, 20.0f) - 10.0f + e.x;
      const float vy = U(0.0f, 20.0f) - 10.0f + e.y;
      const float vz = U(0.0f, 20.0f) - 10.0f + e.z;
      Particle s = Leftover();
      s.kind = Smoke;
      s.spriteList = SmokeSprite[std::min(Q(5), 4)];
      s.drag = 2.0f;
      s.size = 0.1f;
      s.pos = Sum(p.prevPos, Scaled(step, static_cast<float>(k)));
      s.vel = Vec3(vx, vy, vz);
      s.colour = Vec3(10 * 0.01f, 10 * 0.01f, 10 * 0.01f);  // the default grey, 10 hundredths
      s.emitsTrail = 0;
      s.lifeLeft = s.lifeTotal = SmokeLifeTable[p.trailIndex];
      p.trailIndex = (p.trailIndex + 1) % 8;
      m.push_back(s);
    }
  }
  int n = 0;
  switch (p.kind) {
    case Shell:
      if (!burning) break;
      n = spaced(p.emitCarry, 0.4f, 2.5f, 0.0f, step);
      for (int k = 0; k < n; ++k) {
        const Vec3 e = Scaled(replay::Normalised(p.vel), -(L - p.aux[1]) * p.aux[0]);
        Particle s = spark();
        s.pos = Difference(p.pos, Scaled(d, U(0.0f, 1.0f)));
        s.vel = Sum(jitter(30.0f), e);
        s.colour = p.colour;
        s.lifeLeft = s.lifeTotal = U(0.1f, 0.3f);
        s.size = 8.0f * L;
        s.spriteList = SparkleSprite;
        s.emitsTrail = 0;
        m.push_back(s);
      }
      break;
    case Fountain:
    case Pinwheel: {
      const bool fountain = p.kind == Fountain;
      Vec3 r0;
      r0.Cross(Vec3(1.0f, 0.0f, 0.0f), p.heading);
      r0 = Scaled(replay::Normalised(r0), 400.0f);
      const float x = (U(0.0f, 10.0f) + (fountain ? 10.0f : 90.0f)) * p.alpha * dt + p.emitCarry;
      n = static_cast<int>(std::floor(x));
      p.emitCarry = x - static_cast<float>(n);
      const float sweep = dt * p.aux[2];
      for (int k = 0; k < n; ++k) {
        if (fountain) {
          Particle s = spark();
          s.drag = 0.342f;
          s.pos = p.pos;
          s.pos.y = std::min(s.pos.y + U(0.0f, 100.0f * dt), 50.0f);
          s.vel = Vec3(U(-10.0f, 10.0f), 0.0f, 0.0f);
          s.vel.y = U(100.0f, 130.0f);
          s.vel.z = U(-10.0f, 10.0f);
          s.size = 10.0f;
          s.colour = p.colour;
          s.emitsTrail = 0;
          m.push_back(s);
          continue;
        }
        Quaternion q;
        q.FromAxisAngle(p.aux[3] + U(0.0f, 1.0f) * sweep, p.heading.x, p.heading.y, p.heading.z);
        Matrix4 rot;
        rot.SetRotation(q);
        Vec3 arm = r0;
        arm.RotateBy(rot);
        Particle s = spark();
        s.pos = p.pos;
        s.vel = Sum(Difference(p.vel, arm), jitter(10.0f));
        s.size = 15.0f;
        s.colour = p.colour;
        s.emitsTrail = 0;
        s.lifeLeft = s.lifeTotal = U(1.5f, 2.0f);
        m.push_back(s);
      }
      if (!fountain) p.aux[3] += sweep;
      break;
    }
    case EmberStar:
      n = spaced(p.emitCarry, 0.04f, 25.0f, 0.0f, step);
      for (int k = 0; k < n; ++k) {
        Particle s = spark();
        s.pos = Difference(p.pos, Scaled(d, U(0.0f, 1.0f)));
        s.vel = Sum(p.vel, jitter(40.0f));
        s.drag = 2.5f;
        s.size = U(4.0f, 12.0f);
        s.colour = Vec3(1.0f, 0.8f, 0.6f);
        s.lifeLeft = s.lifeTotal = U(1.0f, 3.0f);
        s.emitsTrail = 0;
        m.push_back(s);
      }
      break;
    case TrailStar:
    case Bee:
      n = spaced(p.emitCarry, 0.1f, 10.0f, 0.5f, step);
      for (int k = 1; k <= n; ++k) {
        Particle s = spark();
        s.pos = Sum(p.prevPos, Scaled(step, static_cast<float>(k)));
        s.colour = p.colour;
        s.emitsTrail = 0;
        if (p.kind == TrailStar) {
          s.vel = Sum(p.vel, jitter(20.0f));
          s.drag = 2.0f;
          s.lifeLeft = s.lifeTotal = U(1.5f, 2.0f);
          s.size = 10.0f;
        } else {
          s.vel = Sum(jitter(50.0f), Scaled(p.vel, -0.5f));
          s.lifeLeft = s.lifeTotal = U(0.15f, 0.25f);
          s.size = 7.0f;
          s.spriteList = SparkleSprite;
        }
        m.push_back(s);
      }
      break;
  }
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
    Particle& p = AllocateParticle();
    p = Leftover();
    p.kind = c.kind;
    p.prevPos = c.from;
    p.pos = c.to;
    p.vel = c.vel;
    p.colour = Vec3(0.2f, 0.4f, 0.6f);
    p.lifeFrac = c.lifeFrac;
    p.alpha = c.alpha;
    p.trailCarry = c.trailCarry;
    p.emitCarry = c.emitCarry;
    p.emitsTrail = c.emitsTrail;
    p.trailIndex = 6;
    p.aux[0] = 250.0f;
    p.aux[1] = 0.35f;
    p.aux[2] = 13.0f;
    p.aux[3] = 0.25f;
    p.heading = replay::Normalised(Vec3(0.3f, 0.9f, 0.3f));
    dt = c.step;
    AddLeftovers(40);
    Particle want = p;
    srand(21);
    RunEmitters(p);
    const std::uint32_t after = RandState();
    srand(21);
    const std::vector<Particle> made = ReplayEmit(want);
    ExpectRecord(p, want, -1);
    ExpectMade(made);
    EXPECT_EQ(RandState(), after);
    EXPECT_EQ(made.empty(), c.alpha == 0.0f);
  }
}

TEST_F(Emitters, FountainSparksStayBoundedOnAHugeStep) {
  Particle& f = AllocateParticle();
  f.kind = Fountain;
  f.pos = Vec3(0.0f, 5.0f, 0.0f);
  f.colour = Vec3(1.0f, 0.5f, 0.0f);
  f.emitCarry = 0.75f;

  // A step of ten hours: at most one update's worth of sparks, none above y = 50.
  f.alpha = 1.0f;
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

  // NaN and infinite positions lay nothing and reset the carries.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (unsigned kind : {Shell, TrailStar, EmberStar, Bee}) {
    for (float bad : {nan, inf}) {
      ClearPool();
      Particle& q = Moved(kind, Vec3(0.0f, 0.0f, 0.0f), Vec3(bad, 5.0f, 0.0f));
      q.emitsTrail = 1;
      q.lifeFrac = 0.9f;
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
  Particle& near = AllocateParticle();
  InitSmoke(near, Vec3(0.0f, 1000.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  near.colour = Vec3(0.1f, 0.1f, 0.1f);
  Particle& far = AllocateParticle();
  InitSmoke(far, Vec3(0.0f, 1000.0f, 900.0f), Vec3(0.0f, 0.0f, 0.0f));
  far.colour = Vec3(0.1f, 0.1f, 0.1f);
  Particle& freed = AllocateParticle();
  InitSmoke(freed, Vec3(0.0f, 1000.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  freed.colour = Vec3(0.1f, 0.1f, 0.1f);
  FreeParticle(freed);
  CloudGrid[0][0] = CloudVertex{0.0f, 2000.0f, 0.0f, 0, 0, 0.2f, 0.2f, 0.2f, 0.2f};
  CloudGrid[1][1] = CloudVertex{0.0f, 2000.0f, 1700.0f, 0, 0, 0.2f, 0.2f, 0.2f, 0.2f};

  // Smoke exactly at a flash takes the full weight alpha * (0.6 c + 0.4), capped at 1.
  Particle& flash = AllocateParticle();
  flash.kind = Flash;
  flash.pos = Vec3(0.0f, 1000.0f, 0.0f);
  flash.prevPos = flash.pos;
  flash.colour = Vec3(0.0f, 0.5f, 1.0f);
  flash.alpha = 0.5f;
  flash.emitsTrail = 0;
  flash.lifeFrac = 1.0f;
  RunEmitters(flash);
  EXPECT_FLOAT_EQ(near.colour.x, 0.1f + 0.5f * 0.4f);
  EXPECT_FLOAT_EQ(near.colour.y, 0.1f + 0.5f * 0.7f);
  EXPECT_FLOAT_EQ(near.colour.z, 0.1f + 0.5f * 1.0f);
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

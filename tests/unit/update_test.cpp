// Particle motion and ageing by kind, the end of a particle's life, the smoke refresh, the kind
// initialisers' draws, and the frame's simulation step over the pool.
#include "renderer/sim/update.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "renderer/host/settings.h"
#include "renderer/sim/burst_kinds.h"
#include "renderer/sim/director.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/show.h"
#include "renderer/sim/sprite_lists.h"
#include "tests/unit/show_test_support.h"

namespace varenko {
namespace {

constexpr float Pi = std::numbers::pi_v<float>;

class UpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPool();
    ApplyDefaults();
    settings.windSpeed = 0;
    settings.maxShells = 0;  // no launches in the frame tests
    settings.illumination = 0;
    savedDt = dt;
    dt = 0.02f;
    srand(1);
  }
  void TearDown() override {
    ClearPool();
    dt = savedDt;
    ApplyDefaults();
  }
  float savedDt = 0.0f;
};

// A fully set record of the given kind, high above the ground, at rest.
Particle Make(ParticleKind kind) {
  Particle p{kind, 0, {}, {}, {}, {}, 0, 2, 2, 1, 1, 10, {0, 0, 0, 0}, {}, 0, 0, 0, 0, 99, NewKey};
  p.pos = p.prevPos = Vec3(0, 1000, 0);
  p.vel = Vec3(0, 0, 0);
  p.colour = Vec3(0.5f, 0.5f, 0.5f);
  p.heading = Vec3(1, 0, 0);
  return p;
}

TEST_F(UpdateTest, GravityDragWindAndMovement) {
  // Gravity 32, drag factor (1 / (1 + dt drag))^2, movement, then the wind on the new height:
  // with W = 20 and dt = 0.02, 0.04 at y = 0 and -0.0256 at y = 100. Smoke feels no gravity; a
  // fountain moves neither its position nor its previous position.
  const float k2 = 1.0f / ((1.0f + 0.02f * 0.612f) * (1.0f + 0.02f * 0.612f));
  const Vec3 v(10.0f * k2, (20.0f - 0.64f) * k2, -5.0f * k2);
  const struct {
    ParticleKind kind;
    int wind;
    float drag;
    Vec3 pos, vel, newPos, newVel, newPrev;
  } cases[] = {
      {Star, 0, 0.612f, Vec3(0, 1000, 0), Vec3(10, 20, -5),
       Vec3(v.x * 0.02f, 1000 + v.y * 0.02f, v.z * 0.02f), v, Vec3(0, 1000, 0)},
      {Smoke, 20, 0, Vec3(0, 0, 0), Vec3(0, 0, 0), Vec3(0.04f, 0, 0), Vec3(0, 0, 0), Vec3(0, 0, 0)},
      {Smoke, 20, 0, Vec3(0, 100, 0), Vec3(0, 0, 0), Vec3(-0.0256f, 100, 0), Vec3(0, 0, 0),
       Vec3(0, 100, 0)},
      {Fountain, 20, 0, Vec3(1, 2, 3), Vec3(100, 100, 100), Vec3(1, 2, 3), Vec3(100, 99.36f, 100),
       Vec3(-7, -8, -9)},
  };
  for (const auto& c : cases) {
    settings.windSpeed = c.wind;
    Particle p = Make(c.kind);
    p.drag = c.drag;
    p.pos = c.pos;
    p.prevPos.Set(-7.0f, -8.0f, -9.0f);
    p.vel = c.vel;
    UpdateParticle(p);
    SCOPED_TRACE(c.kind);
    for (float Vec3::*f : {&Vec3::x, &Vec3::y, &Vec3::z}) {
      EXPECT_NEAR(p.pos.*f, c.newPos.*f, 1e-5f);
      EXPECT_NEAR(p.vel.*f, c.newVel.*f, 1e-5f);
      EXPECT_EQ(p.prevPos.*f, c.newPrev.*f);
    }
    EXPECT_FLOAT_EQ(p.lifeLeft, 1.98f);
  }
}

TEST_F(UpdateTest, ZeroStepNeitherMovesNorAges) {
  dt = 0.0f;
  settings.windSpeed = 20;
  for (ParticleKind kind : {Shell, Smoke, Star, SubShell, Bee, Blast}) {
    Particle p = Make(kind);
    p.vel.Set(3.0f, -4.0f, 5.0f);
    p.drag = 0.612f;
    p.aux[0] = 500.0f;  // a burning shell's thrust: still nothing without time
    p.aux[1] = 0.1f;
    p.aux[2] = 13.0f;
    p.aux[3] = 90.0f;
    p.heading.Set(0.0f, 0.0f, 1.0f);
    const Particle before = p;
    UpdateParticle(p);
    SCOPED_TRACE(kind);
    for (float Vec3::*f : {&Vec3::x, &Vec3::y, &Vec3::z}) {
      EXPECT_FLOAT_EQ(p.pos.*f, before.pos.*f);
      EXPECT_FLOAT_EQ(p.vel.*f, before.vel.*f);
    }
    EXPECT_EQ(p.lifeLeft, before.lifeLeft);
  }
}

TEST_F(UpdateTest, BurningShellSteeringReplayed) {
  // Flight, push direction, spin and push: the push is made perpendicular to the flight, turned
  // about it by dt * spin, then thrust and push are added; gravity and drag follow.
  const struct {
    Vec3 vel, heading;
    float thrust, spin, push;
  } cases[] = {{Vec3(0, 100, 0), Vec3(1, 1, 0), 500, 78.5398f, 0},
               {Vec3(20, 100, -10), Vec3(0.6f, 0, 0.8f), 250, 13, 120},
               {Vec3(-30, 60, 45), Vec3(0, 0.2f, -1), 300, -17, 90},
               {Vec3(0, 0, 0), Vec3(1, 0, 0), 200, 5, 60}};  // standing: flies straight up
  for (const auto& c : cases) {
    Particle p = Make(Shell);
    p.vel = c.vel;
    p.heading = c.heading;
    p.aux[0] = c.thrust;
    p.aux[1] = 0.1f;
    p.aux[2] = c.spin;
    p.aux[3] = c.push;
    p.drag = 0.281f;
    Vec3 d = c.vel;
    d.Normalize();
    Vec3 side, h;
    side.Cross(d, c.heading);
    h.Cross(side, d);
    h.Normalize();
    Quaternion q;
    q.FromAxisAngle(0.02f * c.spin, d.x, d.y, d.z);
    Matrix4 m;
    m.SetRotation(q);
    h.RotateBy(m);
    const float k = 1.0f / (1.0f + 0.02f * 0.281f);
    const float thrust = 0.02f * c.thrust, push = 0.02f * c.push;
    const Vec3 v((c.vel.x + d.x * thrust + h.x * push) * (k * k),
                 (c.vel.y + d.y * thrust + h.y * push - 32.0f * 0.02f) * (k * k),
                 (c.vel.z + d.z * thrust + h.z * push) * (k * k));
    UpdateParticle(p);
    SCOPED_TRACE(testing::Message() << "spin " << c.spin);
    for (float Vec3::*f : {&Vec3::x, &Vec3::y, &Vec3::z}) {
      EXPECT_FLOAT_EQ(p.heading.*f, h.*f);
      EXPECT_FLOAT_EQ(p.vel.*f, v.*f);
    }
    EXPECT_EQ(p.alpha, 1.0f);
  }
  // Past the end of its motor nothing steers it and it fades.
  Particle coasting = Make(Shell);
  coasting.vel.Set(0.0f, 100.0f, 0.0f);
  coasting.lifeFrac = 0.1f;  // equal to the burn-out fraction: the motor is out
  coasting.lifeLeft = 0.2f;
  coasting.aux[0] = 500.0f;
  coasting.aux[1] = 0.1f;
  coasting.aux[3] = 100.0f;
  coasting.alpha = 0.5f;
  UpdateParticle(coasting);
  EXPECT_FLOAT_EQ(coasting.vel.y, 100.0f - 32.0f * 0.02f);
  EXPECT_FLOAT_EQ(coasting.vel.x, 0.0f);
  EXPECT_FLOAT_EQ(coasting.alpha, 0.48f);
}

struct LifeCase {
  ParticleKind kind;
  float lifeLeft;  // before a step of 0.5 s; lifeTotal is 2
  float lifeFrac;
  float alpha;
  float size;  // the size starts at 10
};

TEST_F(UpdateTest, LifeMeasureOpacityAndSizeByKind) {
  dt = 0.5f;
  const LifeCase cases[] = {
      {Star, 1.5f, 0.9375f, 0.9375f, 10.0f},  // age 1 s of 2
      {Star, 0.5f, 0.0f, 0.0f, 10.0f},        // age 2 s: over
      {EmberStar, 1.5f, 0.9375f, 0.9375f, 10.0f},
      {TrailStar, 1.5f, 0.9375f, 0.9375f, 10.0f},
      {Bee, 1.5f, 0.9375f, 0.9375f, 10.0f},
      {Fountain, 1.5f, 0.5f, 0.25f, 10.0f},
      {Fountain, 2.25f, 0.875f, 0.765625f * 0.5f, 10.0f},  // age 0.25 s: fading in
      {Pinwheel, 1.5f, 0.5f, 0.25f, 10.0f},
      {Smoke, 1.5f, 0.5f, 0.35f, 22.0f},
      {Flash, 1.5f, 0.5f, 0.25f, 10.0f},
      {SubShell, 1.5f, 1.0f, 1.0f, 10.0f},  // measured in seconds
      {Gather, 1.5f, 0.5f, 0.5f, 125.0f},
      {Blast, 1.5f, 0.5f, 0.5f, 210.0f},
      {Swirl, 1.5f, 0.5f, 0.75f, 300.0f},
      {Swirl, 2.0f, 0.75f, 0.9375f, 375.0f},
      {Fountain, 1.97f, 0.735f, 0.735f * 0.735f, 10.0f},  // age 0.53 s: faded in
      {RingWave, 1.5f, 0.5f, 0.0f, 760.0f},
      {RingWave, 2.0f, 0.75f, 0.5f, 760.0f},
  };
  for (const LifeCase& c : cases) {
    Particle p = Make(c.kind);
    p.lifeLeft = c.lifeLeft;
    p.aux[0] = 1.0f;
    p.aux[1] = 2.0f;
    p.aux[2] = 3.0f;
    p.heading.Set(0.0f, 0.0f, 0.0f);
    UpdateParticle(p);
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << ", lifeLeft " << c.lifeLeft);
    EXPECT_FLOAT_EQ(p.lifeFrac, c.lifeFrac);
    EXPECT_FLOAT_EQ(p.alpha, c.alpha);
    EXPECT_FLOAT_EQ(p.size, c.size);
    if (c.kind == Blast) {
      EXPECT_FLOAT_EQ(p.colour.z, 0.75f);
    }
    if (c.kind == Bee) {
      EXPECT_FLOAT_EQ(p.heading.x, 0.5f);
      EXPECT_FLOAT_EQ(p.heading.z, 1.5f);
    }
  }

  // A shell's opacity rises while its motor burns (burn-out fraction 0.3) and falls afterwards
  // (0.6); a measure of 0 before the step keeps it from steering.
  const struct { float burnOut, alpha, want; } shells[] = {{0.3f, 0.2f, 1.0f}, {0.6f, 0.8f, 0.3f}};
  for (const auto [burnOut, alpha, want] : shells) {
    Particle shell = Make(Shell);
    shell.lifeFrac = 0.0f;
    shell.aux[1] = burnOut;
    shell.alpha = alpha;
    shell.lifeLeft = 1.5f;
    UpdateParticle(shell);
    EXPECT_FLOAT_EQ(shell.alpha, want) << burnOut;
  }
}

TEST_F(UpdateTest, ParticleWithoutLifetimeStillEnds) {
  // A zero or negative lifetime (a smoke puff made from a negative trail-length setting) must not
  // give a measure that grows with age, nor one above 0 once no time is left.
  for (const auto& [total, left] : {std::pair(0.0f, 0.0f), {-3.0f, -3.0f}, {-3.0f, 0.01f}}) {
    Particle p = Make(Smoke);
    p.lifeTotal = total;
    p.lifeLeft = left;
    UpdateParticle(p);
    UpdateParticle(p);
    EXPECT_LE(p.lifeFrac, 0.0f) << total << " " << left;
    Particle s = Make(Star);
    s.lifeTotal = total;
    s.lifeLeft = left;
    UpdateParticle(s);
    EXPECT_LE(s.lifeFrac, 0.0f) << total << " " << left;
  }
}

TEST_F(UpdateTest, EndOfLifeByKind) {
  // A shell below the ground is bounced to 0.1 and bursts there, keeping its record.
  Particle& shell = AllocateParticle();
  shell = Make(Shell);
  shell.pos.y = -3.0f;
  shell.vel.y = -20.0f;
  shell.burstKind = 99;
  EndOfLife(shell);
  EXPECT_FLOAT_EQ(shell.pos.y, 0.1f);
  EXPECT_FLOAT_EQ(shell.vel.y, 14.0f);
  EXPECT_NE(shell.depthKey, FreeKey);

  // A crackle carrier becomes a brief golden spark instead of being freed.
  Particle crackle = Make(SubShell);
  crackle.burstKind = SubShellCrackle;
  crackle.lifeLeft = -0.01f;
  Particle spark = crackle;
  spark.kind = Star;
  spark.colour.Set(1.0f, 0.8f, 0.6f);
  spark.lifeLeft = spark.lifeTotal = 0.2f;
  EndOfLife(crackle);
  ExpectRecord(crackle, spark, 0);  // nothing else changes, and it is not freed
  EXPECT_EQ(crackle.depthKey, NewKey);

  // The other sub-shells burst as the small burst of their variant.
  for (unsigned variant : {SubShellSphere, SubShellEmbers, SubShellTrailStars}) {
    Particle& sub = AllocateParticle();
    sub = Make(SubShell);
    sub.burstKind = variant;
    EndOfLife(sub);
    EXPECT_EQ(sub.burstKind, variant + 95u);
    EXPECT_NE(sub.depthKey, FreeKey);
  }

  // A shell bursts into a flash, or with kind 18 becomes a pinwheel; the finale stages turn
  // into their second stage.
  const struct {
    ParticleKind kind;
    unsigned burstKind;
    unsigned becomes;
  } turns[] = {{Shell, BurstRing, Flash},
               {Shell, BurstPinwheel, Pinwheel},
               {Gather, 0, Blast},
               {Swirl, 0, RingWave}};
  Particle& level = AllocateParticle();  // exactly on the ground counts as hitting it
  level = Make(Shell);
  level.pos.y = 0.0f;
  level.vel.y = -10.0f;
  EndOfLife(level);
  EXPECT_FLOAT_EQ(level.pos.y, 0.1f);
  EXPECT_FLOAT_EQ(level.vel.y, 7.0f);
  for (const auto& t : turns) {
    Particle& p = AllocateParticle();
    p = Make(t.kind);
    p.burstKind = t.burstKind;
    EndOfLife(p);
    EXPECT_EQ(p.kind, t.becomes) << t.kind;
    EXPECT_NE(p.depthKey, FreeKey);
  }

  // Kinds that turn into nothing are freed; so is a sub-shell without a known variant.
  for (ParticleKind kind : {Fountain, Pinwheel, Smoke, Flash, Star, EmberStar, TrailStar, Bee,
                            Blast, RingWave, SubShell}) {
    Particle p = Make(kind);
    p.burstKind = 100;
    EndOfLife(p);
    EXPECT_EQ(p.depthKey, FreeKey) << kind;
  }
}

// The star, ember, trail-star, sub-shell, crackle and bee initialisers are predicted field by field
// in every creator's test (bursts_test.cpp); smoke is made by the trails alone.
TEST_F(UpdateTest, SmokeInitialiser) {
  for (unsigned i = 0; i < 5; ++i) SmokeSprite[i] = 20u + i;
  // Smoke: the picture Q(5), the one draw in 32768 that gives 5 naming the last picture.
  settings.ambientLevel = 25;
  for (std::uint32_t seed : {11u, 4028364353u}) {
    Particle got = Leftover(), want = Leftover();
    srand(seed);
    InitSmoke(got, Vec3(1.0f, 2.0f, 3.0f), Vec3(-1.0f, 0.0f, 4.0f));
    srand(seed);
    want.kind = Smoke;
    want.spriteList = SmokeSprite[std::min(Q(5), 4)];
    want.drag = 2.0f;
    want.size = 0.1f;
    want.pos.Set(1.0f, 2.0f, 3.0f);
    want.vel.Set(-1.0f, 0.0f, 4.0f);
    want.colour.Set(0.25f, 0.25f, 0.25f);
    want.emitsTrail = 0;
    ExpectRecord(got, want, 0);
  }
  srand(4028364353u);
  EXPECT_EQ(Q(5), 5);
  for (unsigned& s : SmokeSprite) s = 0;
}

TEST_F(UpdateTest, RefreshSmokeResetsOnlyLiveSmoke) {
  show.smokeGrey = 0.1f;
  Particle& smoke = AllocateParticle();
  smoke = Make(Smoke);
  smoke.colour.Set(0.9f, 0.8f, 0.7f);
  Particle& star = AllocateParticle();
  star = Make(Star);
  star.colour.Set(0.9f, 0.8f, 0.7f);
  Particle& freed = AllocateParticle();
  freed = Make(Smoke);
  freed.colour.Set(0.9f, 0.8f, 0.7f);
  FreeParticle(freed);
  RefreshSmoke();
  EXPECT_EQ(smoke.colour.x, 0.1f);
  EXPECT_EQ(smoke.colour.z, 0.1f);
  EXPECT_EQ(star.colour.x, 0.9f);
  EXPECT_EQ(freed.colour.x, 0.9f);
}

TEST_F(UpdateTest, SimulationStepUpdatesKeysEndsLivesAndSorts) {
  depthEye.Set(0.0f, 0.0f, 0.0f);
  for (int i = 0; i < 16; ++i) BillboardMatrix[i] = (i % 5 == 0) ? 1.0 : 0.0;

  Particle& dying = AllocateParticle();
  dying = Make(Star);
  dying.lifeLeft = 0.01f;
  Particle& shell = AllocateParticle();
  shell = Make(Shell);
  shell.pos.z = -500.0f;  // nearer the camera than the fountain
  shell.lifeFrac = 0.0f;
  shell.aux[1] = 0.5f;
  Particle& fountain = AllocateParticle();
  fountain = Make(Fountain);
  fountain.pos.Set(0.0f, 0.0f, -900.0f);
  fountain.colour.Set(1.0f, 0.5f, 0.0f);
  fountain.lifeLeft = 1.0f;  // old enough to spray: its carry makes a spark this frame
  fountain.emitCarry = 0.99f;
  Particle& crackle = AllocateParticle();
  crackle = Make(SubShell);
  crackle.burstKind = 8;
  crackle.lifeLeft = 0.01f;
  crackle.pos.z = -100.0f;

  StepSimulation();

  EXPECT_EQ(show.director.shellsInFlight, 1);
  EXPECT_EQ(dying.depthKey, FreeKey);
  EXPECT_EQ(crackle.kind, static_cast<unsigned>(Star));
  EXPECT_FLOAT_EQ(shell.depthKey, 500.0f);
  // Every live record, including any born during the pass, has been updated and keyed, and the
  // list runs far to near with the freed record after them.
  int live = 0;
  float previous = NewKey;
  ForEachLive([&](const Particle& p) {
    EXPECT_NE(p.depthKey, NewKey);
    EXPECT_LE(p.depthKey, previous);
    previous = p.depthKey;
    ++live;
  });
  EXPECT_EQ(live, LiveParticleCount());
  EXPECT_GE(live, 4);  // the shell, the fountain, the spark of the crackle and the fountain's
  EXPECT_GE(PeakLiveParticles(), live);
  EXPECT_NEAR(pool.sentinel.next->particle.depthKey, 900.0f, 1.0f);  // the fountain or its spark
  EXPECT_EQ(pool.cursor->particle.depthKey, FreeKey);
}

}  // namespace
}  // namespace varenko

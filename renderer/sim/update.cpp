// One simulation step per particle by kind (steering, propulsion, gravity, drag, wind, ageing, life
// measure), what becomes of a particle whose life is over, the smoke refresh and the initialisers
// that give a fresh record the identity of a kind.
#include "renderer/sim/update.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "renderer/sim/burst_kinds.h"
#include "renderer/sim/bursts.h"
#include "renderer/sim/director.h"
#include "renderer/sim/emitters.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/show.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

namespace {

constexpr float Pi = std::numbers::pi_v<float>;
constexpr float Gravity = 32.0f;
constexpr float BeeThrust = 800.0f;

// Remaining share of the life. A record whose lifetime came out zero or negative (a smoke puff
// from a negative trail-length setting) would otherwise see L/T grow as it ages and never end;
// once no time is left its measure is 0 whatever the sign of the total.
float LifeShare(float left, float total) {
  const float share = left / total;
  if (left <= 0.0f && !(share <= 0.0f)) return 0.0f;
  return share;
}

// Measure of stars and bees: close to 1 most of the life, falling sharply to 0 at its end.
float StarLife(float left, float total) {
  const float a = (total - left) / total;
  const float a2 = a * a;
  const float measure = 1.0f - a2 * a2;
  if (left <= 0.0f && !(measure <= 0.0f)) return 0.0f;  // as in LifeShare
  return measure;
}

// While the motor burns the sideways push is kept perpendicular to the flight and turned about it,
// which together with the thrust gives the corkscrew climb.
void SteerShell(Particle& p) {
  Vec3 d = p.vel;
  d.Normalize();
  Vec3 side;
  side.Cross(d, p.heading);
  p.heading.Cross(side, d);
  p.heading.Normalize();
  Quaternion q;
  q.FromAxisAngle(dt * p.aux[2], d.x, d.y, d.z);
  Matrix4 m;
  m.SetRotation(q);
  p.heading.RotateBy(m);
  const float thrust = dt * p.aux[0];
  p.vel.x += d.x * thrust;
  p.vel.y += d.y * thrust;
  p.vel.z += d.z * thrust;
  const float push = dt * p.aux[3];
  p.vel.x += p.heading.x * push;
  p.vel.y += p.heading.y * push;
  p.vel.z += p.heading.z * push;
}

void SetLifeMeasure(Particle& p) {
  const float left = p.lifeLeft;
  const float total = p.lifeTotal;
  switch (p.kind) {
    case Shell: {
      p.lifeFrac = LifeShare(left, total);
      if (p.lifeFrac > p.aux[1]) {
        p.alpha = std::min(p.alpha + 2.0f * dt, 1.0f);
      } else {
        p.alpha = std::max(p.alpha - dt, 0.0f);
      }
      break;
    }
    case Fountain:
    case Pinwheel: {
      p.lifeFrac = LifeShare(left, total);
      p.alpha = p.lifeFrac * p.lifeFrac;
      const float age = total - left;
      if (age < 0.5f) p.alpha *= 2.0f * age;  // fade in over the first half second
      break;
    }
    case Smoke:
      p.lifeFrac = LifeShare(left, total);
      p.alpha = 0.7f * p.lifeFrac;
      p.size += (30.0f - p.size) * 1.2f * dt;
      break;
    case Flash:
      p.lifeFrac = LifeShare(left, total);
      p.alpha = p.lifeFrac * p.lifeFrac;
      break;
    case Star:
    case EmberStar:
    case TrailStar:
      p.lifeFrac = StarLife(left, total);
      p.alpha = p.lifeFrac;
      break;
    case SubShell:
      p.lifeFrac = left;  // seconds, not a share
      break;
    case Bee:
      p.lifeFrac = StarLife(left, total);
      p.alpha = p.lifeFrac;
      p.heading.x += dt * p.aux[0];
      p.heading.y += dt * p.aux[1];
      p.heading.z += dt * p.aux[2];
      break;
    case Gather:
      p.lifeFrac = LifeShare(left, total);
      p.alpha = p.lifeFrac;
      p.size = 250.0f * p.lifeFrac;
      break;
    case Blast:
      p.lifeFrac = LifeShare(left, total);
      p.alpha = p.lifeFrac;
      p.colour.z = (p.lifeFrac + 1.0f) * 0.5f;
      p.size += 400.0f * dt;
      break;
    case Swirl: {
      p.lifeFrac = LifeShare(left, total);
      const float rest = 1.0f - p.lifeFrac;
      p.alpha = 1.0f - rest * rest;
      p.size = 400.0f * p.alpha;
      break;
    }
    case RingWave:
      p.lifeFrac = LifeShare(left, total);
      p.alpha = std::max(2.0f * p.lifeFrac - 1.0f, 0.0f);
      p.size += 1500.0f * dt;
      break;
    default:
      // Not a kind any creator makes; give it a life measure so it cannot live for ever.
      p.lifeFrac = LifeShare(left, total);
      break;
  }
}

}  // namespace

void UpdateParticle(Particle& p) {
  if (p.kind == Shell && p.lifeFrac > p.aux[1]) SteerShell(p);

  if (p.kind == Bee) {
    const float step = BeeThrust * dt;
    p.vel.x += std::cos(p.heading.x) * step;
    p.vel.y += (std::cos(p.heading.y) - 0.2f) * step;
    p.vel.z += std::cos(p.heading.z) * step;
  }

  if (p.kind != Smoke) p.vel.y -= Gravity * dt;

  const float k = 1.0f / (1.0f + dt * p.drag);
  const float k2 = k * k;
  p.vel.x *= k2;
  p.vel.y *= k2;
  p.vel.z *= k2;

  if (p.kind != Fountain) {
    p.prevPos = p.pos;
    p.pos.x += p.vel.x * dt;
    p.pos.y += p.vel.y * dt;
    p.pos.z += p.vel.z * dt;
    // The wind blows +x near the ground and turns round higher up; it uses the new height.
    const float y = p.pos.y;
    const float wind = static_cast<float>(WindInUse());
    p.pos.x += (0.1f - 0.00175f * y + 0.0000011f * y * y) * wind * dt;
  }

  p.lifeLeft -= dt;
  SetLifeMeasure(p);

  RunEmitters(p);
}

void EndOfLife(Particle& p) {
  switch (p.kind) {
    case Shell:
      if (p.pos.y <= 0.0f) {  // hit the ground before its time: bounce and burst there
        p.pos.y = 0.1f;
        p.vel.y *= -0.7f;
      }
      if (p.burstKind == BurstPinwheel) {
        MakePinwheel(p);
      } else {
        Burst(p);
      }
      break;
    case SubShell:
      switch (p.burstKind) {
        case SubShellSphere:
        case SubShellEmbers:
        case SubShellTrailStars:
          p.burstKind = SmallBurstOf(p.burstKind);
          Burst(p);
          break;
        case SubShellCrackle:  // a brief golden spark
          p.kind = Star;
          p.colour.Set(1.0f, 0.8f, 0.6f);
          p.lifeLeft = 0.2f;
          p.lifeTotal = 0.2f;
          break;
        default:
          // Already burst, or never given a variant: nothing more can come of it.
          FreeParticle(p);
          break;
      }
      break;
    case Gather:
      BlastStage(p);
      break;
    case Swirl:
      RingWaveStage(p);
      break;
    default:
      FreeParticle(p);
      break;
  }
}

void RefreshSmoke() {
  ForEachLive([](Particle& p) {
    if (p.kind == Smoke) p.colour.Set(show.smokeGrey, show.smokeGrey, show.smokeGrey);
  });
}

namespace {

// One row of the initialiser table: the fields a creator's fresh record takes for its kind. The
// draws come in the row's order: the size (when it has a range), the lifetime, then the bee's
// wobble. Fields marked "left" keep whatever the record held.
struct InitRowValues {
  unsigned kind;
  float drag;
  float sizeLo, sizeHi;  // equal: a fixed size, no draw
  float lifeLo, lifeHi;  // U(lifeLo, lifeHi); the crackle carrier's rule when both are 0
  int emitsTrail;        // -1: left
  bool clearTrailCarry;
  bool clearEmitCarry;
  int burstKind;  // -1: left (a sub-shell's creator sets its variant)
  bool wobble;    // the bee's three rates and three phases
};

constexpr InitRowValues InitRows[] = {
    /* Star      */ {Star, 0.612f, 30.0f, 30.0f, 2.0f, 3.0f, 0, true, false, -1, false},
    /* EmberStar */ {EmberStar, 0.612f, 30.0f, 30.0f, 3.0f, 4.0f, -1, false, true, -1, false},
    /* TrailStar */ {TrailStar, 0.612f, 20.0f, 20.0f, 3.0f, 4.0f, -1, false, true, -1, false},
    /* SubShell  */ {SubShell, 0.4f, 0.0f, 0.0f, 3.0f, 4.5f, 1, true, false, -1, false},
    /* Crackle   */
    {SubShell, 0.4f, 7.0f, 10.0f, 0.0f, 0.0f, 0, false, false, SubShellCrackle, false},
    /* Bee       */ {Bee, 0.3f, 10.0f, 10.0f, 2.5f, 3.5f, 0, false, true, -1, true},
};

}  // namespace

void InitParticle(Particle& p, InitKind which) {
  const InitRowValues& r = InitRows[static_cast<unsigned>(which)];
  p.kind = r.kind;
  p.spriteList = GlowSprite;
  p.drag = r.drag;
  p.size = r.sizeLo == r.sizeHi ? r.sizeLo : U(r.sizeLo, r.sizeHi);
  if (r.lifeHi > 0.0f) {
    p.lifeTotal = U(r.lifeLo, r.lifeHi);
  } else {
    const float angle = U(0.0f, Pi);
    p.lifeTotal = (0.5f - std::sin(angle)) * 4.0f + 4.5f;  // 2.5 to 6.5 s
  }
  p.lifeLeft = p.lifeTotal;
  if (r.emitsTrail >= 0) p.emitsTrail = static_cast<unsigned>(r.emitsTrail);
  if (r.clearTrailCarry) p.trailCarry = 0.0f;
  if (r.clearEmitCarry) p.emitCarry = 0.0f;
  if (r.burstKind >= 0) p.burstKind = static_cast<unsigned>(r.burstKind);
  if (!r.wobble) return;
  for (int i = 0; i < 3; ++i) p.aux[i] = U(Pi, 3.0f * Pi);
  p.heading.x = U(0.0f, 2.0f * Pi);
  p.heading.y = U(0.0f, 2.0f * Pi);
  p.heading.z = U(0.0f, 2.0f * Pi);
}

void InitSmoke(Particle& p, const Vec3& position, const Vec3& velocity) {
  p.kind = Smoke;
  // Q(5) gives 5 once in 32768 draws; there are only five smoke pictures.
  p.spriteList = SmokeSprite[std::min(Q(5), 4)];
  p.drag = 2.0f;
  p.size = 0.1f;
  p.pos = position;
  p.vel = velocity;
  const float g = static_cast<float>(AmbientInUse()) * 0.01f;
  p.colour.Set(g, g, g);
  p.emitsTrail = 0;
}

}  // namespace varenko

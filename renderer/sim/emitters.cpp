// What a particle leaves behind and does to others at the end of its update: smoke trails laid
// along the path, the sparks of shells, fountains, pinwheels, ember stars, trail stars and bees,
// the light of shells, fountains and flashes on smoke and clouds, and the finale force fields.
//
// Emission is spaced by path length (or by time for fountains and pinwheels), with the remainder
// carried to the next update, so the amount laid does not depend on the frame rate. One update
// never lays more than MaxEmittedPerUpdate of one kind: a frame step of hours (a resume from
// sleep) or a runaway velocity then costs bounded time, and the carry keeps only the remainder.
#include "renderer/sim/emitters.h"

#include <cmath>

#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/neighbour_index.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/sprite_lists.h"
#include "renderer/sim/update.h"

namespace varenko {

namespace {

// A shell climbing at its fastest lays a few puffs and sparks per frame; even a one-second frame
// stays far below this.
constexpr int MaxEmittedPerUpdate = 512;

// How many things to lay along a path this update and where they go.
struct Spacing {
  int count;   // things laid this update
  Vec3 start;  // the k-th one (k = 1..count) lies at start + step * k
  Vec3 step;
};

// Path spacing: one thing every `gap` units (rate = 1 / gap), the count floored after adding
// `bias` (0.5 rounds to the nearest count). The carry becomes the path not yet used, which with
// rounding may be negative, down to -gap / 2.
Spacing SpaceAlongPath(const Particle& p, float& carry, float rate, float gap, float bias) {
  const Vec3 d = Difference(p.pos, p.prevPos);
  const float room = d.Length() + carry;
  Spacing out{0, p.prevPos, Vec3(0.0f, 0.0f, 0.0f)};
  const float wanted = room * rate + bias;
  // NaN or infinite paths lay nothing and forget the carry, so one bad update cannot poison the
  // next ones; the comparison is made before any conversion to int.
  if (!std::isfinite(room) || !std::isfinite(wanted)) {
    carry = 0.0f;
    return out;
  }
  if (!(wanted >= 1.0f)) {
    carry = room;
    return out;
  }
  if (wanted < static_cast<float>(MaxEmittedPerUpdate + 1)) {
    out.count = static_cast<int>(std::floor(wanted));
    carry = room - gap * static_cast<float>(out.count);
    out.step = Scaled(d, gap / room);
    return out;
  }
  // Too long a path for one update: spread the most we lay evenly over all of it and keep the
  // remainder a normal update would have kept (fmod is exact where room - gap * n is not).
  out.count = MaxEmittedPerUpdate;
  carry = std::fmod(room, gap);
  if (carry * rate + bias >= 1.0f) carry -= gap;
  out.step = Scaled(d, 1.0f / static_cast<float>(MaxEmittedPerUpdate));
  return out;
}

// Count for emitters that lay a number of things per second: floors x and keeps the fraction.
int TakeWhole(float x, float& carry) {
  if (!std::isfinite(x)) {
    carry = 0.0f;
    return 0;
  }
  if (!(x >= 1.0f)) {
    carry = x;
    return 0;
  }
  const float whole = std::floor(x);
  carry = x - whole;
  return whole < static_cast<float>(MaxEmittedPerUpdate) ? static_cast<int>(whole)
                                                         : MaxEmittedPerUpdate;
}

Vec3 Along(const Spacing& s, int k) { return Sum(s.start, Scaled(s.step, static_cast<float>(k))); }

// Direction of v scaled by k; a standing particle gets straight up (Normalize's rule).
Vec3 NormalisedTimes(Vec3 v, float k) {
  v.Normalize();
  return Scaled(v, k);
}

// Walks every record of the pool, not only the live prefix: during the update pass records freed
// this frame still sit among the live ones until the pool is re-sorted.
template <typename F>
void ForEachRecord(F&& f) {
  for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next) {
    if (n->particle.depthKey > FreeKey) f(n->particle);
  }
}

float Squared(float x) { return x * x; }

float DistanceSquared(const Vec3& a, const Vec3& b) {
  const Vec3 d = Difference(a, b);
  return d.x * d.x + d.y * d.y + d.z * d.z;
}

void AddLight(float& channel, float amount) {
  channel += amount;
  if (channel > 1.0f) channel = 1.0f;
}

void SmokeTrail(Particle& p) {
  // A zero or negative trail length lays nothing: a puff of negative lifetime would never end.
  if (p.emitsTrail != 1 || settings.smokeSpan <= 0) return;
  Vec3 exhaust(0.0f, 0.0f, 0.0f);
  if (p.kind == Shell && p.lifeFrac > p.aux[1]) {
    exhaust = NormalisedTimes(p.vel, -2.0f * (p.lifeFrac - p.aux[1]) * p.aux[0]);
  }
  const Spacing s = SpaceAlongPath(p, p.trailCarry, 0.5f, 2.0f, 0.0f);
  for (int k = 1; k <= s.count; ++k) {
    const float vx = U(0.0f, 20.0f) - 10.0f + exhaust.x;
    const float vy = U(0.0f, 20.0f) - 10.0f + exhaust.y;
    const float vz = U(0.0f, 20.0f) - 10.0f + exhaust.z;
    Particle& puff = AllocateParticle();
    InitSmoke(puff, Along(s, k), Vec3(vx, vy, vz));
    const unsigned index = static_cast<unsigned>(p.trailIndex) % 8u;
    puff.lifeLeft = SmokeLifeTable[index];
    puff.lifeTotal = puff.lifeLeft;
    p.trailIndex = static_cast<int>((index + 1u) % 8u);
  }
}

void ShellSparks(Particle& p) {
  const float burning = p.lifeFrac - p.aux[1];
  if (!(burning > 0.0f)) return;
  const Vec3 exhaust = NormalisedTimes(p.vel, -burning * p.aux[0]);
  const Vec3 d = Difference(p.pos, p.prevPos);
  const Spacing s = SpaceAlongPath(p, p.emitCarry, 0.4f, 2.5f, 0.0f);
  for (int k = 1; k <= s.count; ++k) {
    Particle& spark = AllocateParticle();
    InitParticle(spark, InitKind::Star);
    spark.pos = Difference(p.pos, Scaled(d, U(0.0f, 1.0f)));
    const float vx = U(-30.0f, 30.0f) + exhaust.x;
    const float vy = U(-30.0f, 30.0f) + exhaust.y;
    const float vz = U(-30.0f, 30.0f) + exhaust.z;
    spark.vel = Vec3(vx, vy, vz);
    spark.colour = p.colour;
    spark.lifeTotal = U(0.1f, 0.3f);
    spark.lifeLeft = spark.lifeTotal;
    spark.size = 8.0f * p.lifeFrac;
    spark.spriteList = SparkleSprite;
    spark.emitsTrail = 0;
  }
}

void FountainSparks(Particle& p) {
  const float rate = U(0.0f, 10.0f) + 10.0f;
  const int n = TakeWhole(rate * p.alpha * dt + p.emitCarry, p.emitCarry);
  for (int k = 0; k < n; ++k) {
    Particle& spark = AllocateParticle();
    InitParticle(spark, InitKind::Star);
    spark.drag = 0.342f;
    spark.pos = p.pos;
    spark.pos.y += U(0.0f, 100.0f * dt);
    if (!(spark.pos.y <= 50.0f)) spark.pos.y = 50.0f;  // never above the spray's top
    const float vx = U(-10.0f, 10.0f);
    const float vy = U(100.0f, 130.0f);
    const float vz = U(-10.0f, 10.0f);
    spark.vel = Vec3(vx, vy, vz);
    spark.size = 10.0f;
    spark.colour = p.colour;
    spark.emitsTrail = 0;
  }
}

void PinwheelSparks(Particle& p) {
  Vec3 radius;
  radius.Cross(Vec3(1.0f, 0.0f, 0.0f), p.heading);
  radius.Normalize();
  radius = Scaled(radius, 400.0f);
  const float rate = U(0.0f, 10.0f) + 90.0f;
  const int n = TakeWhole(rate * p.alpha * dt + p.emitCarry, p.emitCarry);
  const float sweep = dt * p.aux[2];
  for (int k = 0; k < n; ++k) {
    const float angle = p.aux[3] + U(0.0f, 1.0f) * sweep;
    Quaternion q;
    q.FromAxisAngle(angle, p.heading.x, p.heading.y, p.heading.z);
    Matrix4 m;
    m.SetRotation(q);
    Vec3 arm = radius;
    arm.RotateBy(m);
    Particle& spark = AllocateParticle();
    InitParticle(spark, InitKind::Star);
    spark.pos = p.pos;
    const float jx = U(-10.0f, 10.0f);
    const float jy = U(-10.0f, 10.0f);
    const float jz = U(-10.0f, 10.0f);
    spark.vel = Sum(Difference(p.vel, arm), Vec3(jx, jy, jz));
    spark.size = 15.0f;
    spark.colour = p.colour;
    spark.emitsTrail = 0;
    spark.lifeLeft = U(1.5f, 2.0f);
    spark.lifeTotal = spark.lifeLeft;
  }
  p.aux[3] += sweep;
}

void EmberSparks(Particle& p) {
  const Vec3 d = Difference(p.pos, p.prevPos);
  const Spacing s = SpaceAlongPath(p, p.emitCarry, 0.04f, 25.0f, 0.0f);
  for (int k = 1; k <= s.count; ++k) {
    Particle& spark = AllocateParticle();
    InitParticle(spark, InitKind::Star);
    spark.pos = Difference(p.pos, Scaled(d, U(0.0f, 1.0f)));
    const float vx = U(-40.0f, 40.0f);
    const float vy = U(-40.0f, 40.0f);
    const float vz = U(-40.0f, 40.0f);
    spark.vel = Sum(p.vel, Vec3(vx, vy, vz));
    spark.drag = 2.5f;
    spark.size = U(4.0f, 12.0f);
    spark.colour = Vec3(1.0f, 0.8f, 0.6f);
    spark.lifeTotal = U(1.0f, 3.0f);
    spark.lifeLeft = spark.lifeTotal;
    spark.emitsTrail = 0;
  }
}

void TrailStarSparks(Particle& p) {
  const Spacing s = SpaceAlongPath(p, p.emitCarry, 0.1f, 10.0f, 0.5f);
  for (int k = 1; k <= s.count; ++k) {
    Particle& spark = AllocateParticle();
    InitParticle(spark, InitKind::Star);
    spark.pos = Along(s, k);
    const float vx = U(-20.0f, 20.0f);
    const float vy = U(-20.0f, 20.0f);
    const float vz = U(-20.0f, 20.0f);
    spark.vel = Sum(p.vel, Vec3(vx, vy, vz));
    spark.colour = p.colour;
    spark.drag = 2.0f;
    spark.lifeLeft = U(1.5f, 2.0f);
    spark.lifeTotal = spark.lifeLeft;
    spark.size = 10.0f;
    spark.emitsTrail = 0;
  }
}

void BeeSparks(Particle& p) {
  const Spacing s = SpaceAlongPath(p, p.emitCarry, 0.1f, 10.0f, 0.5f);
  for (int k = 1; k <= s.count; ++k) {
    Particle& spark = AllocateParticle();
    InitParticle(spark, InitKind::Star);
    spark.pos = Along(s, k);
    // Thrown backwards against the bee's flight.
    const float vx = U(-50.0f, 50.0f) - 0.5f * p.vel.x;
    const float vy = U(-50.0f, 50.0f) - 0.5f * p.vel.y;
    const float vz = U(-50.0f, 50.0f) - 0.5f * p.vel.z;
    spark.vel = Vec3(vx, vy, vz);
    spark.colour = p.colour;
    spark.lifeLeft = U(0.15f, 0.25f);
    spark.lifeTotal = spark.lifeLeft;
    spark.size = 7.0f;
    spark.spriteList = SparkleSprite;
    spark.emitsTrail = 0;
  }
}

void Light(const Particle& p) {
  if (settings.illumination == 0) return;
  float radius;
  float reach;    // squared radius of the light
  float falloff;  // 1 / reach: the weight is ((reach - D) / reach)^2
  if (p.kind == Shell || p.kind == Fountain) {
    radius = 200.0f;
    reach = 40000.0f;
    falloff = 0.000025f;
  } else if (p.kind == Flash) {
    radius = 800.0f;
    reach = 640000.0f;
    falloff = 0.0000015625f;
  } else {
    return;
  }
  // Pale light: the source colour mixed with white.
  const Vec3 c(p.colour.x * 0.6f + 0.4f, p.colour.y * 0.6f + 0.4f, p.colour.z * 0.6f + 0.4f);
  const Vec3 at = p.pos;
  const float alpha = p.alpha;
  // Each puff's light depends on nothing but the puff and this source, so the order in which
  // the index hands them over does not matter; the order of the sources does, and stays.
  const auto shine = [&](Particle& s) {
    if (s.kind != Smoke) return;
    ++neighbours.distanceTests;
    const float d2 = DistanceSquared(at, s.pos);
    if (!(d2 < reach)) return;
    const float w = Squared((reach - d2) * falloff) * alpha;
    AddLight(s.colour.x, w * c.x);
    AddLight(s.colour.y, w * c.y);
    AddLight(s.colour.z, w * c.z);
  };
  if (!ForEachNear(neighbours.smoke, at, radius, shine)) ForEachRecord(shine);

  if (p.kind != Flash || settings.cloudy == 0) return;
  constexpr float CloudReach = 2560000.0f;  // 1600 units
  for (int r = 0; r < CloudGridSize; ++r) {
    if (!CloudRowMayReach(r, at, 1600.0f)) continue;
    for (CloudVertex& v : CloudGrid[r]) {
      const float d2 = DistanceSquared(at, Vec3(v.x, v.y, v.z));
      if (!(d2 < CloudReach)) continue;
      const float w = Squared((CloudReach - d2) * 0.000000390625f) * alpha;
      AddLight(v.red, w * c.x);
      AddLight(v.green, w * c.y);
      AddLight(v.blue, w * c.z);
    }
  }
}

void ForceField(const Particle& p) {
  float radius;
  float reach;
  float strength;
  if (p.kind == Gather) {
    radius = 500.0f;
    reach = 250000.0f;
    strength = 0.01f;
  } else if (p.kind == Blast || p.kind == Swirl) {
    radius = 800.0f;
    reach = 640000.0f;
    strength = 0.002f;
  } else {
    return;
  }
  // Weak at birth, strongest as the field's life ends.
  const float f = (1.0f - p.lifeFrac) * dt * strength;
  const Vec3 at = p.pos;
  const unsigned kind = p.kind;
  // As with light, each record's push depends on nothing but the record and this field.
  const auto push = [&](Particle& o) {
    if (o.kind == kind) return;  // a field never moves its own kind, nor itself
    ++neighbours.distanceTests;
    const float d2 = DistanceSquared(at, o.pos);
    if (d2 == 0.0f || !(d2 < reach)) return;
    Vec3 towards = Difference(at, o.pos);
    towards.Normalize();
    const float b = (reach - d2) * f;
    switch (kind) {
      case Gather:
        o.vel = Sum(o.vel, Scaled(towards, b));
        break;
      case Blast:
        o.vel = Difference(o.vel, Scaled(towards, b));
        break;
      default:
        // Swirl: drawn in sideways five times as hard, pushed apart vertically.
        o.vel.x += 5.0f * b * towards.x;
        o.vel.y -= b * towards.y;
        o.vel.z += 5.0f * b * towards.z;
        break;
    }
  };
  if (!ForEachNear(neighbours.all, at, radius, push)) ForEachRecord(push);
}

}  // namespace

void RunEmitters(Particle& p) {
  SmokeTrail(p);
  switch (p.kind) {
    case Shell:
      ShellSparks(p);
      break;
    case Fountain:
      FountainSparks(p);
      break;
    case Pinwheel:
      PinwheelSparks(p);
      break;
    case EmberStar:
      EmberSparks(p);
      break;
    case TrailStar:
      TrailStarSparks(p);
      break;
    case Bee:
      BeeSparks(p);
      break;
    default:
      break;
  }
  Light(p);
  ForceField(p);
}

}  // namespace varenko

// Burst patterns: the creators that send stars, sub-shells, crackle and bees off around a bursting
// source, and the four stages of the two finales.
//
// Every record comes from AllocateParticle and keeps whatever fields a creator does not name, so
// each creator sets everything the update and the drawing rely on for its kind. The source's
// position, velocity and colour are copied before the first allocation: a creator never reads the
// source through a record it may have just been handed.
#include "renderer/sim/bursts.h"

#include <cmath>

#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/sound_events.h"
#include "renderer/sim/sprite_lists.h"
#include "renderer/sim/update.h"

namespace varenko {

namespace {

constexpr float Pi = 3.14159265f;

// One star in a hundred of a lingering burst hangs in the sky for 5 to 25 s.
void Linger(Particle* last) {
  if (Q(100) != 0 || last == nullptr) return;
  last->lifeLeft = U(5.0f, 25.0f);
  last->lifeTotal = last->lifeLeft;
}

// Tilts a flat direction by the ring's two angles; the result is still a unit vector.
struct RingTilt {
  float sinA, cosA, sinB, cosB;
};

RingTilt DrawRingTilt() {
  const float alpha = U(0.0f, Pi);
  const float beta = U(0.0f, Pi);
  return {std::sin(alpha), std::cos(alpha), std::sin(beta), std::cos(beta)};
}

Vec3 TiltedRingDirection(const RingTilt& t) {
  const Vec3 flat = FlatDirection();
  const float y1 = t.sinB * flat.z;
  const float z1 = t.cosB * flat.z;
  const float x2 = t.sinA * y1 + t.cosA * flat.x;
  const float y2 = t.cosA * y1 - t.sinA * flat.x;
  return Vec3(x2, y2, z1);
}

// Each component scaled by its own draw of U(lo, hi): the ring comes out slightly ragged.
Vec3 RaggedVelocity(const Vec3& dir, float lo, float hi) {
  const float kx = U(lo, hi);
  const float ky = U(lo, hi);
  const float kz = U(lo, hi);
  return Vec3(dir.x * kx, dir.y * ky, dir.z * kz);
}

// The burst ring's speeds are V + U(0, spread) per component, which rounds differently from
// U(V, V + spread).
Vec3 RaggedVelocityAbove(const Vec3& dir, float speed, float spread) {
  const float kx = speed + U(0.0f, spread);
  const float ky = speed + U(0.0f, spread);
  const float kz = speed + U(0.0f, spread);
  return Vec3(dir.x * kx, dir.y * ky, dir.z * kz);
}

// Uniform in the cube of half-size v: sub-shells and crackle spread unevenly on purpose.
Vec3 CubeVelocity(float v) {
  const float x = U(0.0f, 2.0f * v) - v;
  const float y = U(0.0f, 2.0f * v) - v;
  const float z = U(0.0f, 2.0f * v) - v;
  return Vec3(x, y, z);
}

// The common loop of the creators that throw stars in random directions: initialiser, direction,
// speed V + U(0, spread).
Particle* RandomDirectionStars(const Particle& source, int count, float speed, float spread,
                               const Vec3& colour, InitKind init) {
  const Vec3 pos = source.pos;
  const Vec3 vel = source.vel;
  const Vec3 c = colour;
  Particle* last = nullptr;
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    InitParticle(p, init);
    const Vec3 dir = RandomDirection();
    const float v = speed + U(0.0f, spread);
    p.pos = pos;
    p.vel = Sum(Scaled(dir, v), vel);
    p.colour = c;
    last = &p;
  }
  return last;
}

}  // namespace

Vec3 RandomHue() {
  int arrangement = Q(6);
  if (arrangement > 5) arrangement = 5;  // rand() == 32767 gives 6
  const float u = U(0.0f, 1.0f);
  const float s = U(0.0f, 0.2f);
  switch (arrangement) {
    case 0:
      return Vec3(1.0f, u, s);
    case 1:
      return Vec3(1.0f, s, u);
    case 2:
      return Vec3(u, 1.0f, s);
    case 3:
      return Vec3(s, 1.0f, u);
    case 4:
      return Vec3(u, s, 1.0f);
    default:
      return Vec3(s, u, 1.0f);
  }
}

Vec3 RandomDirection() {
  const float x = U(-0.5f, 0.5f);
  const float y = U(-0.5f, 0.5f);
  const float z = U(-0.5f, 0.5f);
  Vec3 d(x, y, z);
  d.Normalize();
  return d;
}

Vec3 FlatDirection() {
  const float x = U(-0.5f, 0.5f);
  const float z = U(-0.5f, 0.5f);
  Vec3 d(x, 0.0f, z);
  d.Normalize();
  return d;
}

void SphereBurst(const Particle& source, int count, float speed, const Vec3& colour) {
  Linger(RandomDirectionStars(source, count, speed, 50.0f, colour, InitKind::Star));
}

void TwoToneBurst(const Particle& source, int count, float speed, const Vec3& colour) {
  const Vec3 pos = source.pos;
  const Vec3 vel = source.vel;
  const Vec3 c = colour;
  const Vec3 second = RandomHue();
  const Vec3 axis = RandomDirection();
  Particle* last = nullptr;
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    InitParticle(p, InitKind::Star);
    const Vec3 dir = RandomDirection();
    // A star exactly on the dividing plane belongs to the second half.
    p.colour = axis.Dot(dir) > 0.0f ? c : second;
    const float v = speed + U(0.0f, 50.0f);
    p.pos = pos;
    p.vel = Sum(Scaled(dir, v), vel);
    last = &p;
  }
  Linger(last);
}

void TriColourBurst(const Particle& source, int count, float speed) {
  const Vec3 pos = source.pos;
  const Vec3 vel = source.vel;
  Vec3 colours[3];
  for (Vec3& c : colours) c = RandomHue();
  Particle* last = nullptr;
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    InitParticle(p, InitKind::Star);
    const Vec3 dir = RandomDirection();
    const float v = speed + U(0.0f, 30.0f);
    p.pos = pos;
    p.vel = Sum(Scaled(dir, v), vel);
    p.colour = colours[i % 3];
    last = &p;
  }
  Linger(last);
}

void RingBurst(const Particle& source, int count, float speed, const Vec3& colour) {
  const Vec3 pos = source.pos;
  const Vec3 vel = source.vel;
  const Vec3 c = colour;
  const RingTilt tilt = DrawRingTilt();
  Particle* last = nullptr;
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    InitParticle(p, InitKind::Star);
    const Vec3 dir = TiltedRingDirection(tilt);
    p.pos = pos;
    p.vel = Sum(RaggedVelocityAbove(dir, speed, 50.0f), vel);
    p.colour = c;
    last = &p;
  }
  Linger(last);
}

void EmberBurst(const Particle& source, int count, float speed, const Vec3& colour) {
  RandomDirectionStars(source, count, speed, 50.0f, colour, InitKind::EmberStar);
}

void TrailStarBurst(const Particle& source, int count, float speed, const Vec3& colour) {
  RandomDirectionStars(source, count, speed, 50.0f, colour, InitKind::TrailStar);
}

void SubShellBurst(const Particle& source, unsigned variant, int count, float speed,
                   const Vec3& colour) {
  const Vec3 pos = source.pos;
  const Vec3 vel = source.vel;
  const Vec3 c = colour;
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    InitParticle(p, InitKind::SubShell);
    p.burstKind = variant;
    p.pos = pos;
    p.vel = Sum(vel, CubeVelocity(speed));
    p.colour = c;
  }
}

void CrackleBurst(const Particle& source, int count, float speed) {
  const Vec3 pos = source.pos;
  const Vec3 vel = source.vel;
  // The carriers are never drawn, so their colour is left alone; they take the golden spark
  // colour when they pop.
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    InitParticle(p, InitKind::Crackle);
    p.pos = pos;
    p.vel = Sum(vel, CubeVelocity(speed));
  }
}

void BeeBurst(const Particle& source, int count, float speed, const Vec3& colour) {
  const Vec3 pos = source.pos;
  const Vec3 vel = source.vel;
  const Vec3 c = colour;
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    InitParticle(p, InitKind::Bee);
    const Vec3 dir = RandomDirection();
    p.pos = pos;
    p.vel = Sum(Scaled(dir, speed), vel);
    p.colour = c;
  }
}

namespace {

// How a group of finale stars leaves the stage object.
enum class StarMotion : unsigned char {
  TiltedRing,  // a ring tilted by two drawn angles, each component scaled by its own U(lo, hi)
  Sphere,      // a random direction at U(lo, hi)
  RisingDisc,  // a flat direction tipped slightly upwards, at U(lo, hi)
  FlatWheel,   // a flat direction scaled per component by U(lo, hi), vertical U(-rise, rise)
};

// One group of a finale stage's stars: a hue drawn for the group, then every star initialised,
// sent off and given its own lifetime, drawn last.
struct StarGroup {
  int count;
  InitKind init;
  StarMotion motion;
  float lo, hi;  // speed range
  float rise;    // FlatWheel: vertical speed range
  float drag, size;
  float lifeLo, lifeHi;  // U(lifeLo, lifeHi)
};

// What a stage does to the object it turns and the flash it puts on it.
struct StageRow {
  unsigned kind;
  const unsigned* sprite;  // nullptr: the object keeps its sprite
  Vec3 colour;
  float size, life;
  Vec3 flashColour;
  float flashDrag, flashSize, flashLife;
};

Vec3 GroupVelocity(const StarGroup& g, const RingTilt& tilt) {
  switch (g.motion) {
    case StarMotion::TiltedRing:
      return RaggedVelocity(TiltedRingDirection(tilt), g.lo, g.hi);
    case StarMotion::Sphere: {
      const Vec3 dir = RandomDirection();
      return Scaled(dir, U(g.lo, g.hi));
    }
    case StarMotion::RisingDisc: {
      const float dx = U(-0.5f, 0.5f);
      const float dy = U(-0.005f, 0.025f);
      const float dz = U(-0.5f, 0.5f);
      Vec3 dir(dx, dy, dz);
      dir.Normalize();
      return Scaled(dir, U(g.lo, g.hi));
    }
    case StarMotion::FlatWheel:
      break;
  }
  const Vec3 flat = FlatDirection();
  const float kx = U(g.lo, g.hi);
  const float vy = U(-g.rise, g.rise);
  const float kz = U(g.lo, g.hi);
  return Vec3(flat.x * kx, vy, flat.z * kz);
}

void FinaleStars(const Vec3& pos, const Vec3& vel, const StarGroup* groups, int groupCount) {
  for (int k = 0; k < groupCount; ++k) {
    const StarGroup& g = groups[k];
    const Vec3 hue = RandomHue();
    const RingTilt tilt = g.motion == StarMotion::TiltedRing ? DrawRingTilt() : RingTilt{};
    for (int i = 0; i < g.count; ++i) {
      Particle& p = AllocateParticle();
      InitParticle(p, g.init);
      p.drag = g.drag;
      p.pos = pos;
      p.vel = Sum(GroupVelocity(g, tilt), vel);
      p.colour = hue;
      p.size = g.size;
      p.emitsTrail = 0;
      p.lifeLeft = U(g.lifeLo, g.lifeHi);
      p.lifeTotal = p.lifeLeft;
    }
  }
}

// Turns the object into the stage and puts the stage's flash on it; returns where it is.
void BeginStage(Particle& s, const StageRow& row, Vec3& pos, Vec3& vel) {
  s.kind = row.kind;
  s.drag = 0.612f;
  if (row.sprite != nullptr) s.spriteList = *row.sprite;
  s.colour = row.colour;
  s.size = row.size;
  s.lifeLeft = row.life;
  s.lifeTotal = row.life;
  s.emitsTrail = 0;
  pos = s.pos;
  vel = s.vel;

  Particle& f = AllocateParticle();
  f.kind = Flash;
  f.spriteList = GlowSprite;
  f.pos = pos;
  f.vel = vel;
  f.drag = row.flashDrag;
  f.colour = row.flashColour;
  f.size = row.flashSize;
  f.lifeLeft = row.flashLife;
  f.lifeTotal = row.flashLife;
  f.emitsTrail = 0;
}

const Vec3 White(1.0f, 1.0f, 1.0f);
using enum StarMotion;

template <int N>
void RunStage(Particle& s, const StageRow& row, const StarGroup (&groups)[N]) {
  Vec3 pos, vel;
  BeginStage(s, row, pos, vel);
  FinaleStars(pos, vel, groups, N);
}

}  // namespace

void GatherFinale(Particle& s) {
  // Two tilted rings, the inner slow and the outer fast.
  static const StarGroup rings[] = {
      {90, InitKind::Star, TiltedRing, 350.0f, 380.0f, 0.0f, 0.612f, 30.0f, 2.0f, 4.0f},
      {90, InitKind::Star, TiltedRing, 600.0f, 650.0f, 0.0f, 0.612f, 30.0f, 2.0f, 4.0f}};
  RunStage(s, {Gather, &RingSprite, White, 300.0f, 4.0f, White, 0.612f, 200.0f, 4.0f}, rings);
}

void BlastStage(Particle& g) {
  PushSoundEvent(SoundEventKind::Blast, g.pos);
  // A slow, large-starred core, then a fast, flat, slightly rising disc with little drag.
  static const StarGroup core[] = {
      {75, InitKind::Star, Sphere, 100.0f, 110.0f, 0.0f, 0.612f, 100.0f, 2.0f, 4.0f},
      {150, InitKind::Star, RisingDisc, 500.0f, 530.0f, 0.0f, 0.2f, 50.0f, 3.0f, 5.0f}};
  RunStage(g, {Blast, nullptr, White, 0.0f, 5.0f, White, 0.612f, 300.0f, 3.0f}, core);
}

void SwirlFinale(Particle& s) {
  // Three flat rings, each wider than the one before, with a little vertical scatter.
  static const StarGroup rings[] = {
      {80, InitKind::Star, FlatWheel, 400.0f, 430.0f, 35.0f, 0.612f, 30.0f, 2.0f, 4.0f},
      {80, InitKind::Star, FlatWheel, 550.0f, 590.0f, 35.0f, 0.612f, 30.0f, 2.0f, 4.0f},
      {80, InitKind::Star, FlatWheel, 700.0f, 750.0f, 35.0f, 0.612f, 30.0f, 2.0f, 4.0f}};
  RunStage(s,
           {Swirl, &SparkleSprite, White, 0.0f, 4.0f, Vec3(1.0f, 0.8f, 0.6f), 0.612f, 400.0f, 4.0f},
           rings);
}

void RingWaveStage(Particle& w) {
  PushSoundEvent(SoundEventKind::Blast, w.pos);
  Vec3 pos, vel;
  BeginStage(w,
             {RingWave, &RingSprite, Vec3(0.6f, 0.6f, 1.0f), 0.0f, 5.0f, Vec3(0.8f, 0.8f, 1.0f),
              0.0f, 200.0f, 2.5f},
             pos, vel);

  // A vertical column: with no drag the pairs keep their separation, white-hot at the centre and
  // red at the ends, the outer pairs outliving the inner ones.
  struct ColumnPair {
    float offset;
    Vec3 colour;
    float life;
  };
  const ColumnPair column[4] = {{15.0f, Vec3(1.0f, 1.0f, 0.9f), 3.0f},
                                {45.0f, Vec3(1.0f, 1.0f, 0.6f), 3.5f},
                                {75.0f, Vec3(1.0f, 0.5f, 0.3f), 4.0f},
                                {105.0f, Vec3(1.0f, 0.0f, 0.0f), 4.5f}};
  const float upDown[2] = {1.0f, -1.0f};
  for (const ColumnPair& pair : column) {
    for (const float sign : upDown) {
      Particle& p = AllocateParticle();
      InitParticle(p, InitKind::Star);
      p.pos = pos;
      p.vel = Sum(vel, Vec3(0.0f, sign * pair.offset, 0.0f));
      p.drag = 0.0f;
      p.size = 400.0f;
      p.emitsTrail = 0;
      p.colour = pair.colour;
      p.lifeLeft = pair.life;
      p.lifeTotal = pair.life;
    }
  }

  // A fast sphere, then a wide, fast, flat wheel of ember stars.
  static const StarGroup rest[] = {
      {75, InitKind::Star, Sphere, 600.0f, 700.0f, 0.0f, 0.612f, 30.0f, 2.0f, 4.0f},
      {50, InitKind::EmberStar, FlatWheel, 1000.0f, 1100.0f, 50.0f, 0.3f, 100.0f, 3.0f, 9.0f}};
  FinaleStars(pos, vel, rest, 2);
}

}  // namespace varenko

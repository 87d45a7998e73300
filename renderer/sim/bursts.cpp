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

// A finale's flash: sits on the stage object and lights the smoke for as long as it glows. These
// flashes drift with the same drag as an ordinary burst flash.
void FinaleFlash(const Vec3& pos, const Vec3& vel, const Vec3& colour, float size, float life) {
  Particle& f = AllocateParticle();
  f.kind = Flash;
  f.spriteList = GlowSprite;
  f.pos = pos;
  f.vel = vel;
  f.drag = 0.612f;
  f.colour = colour;
  f.size = size;
  f.lifeLeft = life;
  f.lifeTotal = life;
  f.emitsTrail = 0;
}

// The common loop of the creators that throw stars in random directions: initialiser, direction,
// speed V + U(0, spread).
template <typename Init>
Particle* RandomDirectionStars(const Particle& source, int count, float speed, float spread,
                               const Vec3& colour, Init init) {
  const Vec3 pos = source.pos;
  const Vec3 vel = source.vel;
  const Vec3 c = colour;
  Particle* last = nullptr;
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    init(p);
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
  Linger(RandomDirectionStars(source, count, speed, 50.0f, colour, InitStar));
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
    InitStar(p);
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
    InitStar(p);
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
    InitStar(p);
    const Vec3 dir = TiltedRingDirection(tilt);
    p.pos = pos;
    p.vel = Sum(RaggedVelocityAbove(dir, speed, 50.0f), vel);
    p.colour = c;
    last = &p;
  }
  Linger(last);
}

void EmberBurst(const Particle& source, int count, float speed, const Vec3& colour) {
  RandomDirectionStars(source, count, speed, 50.0f, colour, InitEmberStar);
}

void TrailStarBurst(const Particle& source, int count, float speed, const Vec3& colour) {
  RandomDirectionStars(source, count, speed, 50.0f, colour, InitTrailStar);
}

void SubShellBurst(const Particle& source, unsigned variant, int count, float speed,
                   const Vec3& colour) {
  const Vec3 pos = source.pos;
  const Vec3 vel = source.vel;
  const Vec3 c = colour;
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    InitSubShell(p, variant);
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
    InitCrackle(p);
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
    InitBee(p);
    const Vec3 dir = RandomDirection();
    p.pos = pos;
    p.vel = Sum(Scaled(dir, speed), vel);
    p.colour = c;
  }
}

void GatherFinale(Particle& s) {
  s.kind = Gather;
  s.drag = 0.612f;
  s.spriteList = RingSprite;
  s.colour = Vec3(1.0f, 1.0f, 1.0f);
  s.size = 300.0f;
  s.lifeLeft = 4.0f;
  s.lifeTotal = 4.0f;
  s.emitsTrail = 0;
  const Vec3 pos = s.pos;
  const Vec3 vel = s.vel;

  FinaleFlash(pos, vel, Vec3(1.0f, 1.0f, 1.0f), 200.0f, 4.0f);

  // Two tilted rings, the inner slow and the outer fast.
  const float speedLo[2] = {350.0f, 600.0f};
  const float speedHi[2] = {380.0f, 650.0f};
  for (int ring = 0; ring < 2; ++ring) {
    const Vec3 hue = RandomHue();
    const RingTilt tilt = DrawRingTilt();
    for (int i = 0; i < 90; ++i) {
      Particle& p = AllocateParticle();
      InitStar(p);
      p.pos = pos;
      const Vec3 dir = TiltedRingDirection(tilt);
      p.vel = Sum(RaggedVelocity(dir, speedLo[ring], speedHi[ring]), vel);
      p.colour = hue;
      p.emitsTrail = 0;
      p.lifeLeft = U(2.0f, 4.0f);
      p.lifeTotal = p.lifeLeft;
    }
  }
}

void BlastStage(Particle& g) {
  g.kind = Blast;
  g.drag = 0.612f;
  g.colour = Vec3(1.0f, 1.0f, 1.0f);
  g.size = 0.0f;
  g.lifeLeft = 5.0f;
  g.lifeTotal = 5.0f;
  g.emitsTrail = 0;
  const Vec3 pos = g.pos;
  const Vec3 vel = g.vel;

  FinaleFlash(pos, vel, Vec3(1.0f, 1.0f, 1.0f), 300.0f, 3.0f);

  // A slow, large-starred core.
  const Vec3 h1 = RandomHue();
  for (int i = 0; i < 75; ++i) {
    Particle& p = AllocateParticle();
    InitStar(p);
    const Vec3 dir = RandomDirection();
    const float v = U(100.0f, 110.0f);
    p.pos = pos;
    p.vel = Sum(Scaled(dir, v), vel);
    p.colour = h1;
    p.size = 100.0f;
    p.emitsTrail = 0;
    p.lifeLeft = U(2.0f, 4.0f);
    p.lifeTotal = p.lifeLeft;
  }

  // A fast, flat, slightly rising disc with little drag.
  const Vec3 h2 = RandomHue();
  for (int i = 0; i < 150; ++i) {
    Particle& p = AllocateParticle();
    InitStar(p);
    p.drag = 0.2f;
    const float dx = U(-0.5f, 0.5f);
    const float dy = U(-0.005f, 0.025f);
    const float dz = U(-0.5f, 0.5f);
    Vec3 dir(dx, dy, dz);
    dir.Normalize();
    const float v = U(500.0f, 530.0f);
    p.pos = pos;
    p.vel = Sum(Scaled(dir, v), vel);
    p.colour = h2;
    p.size = 50.0f;
    p.emitsTrail = 0;
    p.lifeLeft = U(3.0f, 5.0f);
    p.lifeTotal = p.lifeLeft;
  }
}

void SwirlFinale(Particle& s) {
  s.kind = Swirl;
  s.drag = 0.612f;
  s.spriteList = SparkleSprite;
  s.colour = Vec3(1.0f, 1.0f, 1.0f);
  s.size = 0.0f;
  s.lifeLeft = 4.0f;
  s.lifeTotal = 4.0f;
  s.emitsTrail = 0;
  const Vec3 pos = s.pos;
  const Vec3 vel = s.vel;

  FinaleFlash(pos, vel, Vec3(1.0f, 0.8f, 0.6f), 400.0f, 4.0f);

  // Three flat rings, each wider than the one before, with a little vertical scatter.
  const float speedLo[3] = {400.0f, 550.0f, 700.0f};
  const float speedHi[3] = {430.0f, 590.0f, 750.0f};
  for (int ring = 0; ring < 3; ++ring) {
    const Vec3 hue = RandomHue();
    for (int i = 0; i < 80; ++i) {
      Particle& p = AllocateParticle();
      InitStar(p);
      const Vec3 flat = FlatDirection();
      const float kx = U(speedLo[ring], speedHi[ring]);
      const float vy = U(-35.0f, 35.0f);
      const float kz = U(speedLo[ring], speedHi[ring]);
      p.pos = pos;
      p.vel = Sum(Vec3(flat.x * kx, vy, flat.z * kz), vel);
      p.colour = hue;
      p.emitsTrail = 0;
      p.lifeLeft = U(2.0f, 4.0f);
      p.lifeTotal = p.lifeLeft;
    }
  }
}

void RingWaveStage(Particle& w) {
  w.kind = RingWave;
  w.drag = 0.612f;
  w.spriteList = RingSprite;
  w.colour = Vec3(0.6f, 0.6f, 1.0f);
  w.size = 0.0f;
  w.lifeLeft = 5.0f;
  w.lifeTotal = 5.0f;
  w.emitsTrail = 0;
  const Vec3 pos = w.pos;
  const Vec3 vel = w.vel;

  Particle& flash = AllocateParticle();
  flash.kind = Flash;
  flash.spriteList = GlowSprite;
  flash.pos = pos;
  flash.vel = vel;
  flash.drag = 0.0f;
  flash.colour = Vec3(0.8f, 0.8f, 1.0f);
  flash.size = 200.0f;
  flash.lifeLeft = 2.5f;
  flash.lifeTotal = 2.5f;
  flash.emitsTrail = 0;

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
      InitStar(p);
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

  const Vec3 h1 = RandomHue();
  for (int i = 0; i < 75; ++i) {
    Particle& p = AllocateParticle();
    InitStar(p);
    const Vec3 dir = RandomDirection();
    const float v = U(600.0f, 700.0f);
    p.pos = pos;
    p.vel = Sum(Scaled(dir, v), vel);
    p.colour = h1;
    p.emitsTrail = 0;
    p.lifeLeft = U(2.0f, 4.0f);
    p.lifeTotal = p.lifeLeft;
  }

  // A wide, fast, flat wheel of ember stars.
  const Vec3 h2 = RandomHue();
  for (int i = 0; i < 50; ++i) {
    Particle& p = AllocateParticle();
    InitEmberStar(p);
    p.drag = 0.3f;
    const Vec3 flat = FlatDirection();
    const float kx = U(1000.0f, 1100.0f);
    const float vy = U(-50.0f, 50.0f);
    const float kz = U(1000.0f, 1100.0f);
    p.pos = pos;
    p.vel = Sum(Vec3(flat.x * kx, vy, flat.z * kz), vel);
    p.colour = h2;
    p.size = 100.0f;
    p.emitsTrail = 0;
    p.lifeLeft = U(3.0f, 9.0f);
    p.lifeTotal = p.lifeLeft;
  }
}

}  // namespace varenko

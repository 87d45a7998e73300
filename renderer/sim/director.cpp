// The show director: the paced, capped launches of shells and fountains, the preparation of a
// shell and the choice of its burst, pinwheels, and the burst dispatcher that turns a shell or
// sub-shell into a flash and calls the burst creators.
#include "renderer/sim/director.h"

#include <cmath>

#include "renderer/sim/bursts.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/show.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

Director director = {0.0f, 20.0f, 0.0f, 0};

namespace {

constexpr float TwoPi = 6.2831853f;

// With no fireworks to launch the timer only re-arms, once a minute.
constexpr float IdleLaunchWait = 60.0f;

// A zero or negative number of fireworks launches nothing; there is no interval to derive from it.
bool Launching() { return ShellCap() > 0; }

float BaseInterval() { return 10.0f / static_cast<float>(ShellCap()); }

}  // namespace

void StartDirector() { director.intervalBase = Launching() ? BaseInterval() : 0.0f; }

void LaunchStep() {
  director.rhythmTimer -= dt;
  if (director.rhythmTimer <= 0.0f) {
    const float extra = U(0.0f, 4.0f);
    director.intervalBase = (Launching() ? BaseInterval() : 0.0f) + extra * extra;
    director.rhythmTimer = U(10.0f, 40.0f);
  }

  director.launchTimer -= dt;
  if (director.launchTimer > 0.0f) return;

  // Checked once per frame, so even the largest cap launches at most one shell a frame.
  if (director.shellsInFlight < ShellCap()) {
    Particle& p = AllocateParticle();
    if (Q(30) != 0) {
      LaunchShell(p);
      // A forced kind replaces the choice outright: its draws are not made, since the bursts
      // would take the random sequence elsewhere anyway.
      p.burstKind =
          forcedBurstKind >= 0 ? static_cast<unsigned>(forcedBurstKind) : ChooseBurstKind();
      ++director.shellsInFlight;
    } else {
      LaunchFountain(p);
      const int more = Q(2);
      for (int i = 0; i < more; ++i) LaunchFountain(AllocateParticle());
    }
  }

  director.launchTimer = Launching() ? U(0.0f, director.intervalBase) : IdleLaunchWait;
}

void LaunchShell(Particle& p) {
  p.kind = Shell;
  const float x = U(-100.0f, 100.0f);
  const float z = U(-100.0f, 100.0f);
  p.pos = Vec3(x, 5.0f, z);
  p.prevPos = Vec3(x, 4.0f, z);
  p.vel = Vec3(0.0f, 60.0f, 0.0f);

  const float red = U(0.3f, 1.0f);
  const float green = U(0.3f, 1.0f);
  p.colour = Vec3(red, green, 0.3f);
  p.size = 1.0f;
  p.drag = 0.281f;
  p.alpha = 0.0f;
  p.lifeLeft = U(5.0f, 7.0f);
  p.lifeTotal = p.lifeLeft;
  // A recycled record holds its last occupant's measure; the motor must burn from the first
  // update on, whatever the record held before.
  p.lifeFrac = 1.0f;

  p.aux[0] = U(200.0f, 300.0f);
  p.aux[1] = U(0.3f, 0.4f);
  p.aux[2] = U(-20.0f, 20.0f);
  p.aux[3] = U(0.0f, 30.0f * std::fabs(p.aux[2]));
  p.heading = Vec3(std::cos(p.aux[2]), 0.0f, std::sin(p.aux[2]));

  // About one shell in two hundred does not spin but veers off strongly to one side.
  if (Q(200) == 0) {
    p.aux[2] = 0.0f;
    p.aux[3] = U(75.0f, 175.0f);
    const float theta = U(0.0f, TwoPi);
    p.heading = Vec3(std::cos(theta), 0.0f, std::sin(theta));
  }

  p.emitsTrail = 1;
  p.trailCarry = 0.0f;
  p.emitCarry = 0.0f;
  p.burstKind = 0;
  p.spriteList = GlowSprite;
}

unsigned ChooseBurstKind() {
  if (Q(3000) == 0) return Q(2) != 0 ? 19u : 20u;
  // Each branch test below is its own draw, made before the draws of the value it returns.
  if (Q(2) != 0) {
    if (Q(10) == 0) return 2u;
    return static_cast<unsigned>(Q(2));
  }
  if (Q(3) == 0) return static_cast<unsigned>(Q(3) + 3);
  if (Q(2) != 0) {
    if (Q(2) != 0) return static_cast<unsigned>(Q(2) + 6);
    return static_cast<unsigned>(Q(4) + 8);
  }
  if (Q(2) != 0) return static_cast<unsigned>(Q(3) + 12);
  return static_cast<unsigned>(Q(4) + 15);
}

void LaunchFountain(Particle& p) {
  p.kind = Fountain;
  p.spriteList = GlowSprite;
  p.size = 30.0f;
  const float x = U(-150.0f, 150.0f);
  const float z = U(-150.0f, 150.0f);
  p.pos = Vec3(x, 5.0f, z);
  // A fountain never moves; a defined velocity keeps the update's gravity and drag arithmetic on
  // real numbers instead of a previous occupant's leftovers.
  p.vel = Vec3(0.0f, 0.0f, 0.0f);
  p.colour = RandomHue();
  p.alpha = 0.0f;
  p.emitsTrail = 0;
  p.emitCarry = 0.0f;
  p.lifeLeft = U(10.0f, 15.0f);
  p.lifeTotal = p.lifeLeft;
}

void MakePinwheel(Particle& p) {
  p.kind = Pinwheel;
  p.spriteList = GlowSprite;
  p.drag = 0.612f;
  p.colour = RandomHue();
  p.aux[2] = U(12.0f, 15.0f);
  p.aux[3] = U(0.0f, TwoPi);
  const float ay = U(-1.0f, 1.0f);
  const float ax = U(-1.0f, 1.0f);
  const float az = U(-1.0f, 1.0f);
  p.heading = Vec3(ax, ay, az);
  p.heading.Normalize();
  p.alpha = 0.0f;
  p.size = 20.0f;
  p.emitsTrail = 1;
  p.emitCarry = 0.0f;
  p.lifeLeft = U(6.0f, 8.0f);
  p.lifeTotal = p.lifeLeft;
}

void Burst(Particle& s) {
  s.kind = Flash;
  s.spriteList = GlowSprite;
  s.lifeLeft = 0.5f;
  s.lifeTotal = 0.5f;
  s.drag = 0.612f;
  s.alpha = 1.0f;
  s.lifeFrac = 1.0f;
  s.size = 100.0f;
  s.emitsTrail = 0;

  // The finales need the sky to themselves: lower down they make a plain sphere.
  if ((s.burstKind == 19 || s.burstKind == 20) && s.pos.y < 1000.0f) s.burstKind = 0;

  // Every value is drawn where the burst's row uses it, in the order the row is written: the
  // source colour, then each creator's arguments left to right just before that creator runs.
  // The flash keeps the source colour, so it lights the smoke in that colour.
  const Vec3 white(1.0f, 1.0f, 1.0f);
  switch (s.burstKind) {
    case 0:
    case 1: {
      s.colour = RandomHue();
      const bool large = Q(10) == 0;
      const int count = large ? 225 : 175;
      const float speed = large ? 1000.0f : U(400.0f, 500.0f);
      if (s.burstKind == 0) {
        SphereBurst(s, count, speed, s.colour);
      } else {
        TwoToneBurst(s, count, speed, s.colour);
      }
      break;
    }
    case 2: {
      s.colour = white;
      const bool large = Q(10) == 0;
      const float speed = large ? 1000.0f : U(400.0f, 500.0f);
      TriColourBurst(s, large ? 225 : 175, speed);
      break;
    }
    case 3: {
      s.colour = RandomHue();
      const float speed = U(400.0f, 500.0f);
      RingBurst(s, 70, speed, s.colour);
      break;
    }
    case 4: {
      s.colour = RandomHue();
      const float innerSpeed = U(200.0f, 250.0f);
      const Vec3 h2 = RandomHue();
      SphereBurst(s, 90, innerSpeed, h2);
      const float outerSpeed = U(500.0f, 600.0f);
      SphereBurst(s, 150, outerSpeed, s.colour);
      break;
    }
    case 5: {
      s.colour = RandomHue();
      const float ringSpeed = U(500.0f, 600.0f);
      const Vec3 h2 = RandomHue();
      RingBurst(s, 70, ringSpeed, h2);
      const float sphereSpeed = U(200.0f, 250.0f);
      SphereBurst(s, 150, sphereSpeed, s.colour);
      break;
    }
    case 6:
    case 7: {
      s.colour = RandomHue();
      const float speed = U(400.0f, 500.0f);
      if (s.burstKind == 6) {
        EmberBurst(s, 40, speed, s.colour);
      } else {
        TrailStarBurst(s, 40, speed, s.colour);
      }
      break;
    }
    case 8:
    case 9:
    case 10:
    case 11: {
      s.colour = RandomHue();
      const bool ember = s.burstKind == 8 || s.burstKind == 10;
      const bool wide = s.burstKind >= 10;
      const float starSpeed = wide ? U(450.0f, 550.0f) : U(500.0f, 600.0f);
      if (ember) {
        EmberBurst(s, wide ? 20 : 25, starSpeed, s.colour);
      } else {
        TrailStarBurst(s, wide ? 20 : 25, starSpeed, s.colour);
      }
      const float sphereSpeed = wide ? U(500.0f, 550.0f) : U(200.0f, 250.0f);
      const Vec3 h2 = RandomHue();
      SphereBurst(s, wide ? 150 : 90, sphereSpeed, h2);
      break;
    }
    case 12:
    case 13:
    case 14: {
      s.colour = RandomHue();
      const float speed = U(300.0f, 400.0f);
      // Sub-shell variants 5, 6, 7 end in a small sphere, ember or trail-star burst.
      SubShellBurst(s, s.burstKind - 7, 8, speed, s.colour);
      break;
    }
    case 15: {
      const float speed = U(150.0f, 200.0f);
      CrackleBurst(s, 250, speed);
      break;
    }
    case 16:
      s.colour = RandomHue();
      BeeBurst(s, 30, 10.0f, s.colour);
      break;
    case 17:
      s.colour = white;
      s.size = 150.0f;  // a white salute: the flash alone, larger
      break;
    case 19:
      s.colour = white;
      GatherFinale(s);
      break;
    case 20:
      s.colour = white;
      SwirlFinale(s);
      break;
    case 100:
      SphereBurst(s, 30, 100.0f, s.colour);
      break;
    case 101:
      EmberBurst(s, 10, 100.0f, s.colour);
      break;
    case 102:
      TrailStarBurst(s, 10, 100.0f, s.colour);
      break;
    default:
      break;  // an unknown kind leaves the plain flash
  }
}

}  // namespace varenko

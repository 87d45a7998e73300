// The show director: the paced, capped launches of shells and fountains, the preparation of a
// shell and the choice of its burst, pinwheels, and the burst dispatcher that turns a shell or
// sub-shell into a flash and calls the burst creators.
#include "renderer/sim/director.h"

#include <cmath>

#include "renderer/sim/burst_kinds.h"
#include "renderer/sim/bursts.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/show.h"
#include "renderer/sim/sound_events.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

namespace {

constexpr float TwoPi = 6.2831853f;

// With no fireworks to launch the timer only re-arms, once a minute.
constexpr float IdleLaunchWait = 60.0f;

// A zero or negative number of fireworks launches nothing; there is no interval to derive from it.
bool Launching() { return ShellCap() > 0; }

float BaseInterval() { return 10.0f / static_cast<float>(ShellCap()); }

}  // namespace

void StartDirector() { show.director.intervalBase = Launching() ? BaseInterval() : 0.0f; }

void LaunchStep() {
  Director& director = show.director;
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
      p.burstKind = show.forcedBurstKind >= 0 ? static_cast<unsigned>(show.forcedBurstKind)
                                              : ChooseBurstKind();
      PushSoundEvent(SoundEventKind::Launch, p.pos);
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
  p.burstKind = BurstSphere;
  p.spriteList = GlowSprite;
}

unsigned ChooseBurstKind() {
  if (Q(3000) == 0) return Q(2) != 0 ? BurstGatherFinale : BurstSwirlFinale;
  // Each branch test below is its own draw, made before the draws of the value it returns. The
  // kinds come in runs: a draw picks one of the run starting at the named kind.
  const auto from = [](unsigned first, int n) { return first + static_cast<unsigned>(Q(n)); };
  if (Q(2) != 0) {
    if (Q(10) == 0) return BurstTriColour;
    return from(BurstSphere, 2);  // sphere or two-tone
  }
  if (Q(3) == 0) return from(BurstRing, 3);  // ring, sphere in sphere, ring and sphere
  if (Q(2) != 0) {
    if (Q(2) != 0) return from(BurstEmbers, 2);  // embers or trail stars
    return from(BurstEmbersAndSphere, 4);        // 8 to 11
  }
  if (Q(2) != 0) return from(BurstSubShellSpheres, 3);  // 12 to 14
  return from(BurstCrackle, 4);                         // crackle, bees, salute, pinwheel
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

namespace {

// The creators a burst row calls.
enum class Creator : unsigned char {
  None,
  Sphere,
  TwoTone,
  TriColour,
  Ring,
  Embers,
  TrailStars,
  SubShells,
  Crackle,
  Bees,
  Gather,
  Swirl
};

// The source's (and so the flash's) colour: drawn, white, or kept.
enum class SourceColour : unsigned char { Kept, Hue, White };

struct CreatorCall {
  Creator creator;
  int count;
  float lo, hi;  // speed U(lo, hi); lo itself, with no draw, when lo == hi
  bool ownHue;   // a second hue, drawn after the speed, instead of the source colour
  bool large;    // Q(10) first: when it is 0, 225 stars at speed 1000 and no speed draw
};

struct BurstRow {
  SourceColour source;
  float flashSize;
  CreatorCall calls[2];
};

constexpr CreatorCall PlainSphere = {Creator::Sphere, 175, 400.0f, 500.0f, false, true};
constexpr CreatorCall SlowSphere = {Creator::Sphere, 90, 200.0f, 250.0f, true, false};
constexpr CreatorCall WideSphere = {Creator::Sphere, 150, 500.0f, 550.0f, true, false};
using enum Creator;
using enum SourceColour;

// One row per shell burst kind, by number.
constexpr BurstRow ShellBursts[BurstKindCount] = {
    /* Sphere             */ {Hue, 100.0f, {PlainSphere}},
    /* TwoTone            */ {Hue, 100.0f, {{TwoTone, 175, 400.0f, 500.0f, false, true}}},
    /* TriColour          */ {White, 100.0f, {{TriColour, 175, 400.0f, 500.0f, false, true}}},
    /* Ring               */ {Hue, 100.0f, {{Ring, 70, 400.0f, 500.0f, false, false}}},
    /* SphereInSphere     */
    {Hue, 100.0f, {SlowSphere, {Sphere, 150, 500.0f, 600.0f, false, false}}},
    /* RingAndSphere      */
    {Hue,
     100.0f,
     {{Ring, 70, 500.0f, 600.0f, true, false}, {Sphere, 150, 200.0f, 250.0f, false, false}}},
    /* Embers             */ {Hue, 100.0f, {{Embers, 40, 400.0f, 500.0f, false, false}}},
    /* TrailStars         */ {Hue, 100.0f, {{TrailStars, 40, 400.0f, 500.0f, false, false}}},
    /* EmbersAndSphere    */
    {Hue, 100.0f, {{Embers, 25, 500.0f, 600.0f, false, false}, SlowSphere}},
    /* TrailStarsAndSphere */
    {Hue, 100.0f, {{TrailStars, 25, 500.0f, 600.0f, false, false}, SlowSphere}},
    /* EmbersAndWideSphere */
    {Hue, 100.0f, {{Embers, 20, 450.0f, 550.0f, false, false}, WideSphere}},
    /* TrailStarsAndWideSphere */
    {Hue, 100.0f, {{TrailStars, 20, 450.0f, 550.0f, false, false}, WideSphere}},
    /* SubShellSpheres    */ {Hue, 100.0f, {{SubShells, 8, 300.0f, 400.0f, false, false}}},
    /* SubShellEmbers     */ {Hue, 100.0f, {{SubShells, 8, 300.0f, 400.0f, false, false}}},
    /* SubShellTrailStars */ {Hue, 100.0f, {{SubShells, 8, 300.0f, 400.0f, false, false}}},
    /* Crackle            */ {Kept, 100.0f, {{Crackle, 250, 150.0f, 200.0f, false, false}}},
    /* Bees               */ {Hue, 100.0f, {{Bees, 30, 10.0f, 10.0f, false, false}}},
    /* Salute             */ {White, 150.0f, {}},
    /* Pinwheel           */ {Kept, 100.0f, {}},
    /* GatherFinale       */ {White, 100.0f, {{Gather, 0, 0.0f, 0.0f, false, false}}},
    /* SwirlFinale        */ {White, 100.0f, {{Swirl, 0, 0.0f, 0.0f, false, false}}},
    /* FlashOnly          */ {Kept, 100.0f, {}},
};

// The small bursts of sub-shells, in the order of SmallBurst; they keep the sub-shell's colour.
constexpr BurstRow SmallBursts[] = {
    {Kept, 100.0f, {{Sphere, 30, 100.0f, 100.0f, false, false}}},
    {Kept, 100.0f, {{Embers, 10, 100.0f, 100.0f, false, false}}},
    {Kept, 100.0f, {{TrailStars, 10, 100.0f, 100.0f, false, false}}},
};
constexpr BurstRow UnknownBurst = {Kept, 100.0f, {}};  // the plain flash

const BurstRow& RowOf(unsigned kind) {
  if (kind < BurstKindCount) return ShellBursts[kind];
  if (kind >= SmallSphere && kind <= SmallTrailStars) return SmallBursts[kind - SmallSphere];
  return UnknownBurst;
}

void Create(Particle& s, Creator creator, int count, float speed, const Vec3& colour) {
  switch (creator) {
    case Sphere:
      SphereBurst(s, count, speed, colour);
      break;
    case TwoTone:
      TwoToneBurst(s, count, speed, colour);
      break;
    case TriColour:
      TriColourBurst(s, count, speed);
      break;
    case Ring:
      RingBurst(s, count, speed, colour);
      break;
    case Embers:
      EmberBurst(s, count, speed, colour);
      break;
    case TrailStars:
      TrailStarBurst(s, count, speed, colour);
      break;
    case SubShells:
      SubShellBurst(s, SubShellsOf(s.burstKind), count, speed, colour);
      break;
    case Crackle:
      CrackleBurst(s, count, speed);
      break;
    case Bees:
      BeeBurst(s, count, speed, colour);
      break;
    case Gather:
      GatherFinale(s);
      break;
    case Swirl:
      SwirlFinale(s);
      break;
    case None:
      break;
  }
}

}  // namespace

void Burst(Particle& s) {
  s.kind = Flash;
  s.spriteList = GlowSprite;
  s.lifeLeft = 0.5f;
  s.lifeTotal = 0.5f;
  s.drag = 0.612f;
  s.alpha = 1.0f;
  s.lifeFrac = 1.0f;
  s.emitsTrail = 0;

  // The finales need the sky to themselves: lower down they make a plain sphere.
  if ((s.burstKind == BurstGatherFinale || s.burstKind == BurstSwirlFinale) && s.pos.y < 1000.0f) {
    s.burstKind = BurstSphere;
  }

  // Every value is drawn where the burst's row uses it, in the order the row is written: the
  // source colour, then each creator's arguments left to right just before that creator runs.
  // The flash keeps the source colour, so it lights the smoke in that colour.
  const BurstRow& row = RowOf(s.burstKind);
  s.size = row.flashSize;
  if (row.source == Hue) s.colour = RandomHue();
  if (row.source == White) s.colour = Vec3(1.0f, 1.0f, 1.0f);
  int stars = 0;
  for (const CreatorCall& c : row.calls) {
    if (c.creator == None) break;
    int count = c.count;
    float speed = c.lo;
    if (c.large && Q(10) == 0) {
      count = 225;
      speed = 1000.0f;
    } else if (c.lo != c.hi) {
      speed = U(c.lo, c.hi);
    }
    const Vec3 colour = c.ownHue ? RandomHue() : s.colour;
    Create(s, c.creator, count, speed, colour);
    stars += count;
  }
  PushSoundEvent(SoundEventKind::Burst, s.pos, s.burstKind, stars);
}

}  // namespace varenko

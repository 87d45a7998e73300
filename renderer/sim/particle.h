// The one record of every simulated object (shell, fountain, star, spark, smoke puff, flash,
// sub-shell, finale object) and its kind.
#pragma once

#include "renderer/sim/vecmath.h"

namespace varenko {

enum ParticleKind : unsigned {
  Shell = 0,      // rising shell under thrust, then coasting; bursts at the end of its life
  Fountain = 1,   // stationary ground fountain spraying sparks
  Pinwheel = 2,   // spinning emitter in the sky throwing sparks around a rotating axis
  Smoke = 3,      // smoke puff, alpha-blended, not subject to gravity
  Flash = 4,      // burst flash; brightens smoke nearby
  Star = 5,       // plain burst star or spark
  EmberStar = 6,  // star shedding warm sparks
  TrailStar = 7,  // star shedding sparks of its own colour
  SubShell = 8,   // invisible carrier that turns into a small burst or a spark
  Bee = 9,        // wobbling, self-propelled star with a short sparkle trail
  Gather = 10,    // shrinking ring pulling particles in; becomes a Blast
  Blast = 11,     // expanding shock dome pushing particles away
  Swirl = 12,     // growing glow pulling particles in sideways; becomes a RingWave
  RingWave = 13,  // fast-expanding bright ring
};

// Sort keys with a meaning of their own.
inline constexpr float FreeKey = -1000000.0f;  // the record is free
inline constexpr float NewKey = 10000.0f;      // handed out this frame, not yet keyed

struct Particle {
  unsigned kind;        // ParticleKind: selects the update rules and the drawing
  unsigned spriteList;  // display list drawn for the particle (see sprite_lists.h)
  Vec3 pos;             // world position; y up, ground at y = 0
  Vec3 prevPos;         // position before the last movement: start of the path trails follow
  Vec3 vel;             // units per second
  Vec3 colour;          // red, green, blue in 0..1
  float drag;           // drag coefficient per second
  float lifeTotal;      // full lifetime, seconds
  float lifeLeft;       // seconds left
  float alpha;          // opacity when drawn
  float lifeFrac;       // remaining-life measure; <= 0 means the life is over
  float size;           // edge of the drawn sprite, world units
  float aux[4];         // kind-specific motion parameters (shell thrust, pinwheel angle, ...)
  Vec3 heading;         // kind-specific direction or angles
  unsigned emitsTrail;  // 1: lays smoke puffs along its path
  int trailIndex;       // next entry of SmokeLifeTable, 0..7
  float trailCarry;     // path length carried between frames for smoke puffs
  float emitCarry;      // path length or fraction carried between frames for own sparks
  unsigned burstKind;   // shell: which burst it makes; sub-shell: what it turns into
  float depthKey;       // depth in front of the camera; NewKey on allocation; FreeKey once freed
};

}  // namespace varenko

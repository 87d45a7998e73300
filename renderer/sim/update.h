// Moving and ageing of every particle by kind, the end of a particle's life, the per-frame smoke
// refresh, and the kind initialisers that give a fresh record its identity.
#pragma once

#include "renderer/sim/particle.h"

namespace varenko {

// One simulation step of length dt (steering, propulsion, gravity, drag, movement with wind,
// ageing, life measure), then the emitters, lighting and force fields (RunEmitters).
void UpdateParticle(Particle& p);
// Called after the update when lifeFrac <= 0 or pos.y < 0: bursts shells and sub-shells, turns
// finale stages into their second stage, frees every other kind.
void EndOfLife(Particle& p);
// Every live Smoke particle gets the smoke grey again (discarding last frame's light).
void RefreshSmoke();
// The kind initialisers, one row each of a table: each sets only the fields it owns (sprite, drag,
// size, lifetime and what its kind needs); callers set position, velocity, colour and a
// sub-shell's variant.
enum class InitKind : unsigned { Star, EmberStar, TrailStar, SubShell, Crackle, Bee };
void InitParticle(Particle& p, InitKind which);
void InitSmoke(Particle& p, const Vec3& position, const Vec3& velocity);

}  // namespace varenko

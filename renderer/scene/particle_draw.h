// Drawing of the live particles, back to front, as camera-facing sprites, and the blast's shock
// ring.
#pragma once

#include "renderer/sim/particle.h"

namespace varenko {

// Draws one particle with its blend function: smoke alpha-blended, everything else additive,
// glowing kinds with a white core, a flash shrinking as it fades, a blast as a flat shock ring.
// Skips finished particles, particles behind the camera (except a blast) and sub-shells. Leaves
// the model-view matrix as it found it.
void DrawParticle(const Particle& p);

// Draws RingMesh in the current coordinate system: `life` is the blast's lifeFrac (colours and
// opacity), `scroll` slides the cloud texture across the rings.
void DrawShockRing(float life, float scroll);

// Enables blending and draws every live particle in pool order: batched from vertex arrays
// (particle_batch.h), or one DrawParticle call each when referenceParticleDraw is set.
void DrawParticles();

// When set, DrawParticles draws every sprite on its own with DrawParticle, the reference that
// the batched pass is compared against. Off by default.
extern bool referenceParticleDraw;

}  // namespace varenko

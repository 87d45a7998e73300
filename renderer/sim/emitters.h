// What a particle leaves behind and does to others at the end of its update: smoke trails,
// sparks, the light of shells, fountains and flashes on smoke and clouds, and the finale force
// fields.
#pragma once

#include "renderer/sim/particle.h"

namespace varenko {

// Step 8 of UpdateParticle, for the particle just moved and aged.
void RunEmitters(Particle& p);

}  // namespace varenko

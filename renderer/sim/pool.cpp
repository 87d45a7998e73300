// Placeholder until the particle pool lands.
#include "renderer/sim/pool.h"

namespace varenko {

ParticlePool pool = {{&pool.sentinel, &pool.sentinel, {}}, &pool.sentinel, 0};

int LiveParticleCount() { return 0; }
void ClearPool() {}

}  // namespace varenko

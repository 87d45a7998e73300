// Placeholder until the emitters land.
#include "renderer/sim/emitters.h"

namespace varenko {

void RunEmitters(Particle&) {}

}  // namespace varenko

// Placeholder until particle drawing lands.
#include "renderer/scene/particle_draw.h"

namespace varenko {

void DrawParticles() {}

}  // namespace varenko

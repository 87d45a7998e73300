// Placeholder until the lens flare lands.
#include "renderer/scene/flare.h"

namespace varenko {

void DrawLensFlare() {}

}  // namespace varenko

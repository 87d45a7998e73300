// Placeholder until the sky lands.
#include "renderer/scene/sky.h"

namespace varenko {

void BuildSky() {}
void UpdateClouds() {}
void DrawScenery() {}

}  // namespace varenko

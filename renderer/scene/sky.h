// The night sky: star dome, cloud ceiling and horizon band; their building, the per-frame cloud
// update and the scenery draw.
#pragma once

namespace varenko {

void BuildSky();
void UpdateClouds();
void DrawScenery();

}  // namespace varenko

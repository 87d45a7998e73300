// The night sky: star dome, cloud ceiling and horizon band; their building, the per-frame cloud
// update and the scenery draw.
#pragma once

namespace varenko {

// Texture and display-list names; 0 where the settings left the resource out.
extern unsigned CloudTexture;    // always built: the shock ring and the horizon use it too
extern unsigned StarTexture;     // starDensity != 0
extern unsigned HorizonTexture;  // horizonPresent
extern unsigned StarDome;        // list; starDensity != 0
extern unsigned HorizonBand;     // list; horizonPresent

extern bool horizonPresent;  // drawn at start-up: three runs in four have a horizon band
extern float cloudScroll;    // cloud texture offset along s, 0..1, moved by the wind

// Builds the cloud texture, the star texture, the horizon texture, the star dome, the cloud grid
// and the horizon band, in that order, as starDensity, cloudy and ambientLevel ask.
void BuildSky();
// Every frame before the simulation: scrolls the clouds with the wind and clears last frame's
// burst light from their colours. Does nothing when cloudy == 0.
void UpdateClouds();
// Every frame after the simulation: star dome, cloud ceiling, horizon band.
void DrawScenery();

}  // namespace varenko

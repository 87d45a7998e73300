// The night sky: star dome, cloud ceiling and horizon band; their building, the per-frame cloud
// update and the scenery draw.
#pragma once

namespace varenko {

// The sky of the run: texture and display-list names (0 where the settings left the resource out),
// the horizon's presence and the clouds' drift.
struct Sky {
  unsigned cloudTexture;    // always built: the shock ring and the horizon use it too
  unsigned starTexture;     // starDensity != 0
  unsigned horizonTexture;  // horizonPresent
  unsigned starDome;        // list; starDensity != 0
  unsigned horizonBand;     // list; horizonPresent
  bool horizonPresent;      // drawn at start-up: three runs in four have a horizon band
  float cloudScroll;        // cloud texture offset along s, 0..1, moved by the wind
};

extern Sky sky;

// Nothing built, no horizon, the clouds at their start.
void ResetSky();

// Builds the cloud texture, the star texture, the horizon texture, the star dome, the cloud grid
// and the horizon band, in that order, as starDensity, cloudy and ambientLevel ask.
void BuildSky();
// Every frame before the simulation: scrolls the clouds with the wind and clears last frame's
// burst light from their colours. Does nothing when cloudy == 0.
void UpdateClouds();
// Every frame after the simulation: star dome, cloud ceiling, horizon band.
void DrawScenery();

// Set: DrawScenery draws the sky the plain way, blending two mipmap levels for every pixel and
// sending the clouds vertex by vertex (slower on a software renderer; kept to compare pictures and
// timings with).
extern bool referenceSkyDraw;

}  // namespace varenko

// The sky's generated data, computed apart from its upload and drawing: the star field, the
// horizon glow with its skyline, the star-dome vertices, the cloud-grid positions and shades, and
// the cloud scroll. Random draws come from the one generator, in the order the sky is built.
#pragma once

#include <cstdint>
#include <vector>

namespace varenko {

inline constexpr int SkyImageSize = 512;
inline constexpr int SkylineLength = SkyImageSize + 1;

// Stars scattered for a density: 20 per unit, none for zero or negative densities, and at most
// MaxStarDraws. The 512 x 512 texture is saturated long before the cap (a million stars over a
// quarter of a million texels), so the cap changes the look of no sensible setting while keeping
// start-up short whatever the stored value.
inline constexpr std::int64_t MaxStarDraws = std::int64_t{SkyImageSize} * SkyImageSize * 4;
std::int64_t StarCount(int starDensity);

// 512 x 512 RGB star field (texel (row r, column c) at (r * 512 + c) * 3), scattering
// StarCount(starDensity) stars.
std::vector<unsigned char> StarFieldTexels(int starDensity);

// Fills skyline[0..512]: both ends Q(10) + 5, the rest by midpoint displacement, never below 1.
void MakeSkyline(int (&skyline)[SkylineLength]);

// The horizon glow: draws whether this run has a horizon band (three runs in four). When it has,
// `texels` becomes the 512 x 512 RGB glow, mottled from `cloudImage` (512 x 512 luminance/alpha
// pairs) on two runs in three, with the dark skyline silhouette along the low-s end of every row,
// and `skyline` holds the heights used. When it has not, neither is touched.
bool MakeHorizon(const unsigned char* cloudImage, std::vector<unsigned char>& texels,
                 int (&skyline)[SkylineLength]);

// Star-dome vertex: position, texture coordinate and the grey that fades the stars at the horizon.
struct DomeVertex {
  float x, y, z;
  float s, t;
  float brightness;
};
inline constexpr int DomeRings = 6;
inline constexpr int DomeColumns = 13;
void MakeStarDome(DomeVertex (&dome)[DomeRings][DomeColumns]);

// Positions, texture coordinates and shades of CloudGrid for an ambient level; the colours are
// left to the cloud update.
void BuildCloudGrid(int ambientLevel);

// The cloud texture offset after one frame: advances with the wind and stays within [0, 1].
float AdvanceCloudScroll(float scroll, int windSpeed, float dt);

// Resets every CloudGrid colour to its shade and slides its s coordinate by `scroll`.
void ResetCloudGrid(float scroll);

}  // namespace varenko

// The sprite atlases: the four formula sprites in one texture and the five smoke puffs in another,
// each sub-image inside a gutter, so that the batched particle pass can draw any mix of sprites
// of one blend function with a single texture bound.
#pragma once

#include <vector>

namespace varenko {

// Where the sub-images of one atlas lie. Sub-image i occupies cellSize x cellSize texels starting
// at AtlasCellOrigin; a ring of AtlasGutter texels around it belongs to it alone.
struct AtlasLayout {
  int cellSize;       // texels along each side of one sub-image
  int cellCount;      // number of sub-images
  int columns;        // sub-images per atlas row
  int width;          // atlas width in texels, a power of two as OpenGL 1.1 requires
  int height;         // atlas height in texels, a power of two
  int bytesPerTexel;  // 4 for RGBA, 2 for luminance + alpha
};

// Linear filtering reads at most one texel beyond the edge of a sub-image, and neither atlas uses
// mipmaps, so one texel of gutter keeps every sub-image's samples its own.
inline constexpr int AtlasGutter = 1;

inline constexpr int FormulaSpriteCells = 4;  // glow, disc, ring, sparkle, in list order
inline constexpr int SmokeSpriteCells = 5;    // the five smoke puffs

extern const AtlasLayout FormulaAtlasLayout;  // glow, disc, ring, sparkle: 128 x 128 RGBA each
extern const AtlasLayout SmokeAtlasLayout;    // five smoke puffs: 64 x 64 luminance + alpha each

// Column and row of the first texel of sub-image i (gutter excluded).
struct AtlasOrigin {
  int x;
  int y;
};
AtlasOrigin AtlasCellOrigin(const AtlasLayout& layout, int i);

// Texture coordinates of sub-image i's outer edges, the counterpart of a sprite's (0, 0)..(1, 1).
struct AtlasRect {
  float s0;
  float t0;
  float s1;
  float t1;
};
AtlasRect AtlasCellRect(const AtlasLayout& layout, int i);

// Packs `images` (layout.cellCount pictures of cellSize x cellSize texels, row by row) into an
// atlas. Each gutter texel repeats the opposite edge of its sub-image: exactly what the default
// repeat wrap feeds the filter beside the edge of a texture of its own, so sampling a sub-image
// gives the same values as sampling its own texture. Texels outside every cell and gutter are 0.
std::vector<unsigned char> PackAtlas(const AtlasLayout& layout,
                                     const std::vector<std::vector<unsigned char>>& images);

// The atlases' texels: the formula sprites in list order, the smoke sprites in image order.
std::vector<unsigned char> FormulaAtlasTexels();
std::vector<unsigned char> SmokeAtlasTexels();

// Texture names of the uploaded atlases; 0 until built.
extern unsigned FormulaAtlasTexture;
extern unsigned SmokeAtlasTexture;

// Upload the atlases with the filters of the textures they stand in for.
void BuildFormulaAtlas();
void BuildSmokeAtlas();

}  // namespace varenko

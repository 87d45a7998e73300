// Texels of the sprite textures, computed apart from their upload so they can be checked byte by
// byte: the four formula sprites (glow, disc, ring, sparkle) and the smoke sprites.
#pragma once

#include <vector>

namespace varenko {

inline constexpr int FormulaSpriteSize = 128;
inline constexpr int FormulaSpriteCount = 4;

// Order of the formula sprites: their textures and their display lists follow it.
enum FormulaSprite : int { GlowIndex = 0, DiscIndex = 1, RingIndex = 2, SparkleIndex = 3 };

// 128 x 128 RGBA texels of formula sprite `sprite`, texel (row r, column c) at (r * 128 + c) * 4.
// An index outside 0..3 gives all-zero texels.
std::vector<unsigned char> FormulaSpriteTexels(int sprite);

// 64 x 64 (luminance, alpha) texels of a smoke sprite from its 64 x 64 alpha image: luminance is
// always 255, so the colour comes from glColor alone.
std::vector<unsigned char> SmokeSpriteTexels(const unsigned char* alphaImage);

}  // namespace varenko

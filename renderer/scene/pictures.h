// The pictures linked into the renderer: five smoke puffs (64 x 64 alpha) and the tileable cloud
// field (512 x 512 luminance + alpha), checked against their file headers before use.
#pragma once

#include <cstddef>

namespace varenko {

inline constexpr int SmokeImageCount = 5;
inline constexpr int SmokeImageSize = 64;
inline constexpr int CloudImageSize = 512;

// 64 * 64 alpha bytes, row by row, of smoke image k (0..4). A damaged or missing picture reads as
// fully transparent rather than as stray bytes; k outside 0..4 gives that empty image too.
const unsigned char* SmokeImage(int k);

// 512 * 512 (luminance, alpha) pairs, row by row; an empty (all zero) field when damaged.
const unsigned char* CloudImage();

// The pixel bytes of an embedded picture file [begin, end) when it starts with exactly `header`
// and holds exactly `pixelBytes` after it; nullptr otherwise.
const unsigned char* PicturePixels(const unsigned char* begin, const unsigned char* end,
                                   const char* header, std::size_t pixelBytes);

}  // namespace varenko

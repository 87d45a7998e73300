// Pixel-format scoring shared by the hosts that choose among driver formats.
#include "renderer/host/pixel_format.h"

namespace varenko {

int ScorePixelFormat(const PixelFormatRecord& f) {
  constexpr std::uint32_t required = PfdSupportOpenGL | PfdDrawToWindow | PfdDoubleBuffer;
  if ((f.dwFlags & required) != required || f.iPixelType != PfdTypeRgba) return 0;
  const int colour = f.cColorBits;
  int score = colour + 2 * f.cDepthBits;
  if (colour > 16) score += (16 - colour) / 2;  // truncates toward zero
  if ((f.dwFlags & PfdGenericFormat) == 0)
    score += 2000;
  else if ((f.dwFlags & PfdGenericAccelerated) != 0)
    score += 1000;
  return score;
}

int BestPixelFormat(const std::function<bool(int, PixelFormatRecord&)>& describe, int maxFormats) {
  int best = 0;
  int bestScore = 0;
  for (int index = 1; index <= maxFormats; ++index) {
    PixelFormatRecord f{};
    if (!describe(index, f)) break;
    const int score = ScorePixelFormat(f);
    if (score > bestScore) {  // strictly greater: among equals the first one stays
      bestScore = score;
      best = index;
    }
  }
  return best;
}

}  // namespace varenko

// Texels of the four formula sprites and the smoke sprites.
#include "renderer/scene/sprite_texels.h"

#include <algorithm>
#include <cmath>

#include "renderer/scene/pictures.h"

namespace varenko {

namespace {

float Clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }

// A value in [0, 1] as a byte, truncated toward zero.
unsigned char ToByte(float x) { return static_cast<unsigned char>(Clamp01(x) * 255.0f); }

}  // namespace

std::vector<unsigned char> FormulaSpriteTexels(int sprite) {
  constexpr int n = FormulaSpriteSize;
  std::vector<unsigned char> texels(static_cast<std::size_t>(n) * n * 4, 0);
  if (sprite < 0 || sprite >= FormulaSpriteCount) return texels;
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) {
      const float u = static_cast<float>(r - 64) / 64.0f;
      const float v = static_cast<float>(c - 64) / 64.0f;
      const float q = u * u + v * v;
      unsigned char blue = 255;
      float alpha = 0.0f;
      switch (sprite) {
        case GlowIndex: {
          const float d = Clamp01(1.0f - q);
          alpha = d * d;
          break;
        }
        case DiscIndex:
          alpha = 2.5f * (1.0f - q);
          break;
        case RingIndex: {
          const float d = Clamp01(4.0f * q * (1.0f - q));
          alpha = d * d * d * d;
          break;
        }
        case SparkleIndex: {
          const float a = std::fabs(u);
          const float b = std::fabs(v);
          const float m = std::max(a, b);
          const float p = a * b;
          blue = ToByte(0.14f * (1.0f - m) / std::max(p, 0.05f));
          alpha = 0.1f * (1.0f - m) / std::max(p, 0.1f);
          break;
        }
      }
      unsigned char* t = &texels[(static_cast<std::size_t>(r) * n + c) * 4];
      t[0] = 255;
      t[1] = 255;
      t[2] = blue;
      t[3] = ToByte(alpha);
    }
  }
  return texels;
}

std::vector<unsigned char> SmokeSpriteTexels(const unsigned char* alphaImage) {
  constexpr int count = SmokeImageSize * SmokeImageSize;
  std::vector<unsigned char> texels(static_cast<std::size_t>(count) * 2, 0);
  for (int i = 0; i < count; ++i) {
    texels[2 * i] = 255;
    texels[2 * i + 1] = alphaImage != nullptr ? alphaImage[i] : 0;
  }
  return texels;
}

}  // namespace varenko

// Sprite texels byte for byte, the embedded smoke and cloud pictures, and the ring mesh.
#include "renderer/scene/sprites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "renderer/scene/pictures.h"
#include "renderer/scene/sprite_texels.h"

namespace varenko {
namespace {

struct Texel {
  int r, g, b, a;
};
Texel At(const std::vector<unsigned char>& texels, int row, int column) {
  const unsigned char* t = &texels[(row * FormulaSpriteSize + column) * 4];
  return {t[0], t[1], t[2], t[3]};
}

TEST(FormulaSprites, GlowFadesSmoothlyFromAnOpaqueCentre) {
  const auto glow = FormulaSpriteTexels(GlowIndex);
  ASSERT_EQ(glow.size(), 128u * 128u * 4u);
  EXPECT_EQ(At(glow, 64, 64).a, 255);
  EXPECT_EQ(At(glow, 64, 0).a, 0);
  EXPECT_EQ(At(glow, 0, 64).a, 0);
  EXPECT_EQ(At(glow, 0, 0).a, 0) << "q = 2 clamps to 0, not (1 - 2)^2 = 1";
  EXPECT_EQ(At(glow, 64, 96).a, 143) << "q = 0.25: 0.75^2 * 255 = 143.4";
  EXPECT_EQ(At(glow, 96, 64).a, 143) << "rows and columns enter alike";
  for (int i = 0; i < 128 * 128; ++i) {
    ASSERT_EQ(glow[4 * i], 255);
    ASSERT_EQ(glow[4 * i + 1], 255);
    ASSERT_EQ(glow[4 * i + 2], 255);
  }
}

TEST(FormulaSprites, DiscIsOpaqueInsideAndFadesOverItsRim) {
  const auto disc = FormulaSpriteTexels(DiscIndex);
  for (int r = 0; r < 128; ++r) {
    for (int c = 0; c < 128; ++c) {
      const int q4096 = (r - 64) * (r - 64) + (c - 64) * (c - 64);  // q * 4096
      if (q4096 * 10 <= 6 * 4096) {
        ASSERT_EQ(At(disc, r, c).a, 255) << r << "," << c;
      }
      if (q4096 >= 4096) {
        ASSERT_EQ(At(disc, r, c).a, 0) << r << "," << c;
      }
    }
  }
  EXPECT_EQ(At(disc, 64, 120).a, 149) << "q = 0.765625: 2.5 * 0.234375 * 255 = 149.4";
}

TEST(FormulaSprites, RingIsBrightOnlyAroundHalfTheRadiusSquared) {
  const auto ring = FormulaSpriteTexels(RingIndex);
  EXPECT_EQ(At(ring, 96, 96).a, 255) << "q = 0.5";
  EXPECT_EQ(At(ring, 32, 32).a, 255) << "q = 0.5 on the other side";
  EXPECT_EQ(At(ring, 64, 64).a, 0);
  EXPECT_EQ(At(ring, 64, 96).a, 80) << "q = 0.25: 0.75^4 * 255 = 80.7";
  EXPECT_EQ(At(ring, 0, 0).a, 0) << "outside the circle clamps to 0";
}

TEST(FormulaSprites, SparkleIsAFourPointedStarWhiteOnItsAxes) {
  const auto sparkle = FormulaSpriteTexels(SparkleIndex);
  const Texel centre = At(sparkle, 64, 64);
  EXPECT_EQ(centre.b, 255);
  EXPECT_EQ(centre.a, 255);
  const Texel onAxis = At(sparkle, 64, 96);  // p = 0, m = 0.5
  EXPECT_EQ(onAxis.b, 255);
  EXPECT_EQ(onAxis.a, 127);
  const Texel diagonal = At(sparkle, 96, 96);  // p = 0.25, m = 0.5
  EXPECT_EQ(diagonal.r, 255);
  EXPECT_EQ(diagonal.g, 255);
  EXPECT_EQ(diagonal.b, 71) << "yellow away from the axes";
  EXPECT_EQ(diagonal.a, 51);
  EXPECT_EQ(At(sparkle, 0, 0).a, 0) << "m = 1 at the corner";
}

TEST(SmokeSprites, TexelsAreWhiteWithThePictureAsAlpha) {
  for (int k = 0; k < SmokeImageCount; ++k) {
    const unsigned char* image = SmokeImage(k);
    const auto texels = SmokeSpriteTexels(image);
    ASSERT_EQ(texels.size(), 64u * 64u * 2u);
    for (int i = 0; i < 64 * 64; ++i) {
      ASSERT_EQ(texels[2 * i], 255);
      ASSERT_EQ(texels[2 * i + 1], image[i]);
    }
  }
}

TEST(Pictures, SmokePuffsAreSoftIrregularAndDifferent) {
  std::vector<std::vector<bool>> masks;
  for (int k = 0; k < SmokeImageCount; ++k) {
    const unsigned char* a = SmokeImage(k);
    int peak = 0;
    int jump = 0;
    std::vector<bool> mask(64 * 64);
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        const int v = a[y * 64 + x];
        if (x == 0 || y == 0 || x == 63 || y == 63) {
          ASSERT_EQ(v, 0) << "border " << k;
        }
        peak = std::max(peak, v);
        if (x > 0) jump = std::max(jump, std::abs(v - a[y * 64 + x - 1]));
        if (y > 0) jump = std::max(jump, std::abs(v - a[(y - 1) * 64 + x]));
        mask[y * 64 + x] = v > 64;
      }
    }
    EXPECT_GE(peak, 200) << "puff " << k << " is dense inside";
    EXPECT_LE(jump, 64) << "puff " << k << " has soft edges, no cut-out rim";
    masks.push_back(mask);
  }
  for (int i = 0; i < SmokeImageCount; ++i) {
    for (int j = i + 1; j < SmokeImageCount; ++j) {
      int differing = 0;
      for (int t = 0; t < 64 * 64; ++t) differing += masks[i][t] != masks[j][t] ? 1 : 0;
      EXPECT_GT(differing, 200) << "puffs " << i << " and " << j << " differ in shape";
    }
  }
}

TEST(Pictures, CloudFieldIsBrightSoftAndTilesWithoutSeams) {
  const unsigned char* clouds = CloudImage();
  auto lum = [&](int y, int x) { return int{clouds[((y & 511) * 512 + (x & 511)) * 2]}; };
  auto alpha = [&](int y, int x) { return int{clouds[((y & 511) * 512 + (x & 511)) * 2 + 1]}; };
  int lowLum = 255, clear = 0, opaque = 0;
  double inner = 0.0, seam = 0.0;
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      lowLum = std::min(lowLum, lum(y, x));
      clear += alpha(y, x) == 0 ? 1 : 0;
      opaque += alpha(y, x) == 255 ? 1 : 0;
    }
    // Neighbours across the wrap must differ no more than neighbours elsewhere.
    seam += std::abs(alpha(y, 511) - alpha(y, 0)) + std::abs(alpha(511, y) - alpha(0, y));
    inner += std::abs(alpha(y, 255) - alpha(y, 256)) + std::abs(alpha(255, y) - alpha(256, y));
  }
  EXPECT_GE(lowLum, 150);
  EXPECT_LE(lowLum, 170) << "luminance spans about 156 to 255";
  EXPECT_GT(clear, 512 * 512 / 20) << "gaps between the clouds";
  EXPECT_GT(opaque, 512 * 512 / 50) << "thick cloud";
  EXPECT_LE(seam, inner * 1.5 + 512.0);
}

TEST(Pictures, DamagedPictureIsRejected) {
  const unsigned char good[] = {'P', '5', '\n', 1, 2};
  EXPECT_EQ(PicturePixels(good, good + 5, "P5\n", 2), good + 3);
  EXPECT_EQ(PicturePixels(good, good + 4, "P5\n", 2), nullptr) << "short";
  EXPECT_EQ(PicturePixels(good, good + 5, "P6\n", 2), nullptr) << "wrong header";
  EXPECT_EQ(PicturePixels(good + 5, good, "P5\n", 2), nullptr) << "reversed bounds";
  EXPECT_NE(SmokeImage(7), nullptr) << "out-of-range index gives the empty picture";
  EXPECT_EQ(SmokeImage(7)[0], 0);
}

TEST(RingMeshTest, SevenRingsFormAClosedBulgingAnnulus) {
  BuildRingMesh();
  const float radius[7] = {1.0f, 0.985f, 0.95f, 0.85f, 0.75f, 0.65f, 0.5f};
  const float height[7] = {0.0f, 0.035f, 0.05f, 0.05f, 0.035f, 0.01f, 0.0f};
  for (int k = 0; k < RingMeshRings; ++k) {
    EXPECT_FLOAT_EQ(RingMesh[k][0][0], radius[k]);
    EXPECT_FLOAT_EQ(RingMesh[k][0][2], 0.0f);
    EXPECT_NEAR(RingMesh[k][10][0], 0.0f, 1e-5f) << "a quarter turn at point 10";
    EXPECT_NEAR(RingMesh[k][10][2], radius[k], 1e-5f);
    EXPECT_NEAR(RingMesh[k][40][0], radius[k], 1e-5f) << "point 40 closes the ring";
    EXPECT_NEAR(RingMesh[k][40][2], 0.0f, 1e-5f);
    for (int j = 0; j < RingMeshPoints; ++j) {
      EXPECT_FLOAT_EQ(RingMesh[k][j][1], height[k]);
      EXPECT_NEAR(std::hypot(RingMesh[k][j][0], RingMesh[k][j][2]), radius[k], 1e-5f);
    }
  }
}

}  // namespace
}  // namespace varenko

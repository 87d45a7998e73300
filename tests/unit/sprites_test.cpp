// Sprite texels byte for byte, the embedded smoke and cloud pictures, the ring mesh, and the
// sprite atlases with their sub-images and gutters.
#include "renderer/scene/sprites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <vector>

#include "renderer/scene/pictures.h"
#include "renderer/scene/sprite_atlas.h"
#include "renderer/scene/sprite_texels.h"

namespace varenko {
namespace {

// Every texel of the four formula sprites against the formulas of their table, computed here in
// single precision, and the sample points the table's notes name.
TEST(FormulaSprites, EveryTexelFollowsItsFormula) {
  auto clamp = [](float x) { return std::clamp(x, 0.0f, 1.0f); };
  auto byte = [&](float x) { return static_cast<int>(clamp(x) * 255.0f); };
  for (int sprite = 0; sprite < 4; ++sprite) {
    const auto texels = FormulaSpriteTexels(sprite);
    ASSERT_EQ(texels.size(), 128u * 128u * 4u);
    int wrong = 0;
    for (int r = 0; r < 128; ++r) {
      for (int c = 0; c < 128; ++c) {
        const float u = (r - 64) / 64.0f, v = (c - 64) / 64.0f, q = u * u + v * v;
        const float m = std::max(std::fabs(u), std::fabs(v)), p = std::fabs(u) * std::fabs(v);
        const float glow = clamp(1 - q), ring = clamp(4 * q * (1 - q));
        const float alpha[4] = {glow * glow, 2.5f * (1 - q), ring * ring * ring * ring,
                                0.1f * (1 - m) / std::max(p, 0.1f)};
        const int blue = sprite == 3 ? byte(0.14f * (1 - m) / std::max(p, 0.05f)) : 255;
        const unsigned char* t = &texels[(r * 128 + c) * 4];
        wrong += t[0] != 255 || t[1] != 255 || t[2] != blue || t[3] != byte(alpha[sprite]);
      }
    }
    EXPECT_EQ(wrong, 0) << "sprite " << sprite;
  }
  struct Sample {
    int sprite, r, c, b, a;
  } samples[] = {
      {GlowIndex, 64, 64, 255, 255},    {GlowIndex, 64, 0, 255, 0},
      {GlowIndex, 0, 0, 255, 0},        {GlowIndex, 96, 64, 255, 143},
      {DiscIndex, 64, 120, 255, 149},   {RingIndex, 96, 96, 255, 255},
      {RingIndex, 64, 64, 255, 0},      {RingIndex, 64, 96, 255, 80},
      {SparkleIndex, 64, 64, 255, 255}, {SparkleIndex, 64, 96, 255, 127},
      {SparkleIndex, 96, 96, 71, 51},   {SparkleIndex, 0, 0, 0, 0},
  };
  for (const Sample& x : samples) {
    const std::vector<unsigned char> texels = FormulaSpriteTexels(x.sprite);
    const unsigned char* t = &texels[(x.r * 128 + x.c) * 4];
    EXPECT_EQ(t[2], x.b) << x.sprite << " at " << x.r << "," << x.c;
    EXPECT_EQ(t[3], x.a) << x.sprite << " at " << x.r << "," << x.c;
  }
}

// Soft, irregular, distinct puffs, and their sprites white with the picture as alpha.
TEST(Pictures, SmokePuffsAreSoftIrregularAndDifferent) {
  std::vector<std::vector<bool>> masks;
  for (int k = 0; k < SmokeImageCount; ++k) {
    const unsigned char* a = SmokeImage(k);
    const auto texels = SmokeSpriteTexels(a);
    ASSERT_EQ(texels.size(), 64u * 64u * 2u);
    int peak = 0, jump = 0;
    std::vector<bool> mask(64 * 64);
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        const int v = a[y * 64 + x];
        ASSERT_EQ(texels[2 * (y * 64 + x)], 255);
        ASSERT_EQ(texels[2 * (y * 64 + x) + 1], v);
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
    for (int j = 0; j < RingMeshPoints; ++j) {  // 40 even steps: point 40 closes the ring
      const double a = j * std::numbers::pi / 20;
      EXPECT_FLOAT_EQ(RingMesh[k][j][1], height[k]);
      EXPECT_NEAR(RingMesh[k][j][0], radius[k] * std::cos(a), 1e-5) << k << "," << j;
      EXPECT_NEAR(RingMesh[k][j][2], radius[k] * std::sin(a), 1e-5) << k << "," << j;
    }
  }
}

const unsigned char* AtlasTexel(const std::vector<unsigned char>& atlas, const AtlasLayout& l,
                                int x, int y) {
  return &atlas[(static_cast<std::size_t>(y) * l.width + x) * l.bytesPerTexel];
}

// Checks one atlas against its images: cell bytes, wrapped gutters, zero elsewhere, and each
// cell's texture rectangle spanning exactly its sub-image (exact in float, the atlas's sides being
// powers of two).
void CheckAtlas(const AtlasLayout& l, const std::vector<unsigned char>& atlas) {
  ASSERT_EQ(atlas.size(), static_cast<std::size_t>(l.width) * l.height * l.bytesPerTexel);
  EXPECT_EQ(l.width & (l.width - 1), 0);
  EXPECT_EQ(l.height & (l.height - 1), 0);
  const int n = l.cellSize;
  std::vector<int> owner(static_cast<std::size_t>(l.width) * l.height, -1);
  for (int i = 0; i < l.cellCount; ++i) {
    const AtlasOrigin o = AtlasCellOrigin(l, i);
    ASSERT_GE(o.x - AtlasGutter, 0);
    ASSERT_GE(o.y - AtlasGutter, 0);
    ASSERT_LE(o.x + n + AtlasGutter, l.width);
    ASSERT_LE(o.y + n + AtlasGutter, l.height);
    const AtlasRect rect = AtlasCellRect(l, i);
    EXPECT_EQ(rect.s0 * l.width, o.x);
    EXPECT_EQ(rect.t0 * l.height, o.y);
    EXPECT_EQ(rect.s1 * l.width, o.x + n);
    EXPECT_EQ(rect.t1 * l.height, o.y + n);
    const auto image =
        &l == &FormulaAtlasLayout ? FormulaSpriteTexels(i) : SmokeSpriteTexels(SmokeImage(i));
    int mismatches = 0;
    for (int r = -AtlasGutter; r < n + AtlasGutter; ++r) {
      for (int c = -AtlasGutter; c < n + AtlasGutter; ++c) {
        int& who = owner[static_cast<std::size_t>(o.y + r) * l.width + o.x + c];
        EXPECT_EQ(who, -1) << "cell " << i << " overlaps cell " << who;
        who = i;
        const int sr = (r + n) % n, sc = (c + n) % n;
        const unsigned char* want =
            &image[(static_cast<std::size_t>(sr) * n + sc) * l.bytesPerTexel];
        mismatches +=
            std::memcmp(AtlasTexel(atlas, l, o.x + c, o.y + r), want, l.bytesPerTexel) != 0;
      }
    }
    EXPECT_EQ(mismatches, 0) << "cell " << i;
  }
  int strays = 0;
  for (int y = 0; y < l.height; ++y) {
    for (int x = 0; x < l.width; ++x) {
      if (owner[static_cast<std::size_t>(y) * l.width + x] != -1) continue;
      const unsigned char* t = AtlasTexel(atlas, l, x, y);
      for (int k = 0; k < l.bytesPerTexel; ++k) strays += t[k] != 0;
    }
  }
  EXPECT_EQ(strays, 0) << "bytes set outside every cell and gutter";
}

TEST(SpriteAtlas, EachAtlasHoldsEachSpriteInItsOwnGutter) {
  CheckAtlas(FormulaAtlasLayout, FormulaAtlasTexels());
  CheckAtlas(SmokeAtlasLayout, SmokeAtlasTexels());
}

// The glow and ring fade out before their edges and the smoke pictures are empty on their borders,
// so their gutters are transparent and nothing of a neighbour can be filtered in.
TEST(SpriteAtlas, GuttersOfSpritesWithEmptyEdgesAreTransparent) {
  const auto check = [](const AtlasLayout& l, const std::vector<unsigned char>& atlas, int i) {
    const AtlasOrigin o = AtlasCellOrigin(l, i);
    const int n = l.cellSize;
    int opaque = 0;
    for (int k = -1; k <= n; ++k) {
      const int ring[4][2] = {
          {o.x + k, o.y - 1}, {o.x + k, o.y + n}, {o.x - 1, o.y + k}, {o.x + n, o.y + k}};
      for (const auto& t : ring) opaque += AtlasTexel(atlas, l, t[0], t[1])[l.bytesPerTexel - 1];
    }
    EXPECT_EQ(opaque, 0) << "cell " << i;
  };
  const auto formula = FormulaAtlasTexels();
  for (int i : {GlowIndex, RingIndex}) check(FormulaAtlasLayout, formula, i);
  const auto smoke = SmokeAtlasTexels();
  for (int k = 0; k < SmokeImageCount; ++k) check(SmokeAtlasLayout, smoke, k);
}

TEST(SpriteAtlas, MissingOrWrongSizedPicturesStayTransparent) {
  std::vector<std::vector<unsigned char>> images = {std::vector<unsigned char>(7, 255)};
  const auto atlas = PackAtlas(SmokeAtlasLayout, images);
  for (unsigned char byte : atlas) ASSERT_EQ(byte, 0);
  // More pictures than cells: the cells take the first ones, the rest are left out.
  images.assign(7, std::vector<unsigned char>(64 * 64 * 2, 9));
  const auto full = PackAtlas(SmokeAtlasLayout, images);
  EXPECT_EQ(std::count(full.begin(), full.end(), 9), 5 * 66 * 66 * 2);
}

}  // namespace
}  // namespace varenko

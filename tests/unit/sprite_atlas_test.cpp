// The sprite atlases' texels: every sub-image holds its sprite's bytes, every gutter texel holds
// what the sprite's own texture would feed the filter beside that edge, and nothing else is set.
#include "renderer/scene/sprite_atlas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "renderer/scene/pictures.h"
#include "renderer/scene/sprite_texels.h"

namespace varenko {
namespace {

std::vector<std::vector<unsigned char>> Images(const AtlasLayout& layout) {
  std::vector<std::vector<unsigned char>> images;
  for (int i = 0; i < layout.cellCount; ++i) {
    images.push_back(&layout == &FormulaAtlasLayout ? FormulaSpriteTexels(i)
                                                    : SmokeSpriteTexels(SmokeImage(i)));
  }
  return images;
}

const unsigned char* AtlasTexel(const std::vector<unsigned char>& atlas, const AtlasLayout& l,
                                int x, int y) {
  return &atlas[(static_cast<std::size_t>(y) * l.width + x) * l.bytesPerTexel];
}

// Checks one atlas against its images: cell bytes, wrapped gutters, zero elsewhere.
void CheckAtlas(const AtlasLayout& l, const std::vector<unsigned char>& atlas) {
  ASSERT_EQ(atlas.size(), static_cast<std::size_t>(l.width) * l.height * l.bytesPerTexel);
  const auto images = Images(l);
  const int n = l.cellSize;
  std::vector<int> owner(static_cast<std::size_t>(l.width) * l.height, -1);
  for (int i = 0; i < l.cellCount; ++i) {
    const AtlasOrigin o = AtlasCellOrigin(l, i);
    ASSERT_GE(o.x - AtlasGutter, 0);
    ASSERT_GE(o.y - AtlasGutter, 0);
    ASSERT_LE(o.x + n + AtlasGutter, l.width);
    ASSERT_LE(o.y + n + AtlasGutter, l.height);
    int mismatches = 0;
    for (int r = -AtlasGutter; r < n + AtlasGutter; ++r) {
      for (int c = -AtlasGutter; c < n + AtlasGutter; ++c) {
        int& who = owner[static_cast<std::size_t>(o.y + r) * l.width + o.x + c];
        EXPECT_EQ(who, -1) << "cell " << i << " overlaps cell " << who;
        who = i;
        const int sr = (r + n) % n, sc = (c + n) % n;
        const unsigned char* want =
            &images[i][(static_cast<std::size_t>(sr) * n + sc) * l.bytesPerTexel];
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
  check(FormulaAtlasLayout, formula, GlowIndex);
  check(FormulaAtlasLayout, formula, RingIndex);
  const auto smoke = SmokeAtlasTexels();
  for (int k = 0; k < SmokeImageCount; ++k) check(SmokeAtlasLayout, smoke, k);
}

TEST(SpriteAtlas, CellRectSpansExactlyTheSubImage) {
  for (const AtlasLayout* l : {&FormulaAtlasLayout, &SmokeAtlasLayout}) {
    for (int i = 0; i < l->cellCount; ++i) {
      const AtlasOrigin o = AtlasCellOrigin(*l, i);
      const AtlasRect r = AtlasCellRect(*l, i);
      // The atlases are powers of two, so these texel edges are exact in float.
      EXPECT_EQ(r.s0 * l->width, o.x);
      EXPECT_EQ(r.t0 * l->height, o.y);
      EXPECT_EQ(r.s1 * l->width, o.x + l->cellSize);
      EXPECT_EQ(r.t1 * l->height, o.y + l->cellSize);
    }
    EXPECT_EQ(l->width & (l->width - 1), 0);
    EXPECT_EQ(l->height & (l->height - 1), 0);
  }
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

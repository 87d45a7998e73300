// The formula-sprite and smoke-puff atlases: texel layout, packing and upload.
#include "renderer/scene/sprite_atlas.h"

#include <cstddef>
#include <cstring>

#include "renderer/scene/gl_api.h"
#include "renderer/scene/pictures.h"
#include "renderer/scene/sprite_texels.h"

namespace varenko {

// Two by two cells of 130 texels (gutters included) fit 512 x 512; three by two cells of 66 fit
// 256 x 256.
const AtlasLayout FormulaAtlasLayout = {FormulaSpriteSize, FormulaSpriteCells, 2, 512, 512, 4};
const AtlasLayout SmokeAtlasLayout = {SmokeImageSize, SmokeSpriteCells, 3, 256, 256, 2};

unsigned FormulaAtlasTexture = 0;
unsigned SmokeAtlasTexture = 0;

AtlasOrigin AtlasCellOrigin(const AtlasLayout& layout, int i) {
  const int pitch = layout.cellSize + 2 * AtlasGutter;
  return {(i % layout.columns) * pitch + AtlasGutter, (i / layout.columns) * pitch + AtlasGutter};
}

AtlasRect AtlasCellRect(const AtlasLayout& layout, int i) {
  const AtlasOrigin o = AtlasCellOrigin(layout, i);
  const float w = static_cast<float>(layout.width);
  const float h = static_cast<float>(layout.height);
  return {static_cast<float>(o.x) / w, static_cast<float>(o.y) / h,
          static_cast<float>(o.x + layout.cellSize) / w,
          static_cast<float>(o.y + layout.cellSize) / h};
}

std::vector<unsigned char> PackAtlas(const AtlasLayout& layout,
                                     const std::vector<std::vector<unsigned char>>& images) {
  const std::size_t bpt = static_cast<std::size_t>(layout.bytesPerTexel);
  std::vector<unsigned char> atlas(static_cast<std::size_t>(layout.width) * layout.height * bpt, 0);
  const int n = layout.cellSize;
  const std::size_t imageBytes = static_cast<std::size_t>(n) * n * bpt;
  for (int i = 0; i < layout.cellCount && i < static_cast<int>(images.size()); ++i) {
    const std::vector<unsigned char>& image = images[static_cast<std::size_t>(i)];
    if (image.size() != imageBytes) continue;  // a wrong-sized picture stays transparent
    const AtlasOrigin o = AtlasCellOrigin(layout, i);
    // Rows and columns -1 and n are the gutter: they wrap to n - 1 and 0.
    for (int r = -AtlasGutter; r < n + AtlasGutter; ++r) {
      const int sr = (r + n) % n;
      for (int c = -AtlasGutter; c < n + AtlasGutter; ++c) {
        const int sc = (c + n) % n;
        const std::size_t to =
            (static_cast<std::size_t>(o.y + r) * layout.width + static_cast<std::size_t>(o.x + c)) *
            bpt;
        const std::size_t from = (static_cast<std::size_t>(sr) * n + sc) * bpt;
        std::memcpy(&atlas[to], &image[from], bpt);
      }
    }
  }
  return atlas;
}

std::vector<unsigned char> FormulaAtlasTexels() {
  std::vector<std::vector<unsigned char>> images;
  for (int i = 0; i < FormulaSpriteCount; ++i) images.push_back(FormulaSpriteTexels(i));
  return PackAtlas(FormulaAtlasLayout, images);
}

std::vector<unsigned char> SmokeAtlasTexels() {
  std::vector<std::vector<unsigned char>> images;
  for (int k = 0; k < SmokeImageCount; ++k) images.push_back(SmokeSpriteTexels(SmokeImage(k)));
  return PackAtlas(SmokeAtlasLayout, images);
}

void BuildFormulaAtlas() {
  const std::vector<unsigned char> texels = FormulaAtlasTexels();
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, FormulaAtlasLayout.width, FormulaAtlasLayout.height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, texels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  FormulaAtlasTexture = texture;
}

void BuildSmokeAtlas() {
  const std::vector<unsigned char> texels = SmokeAtlasTexels();
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  // The smoke textures build mipmaps that their nearest-texel minification never reads, so level
  // 0 alone samples the same; without further levels no reduction can mix neighbouring puffs.
  glTexImage2D(GL_TEXTURE_2D, 0, 2, SmokeAtlasLayout.width, SmokeAtlasLayout.height, 0,
               GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, texels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  SmokeAtlasTexture = texture;
}

}  // namespace varenko

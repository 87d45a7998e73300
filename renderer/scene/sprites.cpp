// Sprite textures and their display lists, and the ring mesh.
#include "renderer/scene/sprites.h"

#include <cmath>
#include <vector>

#include "renderer/scene/gl_api.h"
#include "renderer/scene/pictures.h"
#include "renderer/scene/sprite_atlas.h"
#include "renderer/scene/sprite_texels.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

float RingMesh[RingMeshRings][RingMeshPoints][3];

namespace {

constexpr float RingRadius[RingMeshRings] = {1.0f, 0.985f, 0.95f, 0.85f, 0.75f, 0.65f, 0.5f};
constexpr float RingHeight[RingMeshRings] = {0.0f, 0.035f, 0.05f, 0.05f, 0.035f, 0.01f, 0.0f};

// Compiles list `list` as: bind `texture`, draw the unit square.
void CompileSpriteList(GLuint list, GLuint texture) {
  glNewList(list, GL_COMPILE);
  glBindTexture(GL_TEXTURE_2D, texture);
  SpriteQuad();
  glEndList();
}

}  // namespace

void ResetSprites() {
  GlowSprite = DiscSprite = RingSprite = SparkleSprite = 0;
  for (unsigned& list : SmokeSprite) list = 0;
  FormulaAtlasTexture = SmokeAtlasTexture = 0;
}

void SpriteQuad() {
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(-0.5f, -0.5f, 0.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(0.5f, -0.5f, 0.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(-0.5f, 0.5f, 0.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(0.5f, 0.5f, 0.0f);
  glEnd();
}

void BuildFormulaSprites() {
  GLuint textures[FormulaSpriteCount] = {};
  glGenTextures(FormulaSpriteCount, textures);
  for (int i = 0; i < FormulaSpriteCount; ++i) {
    const std::vector<unsigned char> texels = FormulaSpriteTexels(i);
    glBindTexture(GL_TEXTURE_2D, textures[i]);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, FormulaSpriteSize, FormulaSpriteSize, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  }
  const GLuint base = glGenLists(FormulaSpriteCount);
  for (int i = 0; i < FormulaSpriteCount; ++i) CompileSpriteList(base + i, textures[i]);
  GlowSprite = base + GlowIndex;
  DiscSprite = base + DiscIndex;
  RingSprite = base + RingIndex;
  SparkleSprite = base + SparkleIndex;
  // The lists stay for the per-sprite reference drawing and the lens flare; the batched particle
  // pass draws from the atlas.
  BuildFormulaAtlas();
}

void BuildSmokeSprites() {
  GLuint textures[SmokeImageCount] = {};
  glGenTextures(SmokeImageCount, textures);
  for (int k = 0; k < SmokeImageCount; ++k) {
    const std::vector<unsigned char> texels = SmokeSpriteTexels(SmokeImage(k));
    glBindTexture(GL_TEXTURE_2D, textures[k]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // The mipmaps are built, but puffs are small and soft enough that the nearest texel serves.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 2, SmokeImageSize, SmokeImageSize, GL_LUMINANCE_ALPHA,
                      GL_UNSIGNED_BYTE, texels.data());
  }
  const GLuint base = glGenLists(SmokeImageCount);
  for (int k = 0; k < SmokeImageCount; ++k) {
    CompileSpriteList(base + k, textures[k]);
    SmokeSprite[k] = base + k;
  }
  BuildSmokeAtlas();
  BuildSmokeLifeTable();
}

void BuildRingMesh() {
  for (int k = 0; k < RingMeshRings; ++k) {
    RingMesh[k][0][0] = RingRadius[k];
    RingMesh[k][0][1] = RingHeight[k];
    RingMesh[k][0][2] = 0.0f;
  }
  for (int j = 1; j < RingMeshPoints; ++j) {
    const float theta = static_cast<float>(j) * 0.025f * 2.0f * 3.14159265358979f;
    const float cosTheta = std::cos(theta);
    const float sinTheta = std::sin(theta);
    for (int k = 0; k < RingMeshRings; ++k) {
      RingMesh[k][j][0] = RingRadius[k] * cosTheta;
      RingMesh[k][j][1] = RingHeight[k];
      RingMesh[k][j][2] = RingRadius[k] * sinTheta;
    }
  }
}

}  // namespace varenko

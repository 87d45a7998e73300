// Sprites and sky on a real OpenGL context: what each settings switch builds, that the uploads
// hold the generated texels, that the sprite square survives back-face culling, and measurable
// properties of the drawn sky.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "renderer/host/settings.h"
#include "renderer/scene/pictures.h"
#include "renderer/scene/sky.h"
#include "renderer/scene/sky_texels.h"
#include "renderer/scene/sprite_atlas.h"
#include "renderer/scene/sprite_texels.h"
#include "renderer/scene/sprites.h"
#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/random.h"
#include "renderer/sim/sprite_lists.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

constexpr int Width = 960, Height = 540;

class SkyGl : public ::testing::Test {
 protected:
  void SetUp() override {
    const gltest::OffscreenContext& context = gltest::PreparedContext(Width, Height);
    ASSERT_TRUE(context.ready()) << context.failure();
    ApplyDefaults();
    ResetSky();
  }

  // Builds the sky as start-up does, with the generator seeded.
  static void BuildSeeded(std::uint32_t seed) {
    srand(seed);
    BuildFormulaSprites();
    BuildSky();
    BuildRingMesh();
  }
};

// World position of a fed-back vertex under the current matrices and viewport.
Vec3 World(const gltest::FedVertex& v) {
  GLdouble model[16], projection[16], x = 0, y = 0, z = 0;
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  gluUnProject(v.x, v.y, v.z, model, projection, viewport, &x, &y, &z);
  return Vec3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

// The bytes of a texture, by default the one bound.
std::vector<unsigned char> TextureBytes(GLenum format, int size, GLint texture = -1) {
  const int components = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 2;
  std::vector<unsigned char> bytes(static_cast<std::size_t>(size) * size * components);
  if (texture >= 0) glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, bytes.data());
  return bytes;
}

TEST_F(SkyGl, SpritesHoldTheirTexelsAndDrawAFrontFacingSquare) {
  settings.smokeSpan = 1;
  BuildSeeded(1);
  BuildSmokeSprites();
  // One block of four consecutive lists; each binds its texture, which drawing leaves bound.
  const unsigned lists[4] = {GlowSprite, DiscSprite, RingSprite, SparkleSprite};
  for (unsigned i = 0; i < 4; ++i) {
    ASSERT_TRUE(glIsList(lists[i])) << i;
    EXPECT_EQ(lists[i], lists[0] + i);
    glCallList(lists[i]);
    EXPECT_EQ(TextureBytes(GL_RGBA, FormulaSpriteSize), FormulaSpriteTexels(static_cast<int>(i)))
        << "sprite " << i;
  }
  for (int k = 0; k < SmokeImageCount; ++k) {  // the smoke lists carry the embedded puffs
    ASSERT_TRUE(glIsList(SmokeSprite[k])) << k;
    glCallList(SmokeSprite[k]);
    EXPECT_EQ(TextureBytes(GL_LUMINANCE_ALPHA, SmokeImageSize), SmokeSpriteTexels(SmokeImage(k)));
  }
  EXPECT_FLOAT_EQ(SmokeLifeTable[3], 1.0f);
  EXPECT_FLOAT_EQ(SmokeLifeTable[7], 1.0f);
  // The unit square faces the viewer (both triangles survive back-face culling), corners at
  // +-0.5 carrying texture corners (0, 0) to (1, 1).
  gltest::SharedContext().ResetState();
  const auto fed = gltest::Feedback([] { glCallList(DiscSprite); });
  EXPECT_EQ(fed.size(), 2u);
  for (const gltest::Fed& f : fed) {
    for (const gltest::FedVertex& v : f.vertex) {
      const float x = 2.0f * v.x / Width - 1.0f, y = 2.0f * v.y / Height - 1.0f;
      EXPECT_NEAR(std::fabs(x) + std::fabs(y), 1.0f, 1e-4f);
      EXPECT_NEAR(v.s, x + 0.5f, 1e-4f);
      EXPECT_NEAR(v.t, y + 0.5f, 1e-4f);
    }
  }
}

TEST_F(SkyGl, EachSwitchBuildsExactlyItsResources) {
  struct Case {
    int starDensity, cloudy;
  } cases[] = {{0, 0}, {20, 0}, {0, 1}, {-5, 1}};
  for (const Case& c : cases) {
    SetUp();
    settings.starDensity = c.starDensity;
    settings.cloudy = c.cloudy;
    CloudGrid[24][24].y = -1.0f;  // marks an unbuilt grid
    BuildSeeded(77);
    SCOPED_TRACE(::testing::Message() << "stars " << c.starDensity << " cloudy " << c.cloudy);
    EXPECT_TRUE(glIsTexture(sky.cloudTexture)) << "the cloud picture is always made";
    // A negative density counts as 0 (the dialog's range starts there): no dome.
    EXPECT_EQ(glIsTexture(sky.starTexture) == GL_TRUE, c.starDensity > 0);
    EXPECT_EQ(glIsList(sky.starDome) == GL_TRUE, c.starDensity > 0);
    EXPECT_EQ(CloudGrid[24][24].y == 2000.0f, c.cloudy != 0);
    EXPECT_EQ(glIsTexture(sky.horizonTexture) == GL_TRUE, sky.horizonPresent);
    EXPECT_EQ(glIsList(sky.horizonBand) == GL_TRUE, sky.horizonPresent);
  }
  // Filtering and wrap: texture, min filter, mag filter, wrap on s and t.
  for (std::uint32_t seed = 77; !sky.horizonPresent; seed += 2654435761u) BuildSeeded(seed);
  const struct {
    unsigned texture;
    GLint min, mag, wrap;
  } filters[] = {{sky.cloudTexture, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT},
                 {sky.starTexture, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT},
                 {sky.horizonTexture, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP},
                 {FormulaAtlasTexture, GL_LINEAR, GL_LINEAR, GL_REPEAT},
                 {SmokeAtlasTexture, GL_NEAREST, GL_LINEAR, GL_REPEAT}};
  for (const auto& f : filters) {
    if (!glIsTexture(f.texture)) continue;
    glBindTexture(GL_TEXTURE_2D, f.texture);
    const GLenum names[4] = {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S,
                             GL_TEXTURE_WRAP_T};
    const GLint want[4] = {f.min, f.mag, f.wrap, f.wrap};
    for (int i = 0; i < 4; ++i) {
      GLint got = 0;
      glGetTexParameteriv(GL_TEXTURE_2D, names[i], &got);
      EXPECT_EQ(got, want[i]) << "texture " << f.texture << " parameter " << i;
    }
  }
  EXPECT_EQ(TextureBytes(GL_RGBA, 512, static_cast<GLint>(FormulaAtlasTexture)),
            FormulaAtlasTexels());
}

// The scenery pass one layer at a time, caught in feedback under an orthographic view that holds
// the whole sky, looking at each layer's inner face with back faces culled: every triangle must
// come through, with the colour and texture coordinate the layer's rule gives its vertex. (Mesa's
// feedback of a compiled list leaves out the dome's closing fan, so only its five strips count.)
TEST_F(SkyGl, SceneryDrawsEachLayerFromItsVerticesFacingInward) {
  settings.starDensity = 20;
  settings.ambientLevel = 30;
  for (std::uint32_t seed = 5; !sky.horizonPresent; seed += 2654435761u) BuildSeeded(seed);
  dt = 0.05f;
  UpdateClouds();
  CloudGrid[30][20].red = 0.9f;  // as a flash's light would
  DomeVertex dome[DomeRings][DomeColumns];
  MakeStarDome(dome);
  // The horizon band's table: t, bottom grey g, and where the pair stands.
  // clang-format off
  constexpr float Band[9][4] = {
      {0, 0, 0, 20000}, {0.125f, 0.25f, -7654, 18448}, {0.25f, 0.5f, -14142, 14142},
      {0.375f, 0.75f, -18448, 7654}, {0.5f, 1, -20000, 0}, {0.625f, 0.75f, -18448, -7654},
      {0.75f, 0.5f, -14142, -14142}, {0.875f, 0.25f, -7654, -18448}, {1, 0, 0, -20000}};
  // clang-format on
  struct Layer {
    int stars, cloudy, horizon;
    float turnX, turnY;  // view: from below for the dome and clouds, from +x for the band
    int triangles;
    unsigned texture, src, dst;
  } layers[] = {{20, 0, 0, -90, 0, 5 * 24, sky.starTexture, 0, 0},
                {0, 1, 0, -90, 0, 48 * 96, sky.cloudTexture, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
                {0, 0, 1, 0, -90, 16, sky.horizonTexture, GL_ONE, GL_ONE}};
  for (const Layer& l : layers) {
    SCOPED_TRACE(::testing::Message() << "layer " << &l - layers);
    gltest::SharedContext().ResetState();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-21000, 21000, -21000, 21000, -21000, 21000);
    glMatrixMode(GL_MODELVIEW);
    glRotatef(l.turnX, 1, 0, 0);
    glRotatef(l.turnY, 0, 1, 0);
    settings.starDensity = l.stars, settings.cloudy = l.cloudy, sky.horizonPresent = l.horizon;
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    const auto fed = gltest::Feedback([] { DrawScenery(); });
    EXPECT_EQ(gltest::Int(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(gltest::Int(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    int triangles = 0, wrong = 0;
    for (const gltest::Fed& f : fed) {
      triangles += f.vertex.size() == 3;
      for (const gltest::FedVertex& v : f.vertex) {
        const Vec3 p = World(v);
        std::array<float, 5> want = {1, 1, 1, 0, 0};  // red, green, blue, s, t; the cap's centre
        if (l.cloudy) {
          const CloudVertex& c =
              CloudGrid[std::clamp<long>(std::lround(p.x / 833.3333f) + 24, 0, 48)]
                       [std::clamp<long>(std::lround(p.z / 833.3333f) + 24, 0, 48)];
          wrong += std::fabs(p.y - c.y) > 1.0f;
          want = {c.red, c.green, c.blue, c.s, c.t};
        } else if (l.horizon) {
          auto away = [&](int i) { return std::hypot(Band[i][2] - p.x, Band[i][3] - p.z); };
          int n = 0;
          for (int i = 1; i < 9; ++i) n = away(i) < away(n) ? i : n;
          const float g = p.y > 4000 ? 0 : Band[n][1];
          want = {g, g, g, p.y > 4000 ? 1.0f : 0.0f, Band[n][0]};
          wrong += away(n) > 1.0f;
        } else if (p.y < 19999) {
          // Ring from the height, column from the azimuth (column 12 repeats column 0).
          const long i = std::lround(std::asin((p.y - 1500) / 18500) * 12 / 3.14159265);
          const long j = std::lround(std::atan2(p.z, p.x) * 6 / 3.14159265 + 12) % 12;
          const DomeVertex* d = &dome[std::clamp(i, 0L, 5L)][j];
          want = {d->brightness, d->brightness, d->brightness, d->s, d->t};
          wrong += std::hypot(d->x - p.x, d->y - p.y, d->z - p.z) > 1.0f;
        }
        const float got[5] = {v.r, v.g, v.b, v.s, v.t};
        for (int i = 0; i < 5; ++i) wrong += std::fabs(got[i] - want[i]) > 2e-3f;
      }
    }
    EXPECT_EQ(triangles, l.triangles);
    EXPECT_EQ(wrong, 0) << "colours or texture coordinates";
    EXPECT_EQ(static_cast<unsigned>(gltest::Int(GL_TEXTURE_BINDING_2D)), l.texture);
    EXPECT_EQ(glIsEnabled(GL_BLEND) == GL_TRUE, l.src != 0) << "the dome is drawn unblended";
    if (l.src != 0) {
      EXPECT_EQ(gltest::Int(GL_BLEND_SRC), static_cast<GLint>(l.src));
      EXPECT_EQ(gltest::Int(GL_BLEND_DST), static_cast<GLint>(l.dst));
    }
  }
}

}  // namespace
}  // namespace varenko

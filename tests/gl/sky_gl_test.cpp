// Sprites and sky on a real OpenGL context: what each settings switch builds, that the uploads
// hold the generated texels, that the sprite square survives back-face culling, and measurable
// properties of the drawn sky.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <vector>

#include "renderer/host/settings.h"
#include "renderer/scene/pictures.h"
#include "renderer/scene/sky.h"
#include "renderer/scene/sky_texels.h"
#include "renderer/scene/sprite_texels.h"
#include "renderer/scene/sprites.h"
#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/random.h"
#include "renderer/sim/sprite_lists.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

using gltest::OffscreenContext;

constexpr int Width = 960;
constexpr int Height = 540;

class SkyGl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    context = &gltest::SharedContext();
    context->UseSize(Width, Height);
  }
  static void TearDownTestSuite() { context = nullptr; }
  void SetUp() override {
    ASSERT_TRUE(context->ready()) << context->failure();
    context->UseSize(Width, Height);
    context->ResetState();
    ApplyDefaults();
    StarTexture = HorizonTexture = StarDome = HorizonBand = CloudTexture = 0;
    horizonPresent = false;
    cloudScroll = 0.0f;
  }

  // Builds the sky as start-up does, with the generator seeded.
  static void BuildSeeded(std::uint32_t seed) {
    srand(seed);
    BuildFormulaSprites();
    BuildSky();
    BuildRingMesh();
  }

  // Looks up at 40 degrees from just above the launch area and draws the scenery.
  static std::vector<unsigned char> DrawSkyView() {
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(Width) / Height, 1.0, 40000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(-40.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, -100.0f, 0.0f);
    UpdateClouds();
    DrawScenery();
    return context->ReadPixels();
  }

  static OffscreenContext* context;
};
OffscreenContext* SkyGl::context = nullptr;

// Mean of R, G and B over the picture, 0..255.
double MeanBrightness(const std::vector<unsigned char>& pixels) {
  double sum = 0.0;
  for (std::size_t i = 0; i < pixels.size(); i += 4)
    sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
  return sum / (pixels.size() / 4 * 3);
}

// Pixels brighter than `level` in their brightest channel that are isolated points: no
// neighbour to the left or below is as bright (so one star counts about once).
int BrightPoints(const std::vector<unsigned char>& pixels, int level) {
  auto bright = [&](int x, int y) {
    const auto p = gltest::PixelAt(pixels, Width, x, y);
    return std::max({p.r, p.g, p.b}) > level;
  };
  int count = 0;
  for (int y = 1; y < Height; ++y) {
    for (int x = 1; x < Width; ++x) {
      if (bright(x, y) && !bright(x - 1, y) && !bright(x, y - 1)) ++count;
    }
  }
  return count;
}

std::vector<unsigned char> TextureBytes(GLuint texture, GLenum format, int size) {
  const int components = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 2;
  std::vector<unsigned char> bytes(static_cast<std::size_t>(size) * size * components);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, bytes.data());
  return bytes;
}

TEST_F(SkyGl, FormulaSpritesHoldTheirTexelsAndDrawAFrontFacingSquare) {
  BuildSeeded(1);
  const unsigned lists[4] = {GlowSprite, DiscSprite, RingSprite, SparkleSprite};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(glIsList(lists[i])) << i;
    if (i > 0) {
      EXPECT_EQ(lists[i], lists[0] + i) << "one block of four consecutive lists";
    }
  }
  // The list binds its texture: drawing it leaves that texture bound.
  for (int i = 0; i < 4; ++i) {
    glCallList(lists[i]);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(TextureBytes(static_cast<GLuint>(bound), GL_RGBA, FormulaSpriteSize),
              FormulaSpriteTexels(i))
        << "sprite " << i;
  }

  // The disc filling the viewport: opaque white in the middle, nothing in the corners, and
  // still there with back faces culled.
  context->ResetState();
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glScalef(2.0f, 2.0f, 1.0f);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glCallList(DiscSprite);
  const auto pixels = context->ReadPixels();
  EXPECT_GE(gltest::PixelAt(pixels, Width, Width / 2, Height / 2).r, 250);
  EXPECT_LE(gltest::PixelAt(pixels, Width, 1, 1).r, 5);
}

TEST_F(SkyGl, SmokeSpritesCarryTheEmbeddedPuffs) {
  settings.smokeSpan = 1;
  BuildSeeded(2);
  BuildSmokeSprites();
  for (int k = 0; k < SmokeImageCount; ++k) {
    ASSERT_TRUE(glIsList(SmokeSprite[k])) << k;
    glCallList(SmokeSprite[k]);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(TextureBytes(static_cast<GLuint>(bound), GL_LUMINANCE_ALPHA, SmokeImageSize),
              SmokeSpriteTexels(SmokeImage(k)));
  }
  EXPECT_FLOAT_EQ(SmokeLifeTable[3], 1.0f);
  EXPECT_FLOAT_EQ(SmokeLifeTable[7], 1.0f);
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
    EXPECT_TRUE(glIsTexture(CloudTexture)) << "the cloud picture is always made";
    EXPECT_EQ(glIsTexture(StarTexture) == GL_TRUE, c.starDensity != 0);
    EXPECT_EQ(glIsList(StarDome) == GL_TRUE, c.starDensity != 0);
    EXPECT_EQ(CloudGrid[24][24].y == 2000.0f, c.cloudy != 0);
    EXPECT_EQ(glIsTexture(HorizonTexture) == GL_TRUE, horizonPresent);
    EXPECT_EQ(glIsList(HorizonBand) == GL_TRUE, horizonPresent);
  }
}

TEST_F(SkyGl, ClearSkyShowsManySmallStarsAndCloudsCoverOrLightThem) {
  settings.starDensity = 20;
  settings.cloudy = 0;
  BuildSeeded(5);
  const auto clear = DrawSkyView();
  const int clearStars = BrightPoints(clear, 80);
  EXPECT_GT(clearStars, 50) << "a starry sky";
  EXPECT_LT(MeanBrightness(clear), 30.0) << "small points on black, not a lit field";

  SetUp();
  settings.starDensity = 20;
  settings.cloudy = 1;
  settings.ambientLevel = 0;
  BuildSeeded(5);
  const auto dark = DrawSkyView();
  EXPECT_LT(BrightPoints(dark, 80), clearStars) << "black clouds hide part of the stars";

  SetUp();
  settings.starDensity = 20;
  settings.cloudy = 1;
  settings.ambientLevel = 30;
  BuildSeeded(5);
  const auto grey = DrawSkyView();
  EXPECT_GT(MeanBrightness(grey), MeanBrightness(dark) + 5.0) << "ambient light greys the clouds";
}

}  // namespace
}  // namespace varenko

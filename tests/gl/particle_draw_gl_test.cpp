// Particle drawing on a real OpenGL context: known particles are drawn under an orthographic
// camera where one world unit is one pixel, and their pixels are read back.
#include <gtest/gtest.h>

#include <vector>

#include "renderer/host/settings.h"
#include "renderer/scene/particle_draw.h"
#include "renderer/scene/sky.h"
#include "renderer/scene/sprites.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/particle.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/sprite_lists.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

using gltest::OffscreenContext;
using gltest::PixelAt;

constexpr int Size = 128;  // the picture spans world x and y from -64 to 64

class ParticleDrawGl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    context = &gltest::SharedContext();
    context->UseSize(Size, Size);
    if (!context->ready()) return;
    ApplyDefaults();
    srand(3);
    BuildFormulaSprites();
    BuildSky();
    BuildRingMesh();
  }
  static void TearDownTestSuite() { context = nullptr; }
  void SetUp() override {
    ASSERT_TRUE(context->ready()) << context->failure();
    context->UseSize(Size, Size);
    context->ResetState();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-64.0, 64.0, -64.0, 64.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i) BillboardMatrix[i] = (i % 5 == 0) ? 1.0 : 0.0;
  }

  // A particle of `kind` at the origin, in front of the camera, drawn with the sharp-edged disc.
  static Particle Make(ParticleKind kind, float size) {
    Particle p{};
    p.kind = kind;
    p.spriteList = DiscSprite;
    p.pos = Vec3(0.0f, 0.0f, 0.0f);
    p.colour = Vec3(1.0f, 0.0f, 0.0f);
    p.alpha = 1.0f;
    p.lifeFrac = 0.5f;
    p.size = size;
    p.depthKey = 100.0f;
    return p;
  }

  // Draws over a clear of grey `background` and reads back.
  static std::vector<unsigned char> Draw(const Particle& p, float background = 0.0f) {
    glClearColor(background, background, background, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    DrawParticle(p);
    return context->ReadPixels();
  }

  // Pixel at (dx, dy) from the centre of the picture.
  static gltest::Rgba At(const std::vector<unsigned char>& pixels, int dx, int dy) {
    return PixelAt(pixels, Size, Size / 2 + dx, Size / 2 + dy);
  }

  static int LitPixels(const std::vector<unsigned char>& pixels) {
    int lit = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
      if (pixels[i] + pixels[i + 1] + pixels[i + 2] > 30) ++lit;
    }
    return lit;
  }

  static OffscreenContext* context;
};
OffscreenContext* ParticleDrawGl::context = nullptr;

TEST_F(ParticleDrawGl, StarIsItsColourWithAWhiteCoreAtAThirdOfItsSize) {
  const auto pixels = Draw(Make(Star, 40.0f));  // disc of radius 20, core of radius 7
  const auto core = At(pixels, 0, 0);
  EXPECT_GE(core.r, 250);
  EXPECT_GE(core.g, 250);
  EXPECT_GE(core.b, 250);
  const auto body = At(pixels, 11, 0);  // inside the disc, outside the core
  EXPECT_GE(body.r, 250);
  EXPECT_LE(body.g, 5);
  const auto outside = At(pixels, 25, 0);
  EXPECT_LE(outside.r, 5);
  // The matrix is left as it was.
  GLdouble m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(m[i], (i % 5 == 0) ? 1.0 : 0.0);
}

TEST_F(ParticleDrawGl, SmokeIsAlphaBlendedWithoutACore) {
  Particle smoke = Make(Smoke, 40.0f);
  smoke.colour = Vec3(0.2f, 0.2f, 0.2f);
  smoke.alpha = 0.5f;
  const auto pixels = Draw(smoke, 0.8f);
  // Half of 0.2 over half of 0.8 is 0.5; adding light would give 0.9, a white core more.
  const auto centre = At(pixels, 0, 0);
  EXPECT_NEAR(centre.r, 128, 4);
  EXPECT_NEAR(At(pixels, 11, 0).r, 128, 4);
  EXPECT_NEAR(At(pixels, 30, 0).r, 204, 2) << "background untouched outside the puff";
}

TEST_F(ParticleDrawGl, FadingFlashIsDrawnWhiteAtHalfSizeAndHalfOpacity) {
  Particle flash = Make(Flash, 40.0f);
  flash.alpha = 0.5f;
  const auto pixels = Draw(flash);  // disc of radius 10 instead of 20
  const auto centre = At(pixels, 0, 0);
  EXPECT_NEAR(centre.r, 128, 4);
  EXPECT_NEAR(centre.g, 128, 4) << "white, not the particle's red";
  EXPECT_NEAR(centre.b, 128, 4);
  EXPECT_LE(At(pixels, 14, 0).r, 5) << "beyond half the size nothing is drawn";
}

TEST_F(ParticleDrawGl, SkipRules) {
  Particle dead = Make(Star, 40.0f);
  dead.lifeFrac = 0.0f;
  EXPECT_EQ(LitPixels(Draw(dead)), 0) << "life over";

  Particle behind = Make(Smoke, 40.0f);
  behind.colour = Vec3(1.0f, 1.0f, 1.0f);
  behind.depthKey = -5.0f;
  EXPECT_EQ(LitPixels(Draw(behind)), 0) << "behind the camera";

  Particle carrier = Make(SubShell, 40.0f);
  EXPECT_EQ(LitPixels(Draw(carrier)), 0) << "sub-shells are never drawn";

  Particle ember = Make(EmberStar, 40.0f);
  EXPECT_GT(LitPixels(Draw(ember)), 100) << "other glowing kinds are";
}

TEST_F(ParticleDrawGl, BlastIsAFlatShockRingDrawnEvenBehindTheCamera) {
  // Look straight down, so the horizontal ring faces the camera.
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  Particle blast = Make(Blast, 50.0f);  // annulus between radius 25 and 50
  blast.depthKey = -300.0f;
  blast.lifeFrac = 0.6f;  // no ring flare: only the shock ring
  const auto pixels = Draw(blast);
  int ring = 0, hole = 0;
  for (int y = 0; y < Size; ++y) {
    for (int x = 0; x < Size; ++x) {
      const int dx = x - Size / 2, dy = y - Size / 2;
      const int r2 = dx * dx + dy * dy;
      const auto p = PixelAt(pixels, Size, x, y);
      const bool lit = p.r > 20;
      if (r2 < 22 * 22 && lit) ++hole;
      if (r2 > 28 * 28 && r2 < 48 * 48 && lit) ++ring;
    }
  }
  EXPECT_EQ(hole, 0) << "the middle of the ring stays dark";
  EXPECT_GT(ring, 300) << "the annulus is lit where the cloud picture is opaque";
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << "culling is restored";
}

TEST_F(ParticleDrawGl, YoungBlastAddsABrightRingFlare) {
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  // The billboard undoes the camera's turn, so the flare faces the camera.
  for (double& m : BillboardMatrix) m = 0.0;
  BillboardMatrix[0] = 1.0;
  BillboardMatrix[6] = -1.0;
  BillboardMatrix[9] = 1.0;
  BillboardMatrix[15] = 1.0;
  Particle blast = Make(Blast, 10.0f);  // shock ring within radius 10, flare ring of width 50
  blast.lifeFrac = 1.0f;
  const auto young = Draw(blast);
  blast.lifeFrac = 0.7f;
  const auto older = Draw(blast);
  // The flare ring peaks at about 0.7 of its half-width of 25.
  EXPECT_GT(At(young, 17, 0).r, 100);
  EXPECT_LE(At(older, 17, 0).r, 5) << "no flare at lifeFrac 0.7";
}

TEST_F(ParticleDrawGl, DrawParticlesDrawsThePoolFarToNearWithBlendingOn) {
  ClearPool();
  // A dark smoke puff in front of a star: drawn after it, the puff dims the star's white core.
  Particle& star = AllocateParticle();
  star = Make(Star, 40.0f);
  star.depthKey = 200.0f;
  Particle& puff = AllocateParticle();
  puff = Make(Smoke, 40.0f);
  puff.colour = Vec3(0.0f, 0.0f, 0.0f);
  puff.alpha = 0.5f;
  puff.depthKey = 100.0f;
  MaintainPool();

  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_BLEND);
  DrawParticles();
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  const auto pixels = context->ReadPixels();
  EXPECT_NEAR(At(pixels, 0, 0).g, 128, 4) << "core under half-opaque black smoke";
  EXPECT_NEAR(At(pixels, 11, 0).r, 128, 4) << "red body under the smoke";
  ClearPool();
}

}  // namespace
}  // namespace varenko

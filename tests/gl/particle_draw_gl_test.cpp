// Particle drawing on a real OpenGL context: known particles are drawn under an orthographic
// camera where one world unit is one pixel; what they send down the pipeline is caught in feedback
// mode (sprites as marker lists), and the pool's pass is read back as pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
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

constexpr int Size = 128;  // the picture spans world x and y from -64 to 64

class ParticleDrawGl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!gltest::PreparedContext(Size, Size).ready()) return;
    ApplyDefaults();
    srand(3);
    BuildFormulaSprites();
    BuildSky();
    BuildRingMesh();
    marker = gltest::MarkerLists(1, 11);
    ringMarker = gltest::MarkerLists(1, 3);
  }
  void SetUp() override {
    const gltest::OffscreenContext& context = gltest::PreparedContext(Size, Size);
    ASSERT_TRUE(context.ready()) << context.failure();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-64.0, 64.0, -64.0, 64.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i) BillboardMatrix[i] = (i % 5 == 0) ? 1.0 : 0.0;
    ringSprite = RingSprite;
    RingSprite = ringMarker;
  }
  void TearDown() override { RingSprite = ringSprite; }

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

  // Pixel at (dx, dy) from the centre of the picture.
  static gltest::Rgba At(const std::vector<unsigned char>& pixels, int dx, int dy) {
    return gltest::PixelAt(pixels, Size, Size / 2 + dx, Size / 2 + dy);
  }

  static unsigned marker, ringMarker;  // marker lists for a particle's sprite and RingSprite
  unsigned ringSprite = 0;
};
unsigned ParticleDrawGl::marker = 0, ParticleDrawGl::ringMarker = 0;

// A sprite's scale (as a multiple of the particle's size) and colour, its opacity the particle's
// alpha; a negative red stands for the particle's own colour.
struct Sprite {
  float scale, r, g, b;
};
struct DrawCase {
  const char* what;
  ParticleKind kind;
  float alpha, lifeFrac, depthKey;
  std::vector<Sprite> sprites;
  GLenum blendDst;
};

TEST_F(ParticleDrawGl, EachKindIsItsSpritesInItsColoursFacingTheCamera) {
  constexpr Sprite Own = {1, -1, 0, 0}, Core = {0.35f, 1, 1, 1}, Half = {0.5f, 1, 1, 1};
  const DrawCase cases[] = {
      {"star: own colour, white core", Star, 0.8f, 0.5f, 1, {Own, Core}, GL_ONE},
      {"ember star alike", EmberStar, 1, 1, 1, {Own, Core}, GL_ONE},
      {"smoke: alpha-blended", Smoke, 0.5f, 0.5f, 1, {Own}, GL_ONE_MINUS_SRC_ALPHA},
      {"flash: white, shrinking", Flash, 0.5f, 0.5f, 1, {Half}, GL_ONE},
      {"life over", Star, 1, 0, 1, {}, GL_ZERO},
      {"behind the camera", Smoke, 1, 1, -5, {}, GL_ZERO},
      {"sub-shells never", SubShell, 1, 1, 1, {}, GL_ZERO},
  };
  // The billboard turns a quarter round about the view axis: x becomes y.
  for (double& m : BillboardMatrix) m = 0.0;
  BillboardMatrix[1] = 1, BillboardMatrix[4] = -1, BillboardMatrix[10] = 1, BillboardMatrix[15] = 1;
  for (const DrawCase& c : cases) {
    SCOPED_TRACE(c.what);
    Particle p = Make(c.kind, 40.0f);
    p.spriteList = marker;
    p.pos = Vec3(10, -5, 0);
    p.colour = Vec3(0.2f, 0.4f, 0.6f);
    p.alpha = c.alpha;
    p.lifeFrac = c.lifeFrac;
    p.depthKey = c.depthKey;
    glBlendFunc(GL_ZERO, GL_ZERO);
    const auto fed = gltest::FedSprites(gltest::Feedback([&] { DrawParticle(p); }));
    ASSERT_EQ(fed.size(), c.sprites.size());
    for (std::size_t i = 0; i < fed.size(); ++i) {
      // Centre, half axes and colour.
      const Sprite& w = c.sprites[i];
      const gltest::FedSprite& f = fed[i];
      const float half = 0.5f * w.scale * 40.0f;
      const bool own = w.r < 0;
      const float want[10] = {
          10, -5, 0, half, -half, 0, own ? 0.2f : w.r, own ? 0.4f : w.g, own ? 0.6f : w.b, c.alpha};
      const float got[10] = {
          f.x - Size / 2, f.y - Size / 2, f.ax, f.ay, f.bx, f.by, f.r, f.g, f.b, f.a};
      for (int k = 0; k < 10; ++k)
        EXPECT_NEAR(got[k], want[k], k < 6 ? 1e-3f : 2e-3f) << "sprite " << i << " value " << k;
    }
    EXPECT_EQ(gltest::Int(GL_BLEND_DST), static_cast<GLint>(c.blendDst));
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(m[i], (i % 5 == 0) ? 1.0 : 0.0);
    EXPECT_EQ(gltest::Int(GL_MODELVIEW_STACK_DEPTH), 1);
  }
}

TEST_F(ParticleDrawGl, BlastIsAShockRingOfTheMeshWithABrightFlareWhileYoung) {
  constexpr float RingR[7] = {1.0f, 0.985f, 0.95f, 0.85f, 0.75f, 0.65f, 0.5f};
  constexpr float RingH[7] = {0.0f, 0.035f, 0.05f, 0.05f, 0.035f, 0.01f, 0.0f};
  constexpr float Opacity[7] = {1.0f, 0.9f, 0.8f, 0.7f, 0.5f, 0.3f, 0.0f};
  constexpr float S = 16.0f, Scroll = 0.32f;  // the texture slides by sqrt(size) * 0.08
  // Look straight down: world x to the right, z down the screen, height into the depth.
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  for (double& m : BillboardMatrix) m = 0.0;
  BillboardMatrix[0] = 1, BillboardMatrix[6] = -1, BillboardMatrix[9] = 1, BillboardMatrix[15] = 1;
  for (float life : {0.9f, 0.7f, 0.6f, 0.3f}) {
    SCOPED_TRACE(::testing::Message() << "lifeFrac " << life);
    Particle blast = Make(Blast, S);
    blast.lifeFrac = life;
    blast.depthKey = -300.0f;  // drawn even behind the camera
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, 0);
    const auto fed = gltest::Feedback([&] { DrawParticle(blast); });

    int triangles = 0, wrong = 0, badDiagonal = 0;
    std::set<int> seen;
    for (const gltest::Fed& f : fed) {
      if (f.vertex.size() != 3) continue;
      ++triangles;
      int ring[3], point[3];
      bool upper = false;
      for (int n = 0; n < 3; ++n) {
        const gltest::FedVertex& v = f.vertex[n];
        const float x = v.x - Size / 2, z = Size / 2 - v.y, h = (1.0f - 2.0f * v.z) * 1000.0f;
        const int j = static_cast<int>(std::lround(v.s / 0.25f));
        int k = 0;
        const float radius = std::hypot(x, z) / S;
        for (int i = 1; i < 7; ++i)
          k = std::fabs(radius - RingR[i]) < std::fabs(radius - RingR[k]) ? i : k;
        if (RingH[k] > 0) upper = h > 0;
        ring[n] = k, point[n] = j;
        const float theta = static_cast<float>(j) * 0.025f * 2.0f * 3.14159265f;
        const float c = life > 0.5f ? 1.0f : 2.0f * life;
        const float green = h > 0 && life < 0.5f && k >= 1 && k <= 5 ? life + 0.5f : c;
        const float alpha = (life > 0.5f ? 1.0f : c) * Opacity[k];
        const float R = S * RingR[k], cs = std::cos(theta), sn = std::sin(theta), H = S * RingH[k];
        const float want[9] = {
            R * cs, R * sn, H, 1, green, life, alpha, 0.25f * j, 0.07f * k - Scroll};
        const float got[9] = {x, z, std::fabs(h), v.r, v.g, v.b, v.a, v.s, v.t};
        for (int i = 0; i < 9; ++i) wrong += std::fabs(got[i] - want[i]) > (i < 3 ? 0.01f : 2e-3f);
        seen.insert((RingH[k] > 0 && h > 0) * 10000 + k * 100 + j);
      }
      // Each strip runs from one ring to the next; which diagonal splits each quad tells the faces
      // apart: the lower face lists the inner ring first, the upper face the outer.
      const int outer = std::min({ring[0], ring[1], ring[2]});
      int lo[2] = {99, 99}, hi[2] = {-1, -1};  // [0] outer ring, [1] inner ring
      for (int n = 0; n < 3; ++n) {
        const int i = ring[n] == outer ? 0 : 1;
        lo[i] = std::min(lo[i], point[n]), hi[i] = std::max(hi[i], point[n]);
      }
      const int first = upper ? 0 : 1;
      badDiagonal += hi[first] < std::max(hi[0], hi[1]) || lo[1 - first] > std::min(lo[0], lo[1]);
    }
    EXPECT_EQ(triangles, 2 * 6 * 80) << "two faces of six strips of 41 vertex pairs";
    EXPECT_EQ(wrong, 0) << "vertex values off the mesh, colours or texture coordinates";
    EXPECT_EQ(badDiagonal, 0);
    EXPECT_EQ(seen.size(), 2u * 5u * 41u + 2u * 41u) << "every point of every ring";

    const auto flare = gltest::FedSprites(fed);
    ASSERT_EQ(flare.size(), life > 0.7f ? 1u : 0u) << "a ring flare only above 0.7";
    if (!flare.empty()) {  // RingSprite at five times the size, facing the camera
      const gltest::FedSprite& f = flare[0];
      EXPECT_EQ(f.marker, 3);
      const float want[6] = {2.5f * S, 2.5f * S, 1.0f, life, 1.0f, (life - 0.7f) * 3.333f};
      const float got[6] = {f.ax, f.by, f.r, f.g, f.b, f.a};
      for (int k = 0; k < 6; ++k) EXPECT_NEAR(got[k], want[k], k < 2 ? 1e-3f : 2e-3f) << k;
    }
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << "culling is restored";
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(gltest::Int(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(static_cast<unsigned>(gltest::Int(GL_TEXTURE_BINDING_2D)), sky.cloudTexture);
    EXPECT_EQ(gltest::Int(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(gltest::Int(GL_BLEND_DST), GL_ONE);
  }
}

TEST_F(ParticleDrawGl, DrawParticlesDrawsThePoolFarToNearWithBlendingOn) {
  ClearPool();
  // A dark smoke puff in front of a star: drawn after it, the puff dims the star's white core.
  (AllocateParticle() = Make(Star, 40.0f)).depthKey = 200.0f;
  Particle& puff = AllocateParticle() = Make(Smoke, 40.0f);
  puff.colour = Vec3(0.0f, 0.0f, 0.0f);
  puff.alpha = 0.5f;
  MaintainPool();
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_BLEND);
  DrawParticles();
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  const auto pixels = gltest::SharedContext().ReadPixels();
  EXPECT_NEAR(At(pixels, 0, 0).g, 128, 4) << "core under half-opaque black smoke";
  EXPECT_NEAR(At(pixels, 11, 0).r, 128, 4) << "red body under the smoke";
  ClearPool();
}

}  // namespace
}  // namespace varenko

// The lens-flare drawers on a real OpenGL context: the sprite lists are replaced by marker lists
// and the drawing is caught in feedback mode, so every element's place, size, turn, colour and
// sprite is read back and compared with the flare's tables.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "renderer/host/settings.h"
#include "renderer/scene/flare.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/sprite_lists.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

using gltest::FedSprite;

// A 400 x 200 screen: overlay units are 200 pixels each way, the aspect ratio is 2.
constexpr int Width = 400, Height = 200;
constexpr float Aspect = 2.0f, Unit = 200.0f;
enum Marker { Glow = 1, Disc, Ring, Sparkle };

class FlareGl : public ::testing::Test {
 protected:
  void SetUp() override {
    const gltest::OffscreenContext& context = gltest::PreparedContext(Width, Height);
    ASSERT_TRUE(context.ready()) << context.failure();
    ApplyDefaults();
    ClearPool();
    saved[0] = GlowSprite, saved[1] = DiscSprite, saved[2] = RingSprite, saved[3] = SparkleSprite;
    const unsigned base = gltest::MarkerLists(4, Glow);
    GlowSprite = base, DiscSprite = base + 1, RingSprite = base + 2, SparkleSprite = base + 3;
    // A camera at the origin looking down -z.
    view.eyePos = view.savedEye = Vec3(0, 0, 0);
    view.lookTarget = Vec3(0, 0, -10);
    for (int i = 0; i < 16; ++i) view.modelView[i] = (i % 5 == 0) ? 1.0 : 0.0;
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, Aspect, 1.0, 40000.0);
    glGetDoublev(GL_PROJECTION_MATRIX, view.projection);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    view.viewport[2] = view.clientWidth = Width;
    view.viewport[3] = view.clientHeight = Height;
    view.aspect = Aspect;
  }
  void TearDown() override {
    GlowSprite = saved[0], DiscSprite = saved[1], RingSprite = saved[2], SparkleSprite = saved[3];
    ClearPool();
  }

  // Expects an element centred at (x, y) overlay units, scaled by (sx, sy), turned by `turn`
  // degrees, in colour (r, g, b, a).
  static void ExpectElement(const FedSprite& s, int marker, float x, float y, float sx, float sy,
                            float turn, const float (&rgba)[4]) {
    EXPECT_EQ(s.marker, marker);
    const float c = std::cos(turn * 3.14159265f / 180.0f),
                n = std::sin(turn * 3.14159265f / 180.0f);
    const float want[6] = {x, y, 0.5f * sx * c, 0.5f * sx * n, -0.5f * sy * n, 0.5f * sy * c};
    const float got[6] = {s.x, s.y, s.ax, s.ay, s.bx, s.by};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i] / Unit, want[i], 2e-5f) << "coordinate " << i;
    const float colour[4] = {s.r, s.g, s.b, s.a};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(colour[i], rgba[i], 2e-3f) << "colour " << i;
  }

  // Blending additive and on, the model-view matrix current, both stacks and matrices as found.
  static void ExpectOverlayUndone() {
    const GLenum names[5] = {GL_BLEND_SRC, GL_BLEND_DST, GL_MATRIX_MODE, GL_MODELVIEW_STACK_DEPTH,
                             GL_PROJECTION_STACK_DEPTH};
    const GLint want[5] = {GL_SRC_ALPHA, GL_ONE, GL_MODELVIEW, 1, 1};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(gltest::Int(names[i]), want[i]) << names[i];
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    for (GLenum which : {GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX}) {
      GLdouble m[16];
      glGetDoublev(which, m);
      for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0 : 0.0) << which;
    }
  }

  // What `drawer` sends down the pipeline for `light`.
  std::vector<gltest::Fed> Drawn(void (*drawer)(const FlareOverlay&, const FlareRequest&),
                                 const FlareRequest& light) const {
    return gltest::Feedback([&] { drawer(overlay, light); });
  }

  unsigned saved[4] = {};
  FlareView view = {};
  const FlareOverlay overlay = WholeOverlay(Aspect);
};

// A light at (x, y) overlay units in colour (r, g, b) with `intensity`.
FlareRequest Light(float x, float y, float r, float g, float b, float intensity) {
  return {0.0f, x, y, r, g, b, intensity};
}

// The ghost chain's table: position along the line through the centre, scale, factors on the
// light's red, green, blue and on the intensity, sprite, and whether it is turned by x degrees.
struct Ghost {
  float k, scale, r, g, b, a;
  int sprite;
  bool turned;
};
constexpr Ghost Chain[9] = {{0.05f, 0.065f, 1, 1, 1, 0.4f, Ring, false},
                            {0.15f, 0.04f, 0.9f, 0.9f, 1, 0.9f, Disc, false},
                            {0.25f, 0.06f, 0.8f, 0.8f, 1, 0.9f, Disc, false},
                            {0.35f, 0.08f, 0.7f, 0.7f, 1, 0.9f, Disc, false},
                            {1.25f, 0.05f, 1, 0.6f, 0.6f, 0.9f, Disc, false},
                            {1.65f, 0.3f, 1, 1, 1, 1, Sparkle, true},
                            {1.85f, 0.04f, 1, 0.6f, 0.6f, 0.9f, Disc, false},
                            {2.2f, 0.3f, 1, 1, 1, 0.7f, Disc, false},
                            {2.5f, 0.6f, 1, 1, 1, 0.8f, Sparkle, false}};

TEST_F(FlareGl, GhostChainRunsThroughTheCentreAndTheStreakStretchesWithTheIntensity) {
  const float x = 1.5f, y = 0.4f, r = 0.8f, g = 0.6f, b = 0.4f, intensity = 0.4f;
  const auto sprites = gltest::FedSprites(Drawn(DrawGhostChain, Light(x, y, r, g, b, intensity)));
  ASSERT_EQ(sprites.size(), 9u);
  const float u = Aspect / 2 - x, v = 0.5f - y;
  for (int n = 0; n < 9; ++n) {
    SCOPED_TRACE(::testing::Message() << "element " << n + 1);
    const Ghost& e = Chain[n];
    const float rgba[4] = {e.r * r, e.g * g, e.b * b, e.a * intensity};
    ExpectElement(sprites[n], e.sprite, x + e.k * u, y + e.k * v, e.scale, e.scale,
                  e.turned ? x : 0.0f, rgba);
  }
  ExpectOverlayUndone();
  const auto streak = gltest::FedSprites(Drawn(DrawStreak, Light(x, y, r, g, b, intensity)));
  ASSERT_EQ(streak.size(), 2u);
  ExpectElement(streak[0], Glow, x, y, 2 * intensity, 0.08f, 0, {r, g, b, intensity});
  ExpectElement(streak[1], Ring, x, y, 0.4f, 0.35f * intensity + 0.05f, 0,
                {r, g, b, 0.4f * intensity});
  ExpectOverlayUndone();
}

TEST_F(FlareGl, LightsOffScreenFadeOverTheMarginAndAreDroppedBeyondIt) {
  // Half the margin (a tenth of the width: 0.2) below the screen: half the intensity. The fifth
  // ghost lies on screen.
  const auto faded = gltest::FedSprites(Drawn(DrawGhostChain, Light(1.5f, -0.1f, 1, 1, 1, 0.4f)));
  ASSERT_EQ(faded.size(), 9u);
  EXPECT_NEAR(faded[4].a, 0.9f * 0.4f * 0.5f, 2e-3f);
  EXPECT_TRUE(Drawn(DrawGhostChain, Light(1.5f, -0.5f, 1, 1, 1, 0.4f)).empty());
  EXPECT_TRUE(Drawn(DrawStreak, Light(2.5f, 0.5f, 1, 1, 1, 0.4f)).empty());
}

TEST_F(FlareGl, FlarePassDrawsEachQueuedLightWithItsDrawerAndEmptiesTheQueue) {
  for (unsigned kind : {Flash, Blast, Star, Flash}) {
    Particle& p = AllocateParticle();
    p.kind = kind;
    p.pos = Vec3(kind == Blast ? 100.0f : 0.0f, 0.0f, -1000.0f);
    p.colour = Vec3(1, 1, 1);
    p.alpha = 1.0f;
    p.depthKey = 1000.0f;
  }
  FlareRequestQueue queue = {};
  const auto sprites = gltest::FedSprites(gltest::Feedback([&] { DrawFlaresFor(view, queue); }));
  std::vector<int> markers, chain;
  for (const FedSprite& s : sprites) markers.push_back(s.marker);
  for (const Ghost& e : Chain) chain.push_back(e.sprite);
  std::vector<int> want = chain;
  want.insert(want.end(), {Glow, Ring});
  want.insert(want.end(), chain.begin(), chain.end());
  EXPECT_EQ(markers, want) << "flash, blast, (no star), flash";
  ASSERT_EQ(sprites.size(), want.size());
  EXPECT_NEAR(sprites[0].x / Unit, 1.0f, 1e-4f) << "the first flash at the centre";
  EXPECT_GT(sprites[9].x / Unit, 1.0f) << "the blast right of it";
  EXPECT_EQ(queue.count, 0);
}

}  // namespace
}  // namespace varenko

// Particle drawing on a real OpenGL context, caught in feedback mode (sprites as marker lists) or
// read back as pixels; the batched pass held against the per-sprite reference: the same pools
// drawn both ways give the same picture, and the batch keeps its arrays, order and state.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "renderer/host/settings.h"
#include "renderer/scene/particle_batch.h"
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

// A particle of `kind` at the origin, in front of the camera, drawn with the sharp-edged disc.
Particle Make(ParticleKind kind, float size) {
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

// The renderer's sprites, sky and ring mesh as start-up builds them, and marker lists.
class ParticleGl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!gltest::SharedContext().ready()) return;
    ApplyDefaults();
    srand(3);
    BuildFormulaSprites();
    BuildSmokeSprites();
    BuildSky();
    BuildRingMesh();
    marker = gltest::MarkerLists(1, 11);
    ringMarker = gltest::MarkerLists(1, 3);
  }
  static void TearDownTestSuite() { ClearPool(); }
  static inline unsigned marker = 0, ringMarker = 0;  // for a particle's sprite and RingSprite
};

class ParticleDrawGl : public ParticleGl {
 protected:
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

  unsigned ringSprite = 0;
};

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
    for (GLenum cap : {GL_CULL_FACE, GL_TEXTURE_2D, GL_BLEND}) EXPECT_TRUE(glIsEnabled(cap)) << cap;
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
  EXPECT_NEAR(gltest::PixelAt(pixels, Size, 64, 64).g, 128, 4) << "core under half-opaque smoke";
  EXPECT_NEAR(gltest::PixelAt(pixels, Size, 75, 64).r, 128, 4) << "red body under the smoke";
}

constexpr int Width = 320, Height = 180;  // the batch's pictures

class ParticleBatchGl : public ParticleGl {
 protected:
  void SetUp() override {
    const gltest::OffscreenContext& context = gltest::PreparedContext(Width, Height);
    ASSERT_TRUE(context.ready()) << context.failure();
    ClearPool();
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, static_cast<double>(Width) / Height, 1.0, 40000.0);
    Turn(20.0f, 0.0f, 0.0f);
    depthEye = Vec3(0.0f, 300.0f, 1500.0f);
  }
  void TearDown() override { referenceParticleDraw = false; }

  // The camera at (0, 300, 1500) turned right by `yaw`, tilted by `pitch` and rolled by `roll`
  // degrees, and its billboard.
  static void Turn(float yaw, float pitch, float roll) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(roll, 0.0f, 0.0f, 1.0f);
    glGetDoublev(GL_MODELVIEW_MATRIX, BillboardMatrix);
    glLoadIdentity();
    glRotatef(-roll, 0.0f, 0.0f, 1.0f);
    glRotatef(-pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(-yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, -300.0f, -1500.0f);
  }

  static Particle& Add(ParticleKind kind, unsigned list, Vec3 pos, float size, Vec3 colour,
                       float alpha) {
    Particle& p = AllocateParticle() = Make(kind, size);
    p.spriteList = list;
    p.pos = pos;
    p.colour = colour;
    p.alpha = alpha;
    ComputeDepthKey(p);
    return p;
  }

  // A crowd like a show's: stars of every glowing kind, sparkles, flashes and smoke puffs, at
  // random places in front of the camera.
  static void FillShow(int count, unsigned seed) {
    srand(seed);
    for (int i = 0; i < count; ++i) {
      const Vec3 pos(U(-900.0f, 900.0f), U(0.0f, 900.0f), U(-1500.0f, 900.0f));
      const Vec3 colour(U(0.0f, 1.0f), U(0.0f, 1.0f), U(0.0f, 1.0f));
      const float alpha = U(0.1f, 1.0f);
      const int kind = Q(6);
      if (kind < 2)
        Add(Smoke, SmokeSprite[Q(4)], pos, U(20.0f, 120.0f), Scaled(colour, 0.4f), alpha);
      else if (kind == 2)
        Add(Flash, GlowSprite, pos, U(50.0f, 300.0f), colour, alpha);
      else if (kind == 3)
        Add(Star, SparkleSprite, pos, U(5.0f, 40.0f), colour, alpha);
      else
        Add(Q(2) == 0 ? TrailStar : Bee, Q(2) == 0 ? DiscSprite : GlowSprite, pos, U(5.0f, 40.0f),
            colour, alpha);
    }
    MaintainPool();
  }

  static std::vector<unsigned char> Draw(bool reference) {
    referenceParticleDraw = reference;
    glClearColor(0.1f, 0.1f, 0.15f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawParticles();
    referenceParticleDraw = false;
    return gltest::SharedContext().ReadPixels();
  }

  // Rasterizing the same quad from corners rounded differently may move an edge across a row of
  // pixel centres, so single pixels may differ by a sprite's faint rim; a sprite missing, moved,
  // recoloured or blended in the wrong order changes a whole block.
  struct Difference {
    double mean;        // mean absolute difference over the colour channels, in grey levels
    int strayPixels;    // pixels with a channel more than 4 levels apart
    double worstBlock;  // largest mean difference over one 8 x 8 block
    int lit;            // pixels the reference lights above the background
  };
  static Difference Compare(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b) {
    Difference d = {};
    // The last row and column of blocks may be partial (180 rows are 22.5 blocks).
    constexpr std::size_t across = (Width + 7) / 8;
    std::vector<double> blocks(across * ((Height + 7) / 8), 0.0);
    for (std::size_t i = 0; i < a.size(); i += 4) {
      const std::size_t pixel = i / 4;
      int worst = 0;
      for (int c = 0; c < 3; ++c) {
        const int diff = std::abs(a[i + c] - b[i + c]);
        d.mean += diff;
        blocks[(pixel / Width / 8) * across + pixel % Width / 8] += diff / (64.0 * 3.0);
        if (diff > worst) worst = diff;
      }
      if (worst > 4) ++d.strayPixels;
      if (a[i] + a[i + 1] + a[i + 2] > 120) ++d.lit;
    }
    d.mean /= static_cast<double>(a.size() / 4 * 3);
    for (double block : blocks) d.worstBlock = std::max(d.worstBlock, block);
    return d;
  }
  static Difference DrawnAlikeBothWays() {
    MaintainPool();
    const auto reference = Draw(true);
    const Difference d = Compare(reference, Draw(false));
    EXPECT_LT(d.mean, 0.2);
    EXPECT_LE(d.strayPixels, 20);
    EXPECT_LT(d.worstBlock, 1.5);
    return d;
  }
  // One world unit to the pixel, facing the camera.
  static void PixelCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, Width, 0.0, Height, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int i = 0; i < 16; ++i) BillboardMatrix[i] = (i % 5 == 0) ? 1.0 : 0.0;
  }

  static void Fill() {
    MaintainPool();
    FillParticleBatch(CurrentBatchView());
  }
};

TEST_F(ParticleBatchGl, ShowCrowdLooksTheSameBothWays) {
  for (int count : {300, 3000}) {
    SCOPED_TRACE(count);
    FillShow(count, 17u + static_cast<unsigned>(count));
    EXPECT_GT(DrawnAlikeBothWays().lit, 1000) << "the crowd is on screen";
    EXPECT_GT(particleBatch.runCount, 1);
    EXPECT_LT(particleBatch.runCount, count / 4) << "sprites share runs";
    ClearPool();
  }
}

// Under a camera that is turned, tilted and rolled, the batch sends the corners and colours the
// per-sprite reference sends, sprite for sprite (corners cut at the screen's edge aside).
TEST_F(ParticleBatchGl, BatchSendsTheReferenceCornersAndColours) {
  Turn(20.0f, -15.0f, 30.0f);
  FillShow(150, 9);
  // Corners drawn by each way, duplicates of one sprite's strip or quad counted once.
  auto corners = [](bool reference) {
    referenceParticleDraw = reference;
    std::vector<gltest::FedVertex> out;
    for (const gltest::Fed& f : gltest::Feedback([] { DrawParticles(); })) {
      for (const gltest::FedVertex& v : f.vertex) {
        if (v.x < 0.01f || v.y < 0.01f || v.x > Width - 0.01f || v.y > Height - 0.01f) continue;
        const bool seen = std::any_of(out.begin(), out.end(), [&](const gltest::FedVertex& o) {
          return o.x == v.x && o.y == v.y && o.r == v.r && o.g == v.g && o.b == v.b && o.a == v.a;
        });
        if (!seen) out.push_back(v);
      }
    }
    referenceParticleDraw = false;
    return out;
  };
  const auto reference = corners(true), batched = corners(false);
  auto unmatched = [](const std::vector<gltest::FedVertex>& a,
                      const std::vector<gltest::FedVertex>& b) {
    int missing = 0;
    for (const gltest::FedVertex& v : a) {
      missing += std::none_of(b.begin(), b.end(), [&](const gltest::FedVertex& o) {
        return std::fabs(o.x - v.x) < 0.02f && std::fabs(o.y - v.y) < 0.02f &&
               std::fabs(o.r - v.r) < 1e-3f && std::fabs(o.g - v.g) < 1e-3f &&
               std::fabs(o.b - v.b) < 1e-3f && std::fabs(o.a - v.a) < 1e-3f;
      });
    }
    return missing;
  };
  EXPECT_GT(reference.size(), 300u) << "the crowd is on screen";
  EXPECT_EQ(unmatched(reference, batched), 0) << "corners the batch left out or moved";
  EXPECT_EQ(unmatched(batched, reference), 0) << "corners the reference never drew";
}

TEST_F(ParticleBatchGl, OverlappingSmokeAndLightKeepThePoolOrder) {
  // Four layers on one spot, far to near: red star, dark smoke, green star, dark smoke. Only the
  // pool order gives the reference's mix; a green star moved before the first smoke would be
  // dimmed twice.
  const Vec3 spot(0.0f, 300.0f, 0.0f);
  Add(Star, DiscSprite, Vec3(spot.x, spot.y, spot.z - 30.0f), 200.0f, Vec3(1, 0, 0), 1.0f);
  Add(Smoke, SmokeSprite[0], Vec3(spot.x, spot.y, spot.z - 20.0f), 400.0f, Vec3(0, 0, 0), 0.7f);
  Add(Star, DiscSprite, Vec3(spot.x, spot.y, spot.z - 10.0f), 200.0f, Vec3(0, 1, 0), 1.0f);
  Add(Smoke, SmokeSprite[1], spot, 400.0f, Vec3(0, 0, 0), 0.7f);
  // A star far off to the side overlaps no smoke and may join the first run.
  Add(Star, GlowSprite, Vec3(-2500.0f, 300.0f, 0.0f), 200.0f, Vec3(0, 0, 1), 1.0f);
  DrawnAlikeBothWays();
  EXPECT_EQ(particleBatch.runCount, 4) << "light, smoke, light, smoke";
}

TEST_F(ParticleBatchGl, SmokeAndLightApartShareTwoRuns) {
  // Alternating smoke and stars in depth, each kind on its own side of the screen: no sprite
  // covers another, so the order between the kinds is free.
  for (int i = 0; i < 40; ++i) {
    const float z = -1000.0f + 40.0f * static_cast<float>(i);
    if (i % 2 == 0)
      Add(Smoke, SmokeSprite[i % 5], Vec3(-500.0f, 300.0f, z), 30.0f, Vec3(1, 1, 1), 0.8f);
    else
      Add(Star, GlowSprite, Vec3(300.0f, 300.0f, z), 20.0f, Vec3(1, 1, 0), 0.8f);
  }
  DrawnAlikeBothWays();
  EXPECT_EQ(particleBatch.runCount, 2);
}

TEST_F(ParticleBatchGl, BlastKeepsItsPlaceAndTheStateIsLeftClean) {
  Add(Star, GlowSprite, Vec3(0.0f, 300.0f, -100.0f), 300.0f, Vec3(1, 0, 0), 1.0f);
  Particle& blast = Add(Blast, GlowSprite, Vec3(0.0f, 250.0f, 0.0f), 400.0f, Vec3(1, 1, 1), 1.0f);
  blast.lifeFrac = 0.9f;  // shock ring and ring flare
  Add(Star, GlowSprite, Vec3(0.0f, 300.0f, 100.0f), 300.0f, Vec3(0, 1, 0), 1.0f);
  Add(Smoke, SmokeSprite[2], Vec3(0.0f, 300.0f, 200.0f), 300.0f, Vec3(0, 0, 0), 0.5f);
  DrawnAlikeBothWays();
  ASSERT_EQ(particleBatch.runCount, 4);
  EXPECT_NE(particleBatch.runs[1].blast, nullptr) << "star, blast, star, smoke";
  for (GLenum array : {GL_VERTEX_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_COLOR_ARRAY})
    EXPECT_FALSE(glIsEnabled(array)) << array;
  for (GLenum cap : {GL_BLEND, GL_CULL_FACE}) EXPECT_TRUE(glIsEnabled(cap)) << cap;
}

TEST_F(ParticleBatchGl, SkippedSpritesGiveNoQuads) {
  Add(Star, GlowSprite, Vec3(0, 300, 0), 20.0f, Vec3(1, 1, 1), 1.0f).lifeFrac = 0.0f;
  Add(Smoke, SmokeSprite[0], Vec3(0, 300, 3000), 20.0f, Vec3(1, 1, 1), 1.0f);  // behind the eye
  Add(SubShell, GlowSprite, Vec3(0, 300, 0), 20.0f, Vec3(1, 1, 1), 1.0f);
  Add(Star, 0, Vec3(0, 300, 0), 20.0f, Vec3(1, 1, 1), 1.0f);               // no sprite
  Add(Star, GlowSprite, Vec3(20000, 300, 0), 20.0f, Vec3(1, 1, 1), 1.0f);  // off screen
  Fill();
  EXPECT_EQ(particleBatch.vertexCount, 0);
  EXPECT_EQ(particleBatch.runCount, 0);
  Add(Flash, GlowSprite, Vec3(0, 300, 0), 20.0f, Vec3(1, 0, 0), 1.0f);
  Add(Star, GlowSprite, Vec3(0, 300, 0), 20.0f, Vec3(1, 1, 1), 1.0f);
  Add(Smoke, SmokeSprite[0], Vec3(0, 300, 0), 20.0f, Vec3(1, 1, 1), 1.0f).depthKey = 0.0f;
  Fill();
  EXPECT_EQ(particleBatch.vertexCount, 16) << "a flash is one quad, a star two, smoke at 0 one";
}

TEST_F(ParticleBatchGl, SpritesReachingAPixelCentreAtAnEdgeAreKept) {
  // One world unit to the pixel, facing the camera: 20-pixel stars whose edge lies 0.7 pixel
  // inside each edge of the screen cover the outermost pixel centres there.
  PixelCamera();
  const float in = 10.0f - 0.7f;  // centre beyond the edge by the half size less 0.7
  const Vec3 centres[4] = {{Width + in, 90, 0}, {-in, 90, 0}, {160, Height + in, 0}, {160, -in, 0}};
  for (const Vec3& c : centres)
    Add(Star, GlowSprite, c, 20.0f, Vec3(1, 1, 1), 1.0f).depthKey = 1.0f;
  FillParticleBatch(CurrentBatchView());
  EXPECT_EQ(particleBatch.vertexCount, 4 * 8);
}

// A light in front of smoke waits for the smoke's run wherever its square reaches the smoke's
// screen tiles: by a sliver across a tile border, or everywhere when it reaches behind the eye.
TEST_F(ParticleBatchGl, LightReachingSmokeByASliverOrFromBehindTheEyeComesAfterIt) {
  GLdouble model[16], projection[16], x = 0, y = 0, z = 0;
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  gluUnProject(160, 8, 0.999, model, projection, viewport, &x, &y, &z);  // in the bottom tile row
  const Vec3 low(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
  Add(Star, GlowSprite, Vec3(0, 600, 0), 20.0f, Vec3(1, 1, 1), 1.0f).depthKey = 300.0f;
  Add(Smoke, SmokeSprite[0], low, 1.0f, Vec3(1, 1, 1), 1.0f).depthKey = 200.0f;
  Add(Star, GlowSprite, Vec3(0, 300, 1600), 20.0f, Vec3(1, 1, 1), 1.0f).depthKey = 100.0f;
  Fill();
  EXPECT_EQ(particleBatch.runCount, 3) << "from behind the eye";

  ClearPool();
  PixelCamera();
  Add(Star, GlowSprite, Vec3(10, 90, 0), 10.0f, Vec3(1, 1, 1), 1.0f).depthKey = 300.0f;
  Add(Smoke, SmokeSprite[0], Vec3(50, 90, 0), 20.0f, Vec3(1, 1, 1), 1.0f).depthKey = 200.0f;
  // Reaches x = 32.8: the pixel centre at 32.5 lies in the smoke's tile.
  Add(Star, GlowSprite, Vec3(22.8f, 90, 0), 20.0f, Vec3(1, 1, 1), 1.0f).depthKey = 100.0f;
  Fill();
  EXPECT_EQ(particleBatch.runCount, 3) << "by a sliver";
}

TEST_F(ParticleBatchGl, ArraysStopGrowingOnceTheyHoldTheShow) {
  FillShow(2000, 5);
  FillParticleBatch(CurrentBatchView());
  const BatchVertex* vertices = particleBatch.vertices.data();
  const BatchRun* runs = particleBatch.runs.data();
  const BatchItem* items = particleBatch.items.data();
  const std::size_t tiles = particleBatch.tileLastRun.capacity();
  for (int frame = 0; frame < 3; ++frame) {
    FillParticleBatch(CurrentBatchView());
    EXPECT_EQ(particleBatch.vertices.data(), vertices);
    EXPECT_EQ(particleBatch.runs.data(), runs);
    EXPECT_EQ(particleBatch.items.data(), items);
    EXPECT_EQ(particleBatch.tileLastRun.capacity(), tiles);
  }
}

}  // namespace
}  // namespace varenko

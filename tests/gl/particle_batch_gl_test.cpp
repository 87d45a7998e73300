// The batched particle pass against the per-sprite reference on a real OpenGL context: the same
// pools drawn both ways give the same picture, and the batch keeps its arrays, order and state.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "renderer/host/settings.h"
#include "renderer/scene/particle_batch.h"
#include "renderer/scene/particle_draw.h"
#include "renderer/scene/sky.h"
#include "renderer/scene/sprites.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/sprite_lists.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

constexpr int Width = 320;
constexpr int Height = 180;

class ParticleBatchGl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!gltest::PreparedContext(Width, Height).ready()) return;
    ApplyDefaults();
    srand(3);
    BuildFormulaSprites();
    BuildSmokeSprites();
    BuildSky();
    BuildRingMesh();
  }
  static void TearDownTestSuite() { ClearPool(); }
  void SetUp() override {
    const gltest::OffscreenContext& context = gltest::PreparedContext(Width, Height);
    ASSERT_TRUE(context.ready()) << context.failure();
    ClearPool();
    // The camera at (0, 300, 1500) turned 20 degrees to the right, and its billboard.
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, static_cast<double>(Width) / Height, 1.0, 40000.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotatef(20.0f, 0.0f, 1.0f, 0.0f);
    glGetDoublev(GL_MODELVIEW_MATRIX, BillboardMatrix);
    glPopMatrix();
    glRotatef(-20.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, -300.0f, -1500.0f);
    depthEye = Vec3(0.0f, 300.0f, 1500.0f);
  }
  void TearDown() override { referenceParticleDraw = false; }

  static Particle& Add(ParticleKind kind, unsigned list, Vec3 pos, float size, Vec3 colour,
                       float alpha) {
    Particle& p = AllocateParticle();
    p.kind = kind;
    p.spriteList = list;
    p.pos = pos;
    p.colour = colour;
    p.size = size;
    p.alpha = alpha;
    p.lifeFrac = 0.5f;
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

  // The pool in drawing order, put into the batch.
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
  glLoadIdentity();
  glRotatef(20.0f, 0.0f, 1.0f, 0.0f);
  glRotatef(-15.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
  glGetDoublev(GL_MODELVIEW_MATRIX, BillboardMatrix);
  glLoadIdentity();
  glRotatef(-30.0f, 0.0f, 0.0f, 1.0f);
  glRotatef(15.0f, 1.0f, 0.0f, 0.0f);
  glRotatef(-20.0f, 0.0f, 1.0f, 0.0f);
  glTranslatef(0.0f, -300.0f, -1500.0f);
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
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
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

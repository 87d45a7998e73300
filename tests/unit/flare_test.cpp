// Lens flare: intensities of flashes and finale objects, the edge fade, and the collection's
// in-front test, capacity and order.
#include "renderer/scene/flare.h"

#include <gtest/gtest.h>

#include <cmath>

#include "renderer/host/settings.h"
#include "renderer/sim/pool.h"

namespace varenko {
namespace {

TEST(FlareIntensity, FlashFadesLinearlyWithDistanceFinaleByOneMinusLToTheFourth) {
  EXPECT_FLOAT_EQ(FlashFlareIntensity(20, 1.0f, 0.0f), 0.2f);
  EXPECT_FLOAT_EQ(FlashFlareIntensity(20, 1.0f, 5000.0f), 0.1f);
  EXPECT_FLOAT_EQ(FlashFlareIntensity(20, 1.0f, 10000.0f), 0.0f);
  EXPECT_FLOAT_EQ(FlashFlareIntensity(20, 1.0f, 15000.0f), 0.0f);
  EXPECT_FLOAT_EQ(FlashFlareIntensity(100, 0.5f, 0.0f), 0.5f);
  // A finale object's: flareBrightness 20, alpha 1: l = 0.8, 1 - l^4 = 0.5904; the distance term is
  // 1 at the eye.
  EXPECT_NEAR(FinaleFlareIntensity(20, 1.0f, 0.0f), 0.5904f, 1e-5);
  EXPECT_NEAR(FinaleFlareIntensity(20, 1.0f, 10000.0f), 0.5 * 0.5904, 1e-5);
  EXPECT_FLOAT_EQ(FinaleFlareIntensity(20, 0.5f, 0.0f), 0.0f);
  // Below half opacity the factor turns negative: the streak adds no light.
  EXPECT_LT(FinaleFlareIntensity(20, 0.2f, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(FinaleFlareIntensity(20, 1.0f, 25000.0f), 0.0f);
}

// Exactly inside the screen or on its edges: full; over the margin (a tenth of the width): faded
// by the part crossed, on each side crossed; beyond it, or nowhere at all: dropped.
TEST(FlareEdgeFade, FullOnScreenFadingOverTheMarginDroppedBeyond) {
  const float aspect = 16.0f / 9.0f, m = 0.1f * aspect, nan = std::nanf("");
  struct Case {
    float x, y;
    bool kept;
    float intensity;
  };
  // clang-format off
  const Case cases[] = {
      {0, 0, true, 1}, {aspect, 1, true, 1}, {0.5f, -m / 2, true, 0.5f},
      {0.5f, 1 + m / 4, true, 0.75f}, {-m / 2, 0.5f, true, 0.5f},
      {aspect + m / 2, 0.5f, true, 0.5f}, {-m / 2, -m / 2, true, 0.25f},
      {0.5f, -m, true, 0}, {-m, 0.5f, true, 0}, {0.5f, -m * 1.01f, false, 0},
      {0.5f, 1 + m * 1.01f, false, 0}, {-m * 1.01f, 0.5f, false, 0},
      {aspect + m * 1.01f, 0.5f, false, 0}, {1e30f, 0.5f, false, 0}, {nan, 0.5f, false, 0},
      {0.5f, nan, false, 0}};
  // clang-format on
  for (const Case& c : cases) {
    float i = 1.0f;
    EXPECT_EQ(FadeAtScreenEdges(c.x, c.y, aspect, i), c.kept) << c.x << "," << c.y;
    if (c.kept) {
      EXPECT_FLOAT_EQ(i, c.intensity) << c.x << "," << c.y;
    }
  }
  float i = 1.0f;
  EXPECT_FALSE(FadeAtScreenEdges(0.5f, 0.5f, 0.0f, i)) << "a screen without width";
}

// A camera at the origin looking down -z with a 60-degree perspective on a 200 x 100 client.
FlareView LookingDownMinusZ() {
  FlareView v = {};
  v.eyePos = v.savedEye = Vec3(0, 0, 0);
  v.lookTarget = Vec3(0, 0, -10);
  for (int i = 0; i < 16; ++i) v.modelView[i] = (i % 5 == 0) ? 1.0 : 0.0;
  // gluPerspective(60, 2, 1, 40000)
  const double f = 1.0 / 0.5773502691896258, n = 1.0, fa = 40000.0;
  v.projection[0] = f / 2.0;
  v.projection[5] = f;
  v.projection[10] = (fa + n) / (n - fa);
  v.projection[11] = -1.0;
  v.projection[14] = 2.0 * fa * n / (n - fa);
  v.viewport[2] = v.clientWidth = 200;
  v.viewport[3] = v.clientHeight = 100;
  v.aspect = 2.0f;
  return v;
}

Particle& AddFlaring(unsigned kind, float x, float y, float z) {
  Particle& p = AllocateParticle();
  p.kind = kind;
  p.pos.Set(x, y, z);
  p.colour.Set(0.25f, 0.5f, 0.75f);
  p.alpha = 1.0f;
  p.depthKey = -z;  // keeps it live; the collection only reads the pool order
  return p;
}

class FlareCollection : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPool();
    ApplyDefaults();
  }
  void TearDown() override { ClearPool(); }
  FlareRequestQueue queue = {};
};

TEST_F(FlareCollection, QueuesOnlyLightsMoreThanOneUnitInFront) {
  AddFlaring(Flash, 0, 0, -1000);    // straight ahead: the screen centre
  AddFlaring(Flash, 0, 0, 1000);     // behind the camera
  AddFlaring(Flash, 0, 0, -1.0f);    // exactly one unit in front: not more than one
  AddFlaring(Star, 0, 0, -500);      // not a flaring kind
  AddFlaring(Blast, 100, 0, -1000);  // a finale object: a streak
  Particle& faded = AddFlaring(Gather, 0, 0, -2000);
  faded.alpha = 0.5f;  // 1 - l^4 = 0: queued, invisible
  AddFlaring(Swirl, 0, 0, -3000);
  AddFlaring(RingWave, 0, 0, -3000);
  CollectFlares(LookingDownMinusZ(), queue);

  ASSERT_EQ(queue.count, 5);
  EXPECT_EQ(queue.request[3].isStreak + queue.request[4].isStreak, 2.0f);
  const FlareRequest& flash = queue.request[0];
  EXPECT_EQ(flash.isStreak, 0.0f);
  EXPECT_NEAR(flash.x, 1.0f, 1e-4);  // centre: aspect / 2
  EXPECT_NEAR(flash.y, 0.5f, 1e-4);
  EXPECT_FLOAT_EQ(flash.red, 0.25f);
  EXPECT_FLOAT_EQ(flash.blue, 0.75f);
  EXPECT_NEAR(flash.intensity, FlashFlareIntensity(20, 1.0f, 1000.0f), 1e-6);

  const FlareRequest& blast = queue.request[1];
  EXPECT_EQ(blast.isStreak, 1.0f);
  EXPECT_GT(blast.x, 1.0f);  // right of centre
  EXPECT_NEAR(blast.intensity, FinaleFlareIntensity(20, 1.0f, std::sqrt(1010000.0f)), 1e-5);
  EXPECT_EQ(queue.request[2].intensity, 0.0f);
}

TEST_F(FlareCollection, StopsAtCapacityKeepingThePoolOrder) {
  for (int i = 0; i < 150; ++i) AddFlaring(Flash, 0, 0, -5000.0f + static_cast<float>(i));
  MaintainPool();  // far to near
  CollectFlares(LookingDownMinusZ(), queue);
  ASSERT_EQ(queue.count, FlareQueueCapacity);
  // The first request is the farthest flash (5000 units), the last the 110th farthest.
  EXPECT_NEAR(queue.request[0].intensity, FlashFlareIntensity(20, 1, 5000), 1e-6);
  EXPECT_NEAR(queue.request[109].intensity, FlashFlareIntensity(20, 1, 4891), 1e-6);
}

}  // namespace
}  // namespace varenko

// Lens flare: intensities of flashes and finale objects, the edge fade, and the collection's
// in-front test, capacity and order.
#include "renderer/scene/flare.h"

#include <gtest/gtest.h>

#include "renderer/host/settings.h"
#include "renderer/sim/pool.h"

namespace varenko {
namespace {

TEST(FlareIntensity, FlashFadesLinearlyWithDistance) {
  EXPECT_FLOAT_EQ(FlashFlareIntensity(20, 1.0f, 0.0f), 0.2f);
  EXPECT_FLOAT_EQ(FlashFlareIntensity(20, 1.0f, 5000.0f), 0.1f);
  EXPECT_FLOAT_EQ(FlashFlareIntensity(20, 1.0f, 10000.0f), 0.0f);
  EXPECT_FLOAT_EQ(FlashFlareIntensity(20, 1.0f, 15000.0f), 0.0f);
  EXPECT_FLOAT_EQ(FlashFlareIntensity(100, 0.5f, 0.0f), 0.5f);
}

TEST(FlareIntensity, FinaleFactorOneMinusLToTheFourth) {
  // flareBrightness 20, alpha 1: l = 0.8, 1 - l^4 = 0.5904; the distance term is 1 at the eye.
  EXPECT_NEAR(FinaleFlareIntensity(20, 1.0f, 0.0f), 0.5904f, 1e-5);
  EXPECT_NEAR(FinaleFlareIntensity(20, 1.0f, 10000.0f), 0.5 * 0.5904, 1e-5);
  EXPECT_FLOAT_EQ(FinaleFlareIntensity(20, 0.5f, 0.0f), 0.0f);
  // Below half opacity the factor turns negative: the streak adds no light.
  EXPECT_LT(FinaleFlareIntensity(20, 0.2f, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(FinaleFlareIntensity(20, 1.0f, 25000.0f), 0.0f);
}

TEST(FlareEdgeFade, FullOnScreenFadingOverTheMarginDroppedBeyond) {
  const float aspect = 16.0f / 9.0f;
  const float m = 0.1f * aspect;
  float i = 1.0f;
  EXPECT_TRUE(FadeAtScreenEdges(0.0f, 0.0f, aspect, i));
  EXPECT_FLOAT_EQ(i, 1.0f);
  i = 1.0f;
  EXPECT_TRUE(FadeAtScreenEdges(aspect, 1.0f, aspect, i));
  EXPECT_FLOAT_EQ(i, 1.0f);

  i = 1.0f;
  EXPECT_TRUE(FadeAtScreenEdges(0.5f, -m / 2, aspect, i));  // half the margin below
  EXPECT_FLOAT_EQ(i, 0.5f);
  i = 1.0f;
  EXPECT_TRUE(FadeAtScreenEdges(0.5f, 1.0f + m / 4, aspect, i));  // a quarter above
  EXPECT_FLOAT_EQ(i, 0.75f);
  i = 1.0f;
  EXPECT_TRUE(FadeAtScreenEdges(-m / 2, 0.5f, aspect, i));
  EXPECT_FLOAT_EQ(i, 0.5f);
  i = 1.0f;
  EXPECT_TRUE(FadeAtScreenEdges(aspect + m / 2, 0.5f, aspect, i));
  EXPECT_FLOAT_EQ(i, 0.5f);
  i = 1.0f;  // a corner outside both edges fades twice
  EXPECT_TRUE(FadeAtScreenEdges(-m / 2, -m / 2, aspect, i));
  EXPECT_FLOAT_EQ(i, 0.25f);

  i = 1.0f;
  EXPECT_FALSE(FadeAtScreenEdges(0.5f, -m * 1.01f, aspect, i));
  EXPECT_FALSE(FadeAtScreenEdges(0.5f, 1.0f + m * 1.01f, aspect, i));
  EXPECT_FALSE(FadeAtScreenEdges(-m * 1.01f, 0.5f, aspect, i));
  EXPECT_FALSE(FadeAtScreenEdges(aspect + m * 1.01f, 0.5f, aspect, i));
  EXPECT_FALSE(FadeAtScreenEdges(1e30f, 0.5f, aspect, i));
}

}  // namespace
}  // namespace varenko

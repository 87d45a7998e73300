// The renderer's generator: its sequence, range and the U and Q draws.
#include "renderer/sim/random.h"

#include <gtest/gtest.h>

#include "tests/unit/show_test_support.h"

namespace varenko {
namespace {

TEST(Random, KnownSequenceFromSeed) {
  // state = state * 214013 + 2531011; result = (state >> 16) & 0x7FFF
  srand(0);
  EXPECT_EQ(rand(), 38);
  EXPECT_EQ(rand(), 7719);
  EXPECT_EQ(rand(), 21238);
  srand(1);
  EXPECT_EQ(rand(), 41);
  EXPECT_EQ(rand(), 18467);
  EXPECT_EQ(rand(), 6334);
}

TEST(Random, StateWrapsModulo2To32AndStaysInRange) {
  srand(0xFFFFFFFFu);
  for (int i = 0; i < 100000; ++i) {
    const int r = rand();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 32767);
  }
  srand(0xFFFFFFFFu);
  rand();
  EXPECT_EQ(RandState(), 0xFFFFFFFFu * 214013u + 2531011u);
}

TEST(Random, UniformDrawUsesSinglePrecisionFactor) {
  srand(SeedForDraw(0));
  EXPECT_FLOAT_EQ(U(2.0f, 3.0f), 2.0f);
  srand(SeedForDraw(32767));
  EXPECT_FLOAT_EQ(U(2.0f, 3.0f), 3.0f);
  srand(SeedForDraw(16384));
  const float factor = (500.0f - 400.0f) / 32767.0f;
  EXPECT_EQ(U(400.0f, 500.0f), 400.0f + 16384.0f * factor);
  srand(SeedForDraw(32767));
  EXPECT_FLOAT_EQ(U(-0.5f, 0.5f), 0.5f);
}

TEST(Random, QGivesNOnlyForTheLargestDraw) {
  srand(SeedForDraw(32767));
  EXPECT_EQ(Q(6), 6);
  srand(SeedForDraw(32766));
  EXPECT_EQ(Q(6), 5);
  srand(SeedForDraw(0));
  EXPECT_EQ(Q(3000), 0);
  // A huge n must not overflow the product.
  srand(SeedForDraw(32767));
  EXPECT_EQ(Q(2147483647), 2147483647);
}

}  // namespace
}  // namespace varenko

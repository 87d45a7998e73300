// Pixel-format choice by score, over made-up driver format lists.
#include "renderer/host/pixel_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace varenko {
namespace {

constexpr std::uint32_t Window = PfdSupportOpenGL | PfdDrawToWindow | PfdDoubleBuffer;

PixelFormatRecord Hardware(int colour, int depth) {
  return {Window, PfdTypeRgba, static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(depth)};
}
PixelFormatRecord Generic(int colour, int depth, bool accelerated) {
  return {Window | PfdGenericFormat | (accelerated ? PfdGenericAccelerated : 0u), PfdTypeRgba,
          static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(depth)};
}

int Best(const std::vector<PixelFormatRecord>& formats) {
  return BestPixelFormat([&formats](int index, PixelFormatRecord& f) {
    if (index < 1 || index > static_cast<int>(formats.size())) return false;
    f = formats[static_cast<std::size_t>(index - 1)];
    return true;
  });
}

TEST(PixelFormat, Scores) {
  EXPECT_EQ(ScorePixelFormat(Hardware(16, 16)), 2048);
  EXPECT_EQ(ScorePixelFormat(Hardware(32, 24)), 2072);
  EXPECT_EQ(ScorePixelFormat(Generic(24, 32, false)), 84);
  EXPECT_EQ(ScorePixelFormat(Hardware(16, 24)), 2064);
  EXPECT_EQ(ScorePixelFormat(Hardware(32, 16)), 2056);
  EXPECT_EQ(ScorePixelFormat(Generic(24, 32, true)), 1084);
  // Colour beyond 16 bits counts half, rounding toward zero: 17 bits loses nothing.
  EXPECT_EQ(ScorePixelFormat(Hardware(17, 0)), 2017);
}

TEST(PixelFormat, UnsuitableFormatsScoreNothing) {
  PixelFormatRecord single = Hardware(32, 24);
  single.dwFlags &= ~PfdDoubleBuffer;
  PixelFormatRecord bitmap = Hardware(32, 24);
  bitmap.dwFlags &= ~PfdDrawToWindow;
  PixelFormatRecord noGl = Hardware(32, 24);
  noGl.dwFlags &= ~PfdSupportOpenGL;
  PixelFormatRecord indexed = Hardware(32, 24);
  indexed.iPixelType = 1;
  for (const PixelFormatRecord& f : {single, bitmap, noGl, indexed})
    EXPECT_EQ(ScorePixelFormat(f), 0);
  EXPECT_EQ(Best({single, bitmap, noGl, indexed}), 0);  // the fallback descriptor is asked for
  EXPECT_EQ(Best({}), 0);
}

TEST(PixelFormat, Choice) {
  EXPECT_EQ(Best({Hardware(16, 16), Hardware(32, 24), Generic(24, 32, false)}), 2);
  EXPECT_EQ(Best({Hardware(32, 16), Hardware(16, 24)}), 2);
  // Equal scores: the lowest index stays.
  EXPECT_EQ(Best({Generic(32, 32, false), Hardware(24, 24), Hardware(24, 24)}), 2);
  // Only generic formats: an accelerated one beats every plain one.
  EXPECT_EQ(Best({Generic(32, 32, false), Generic(16, 16, true), Generic(32, 24, false)}), 2);
  EXPECT_EQ(Best({Generic(16, 16, false), Generic(32, 24, false)}), 2);
}

TEST(PixelFormat, EndlessDriverListIsBounded) {
  int asked = 0;
  const int best = BestPixelFormat(
      [&asked](int, PixelFormatRecord& f) {
        ++asked;
        f = Hardware(16, 16);
        return true;
      },
      500);
  EXPECT_EQ(best, 1);
  EXPECT_EQ(asked, 500);
}

}  // namespace
}  // namespace varenko

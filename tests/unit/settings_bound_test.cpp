// The settings that size the show count no further than the dialog goes, and as stored inside it.
#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "renderer/sim/saver_settings.h"

namespace varenko {
namespace {

TEST(SettingsInUse, CountNoFurtherThanTheDialogGoes) {
  // The stored value, then maxShells, windSpeed and the longest smoke life as the show uses them.
  // clang-format off
  const int cases[][4] = {{INT_MIN, INT_MIN, -100, INT_MIN}, {-101, -101, -100, -101},
      {-100, -100, -100, -100}, {-1, -1, -1, -1}, {0, 0, 0, 0}, {1, 1, 1, 1}, {29, 29, 29, 29},
      {30, 30, 30, 30}, {31, 30, 31, 30}, {99, 30, 99, 30}, {100, 30, 100, 30},
      {101, 30, 100, 30}, {32767, 30, 100, 30}, {INT_MAX, 30, 100, 30}};
  // clang-format on
  for (const auto& c : cases) {
    settings.maxShells = settings.windSpeed = settings.smokeSpan = c[0];
    BuildSmokeLifeTable();
    EXPECT_EQ(ShellCap(), c[1]) << c[0];
    EXPECT_EQ(WindInUse(), c[2]) << c[0];
    EXPECT_EQ(SmokeLifeTable[7], static_cast<float>(c[3])) << c[0];
  }
  settings = {10, 5, 20, 10, 20, 20, 1, 1, 0};
}

TEST(SettingsInUse, PictureSettingsCountWithinTheDialogsRanges) {
  // The stored value, then the ambient level, star density and flare brightness in use.
  // clang-format off
  const int cases[][4] = {{INT_MIN, 0, 0, 0}, {-1, 0, 0, 0}, {0, 0, 0, 0}, {1, 1, 1, 1},
      {30, 30, 30, 30}, {31, 30, 31, 31}, {100, 30, 100, 100}, {101, 30, 100, 100},
      {INT_MAX, 30, 100, 100}};
  // clang-format on
  for (const auto& c : cases) {
    settings.ambientLevel = settings.starDensity = settings.flareBrightness = c[0];
    EXPECT_EQ((std::array{AmbientInUse(), StarsInUse(), FlareInUse()}),
              (std::array{c[1], c[2], c[3]}))
        << c[0];
  }
  settings = {10, 5, 20, 10, 20, 20, 1, 1, 0};
}

}  // namespace
}  // namespace varenko

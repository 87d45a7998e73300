// How far the settings that size the show count: no further than the settings dialog goes, in
// either direction, and exactly as stored inside its ranges.
#include <gtest/gtest.h>

#include <climits>

#include "renderer/sim/saver_settings.h"

namespace varenko {
namespace {

TEST(SettingsInUse, CountNoFurtherThanTheDialogGoes) {
  const struct {
    int stored, shells, wind, smokeLife;
  } cases[] = {
      {INT_MIN, INT_MIN, -100, INT_MIN},
      {-101, -101, -100, -101},
      {-100, -100, -100, -100},
      {-1, -1, -1, -1},
      {0, 0, 0, 0},
      {1, 1, 1, 1},
      {29, 29, 29, 29},
      {30, 30, 30, 30},
      {31, 30, 31, 30},
      {99, 30, 99, 30},
      {100, 30, 100, 30},
      {101, 30, 100, 30},
      {32767, 30, 100, 30},
      {INT_MAX, 30, 100, 30},
  };
  for (const auto& c : cases) {
    settings.maxShells = c.stored;
    settings.windSpeed = c.stored;
    settings.smokeSpan = c.stored;
    EXPECT_EQ(ShellCap(), c.shells) << c.stored;
    EXPECT_EQ(WindInUse(), c.wind) << c.stored;
    BuildSmokeLifeTable();
    EXPECT_EQ(SmokeLifeTable[7], static_cast<float>(c.smokeLife)) << c.stored;
    EXPECT_EQ(SmokeLifeTable[3], c.smokeLife < 2 ? static_cast<float>(c.smokeLife) : 2.0f);
  }
  settings = {10, 5, 20, 10, 20, 20, 1, 1};
}

}  // namespace
}  // namespace varenko

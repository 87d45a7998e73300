// Renderer settings: defaults, the settings file and the smoke-puff lifetime table. The atoi
// reading is checked against the C library's by the settings fuzz target.
#include "renderer/host/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <fstream>
#include <string>

namespace varenko {
namespace {

// The settings in value-name order.
std::array<int, 8> Settings() {
  return {settings.maxShells,    settings.smokeSpan,   settings.windSpeed,
          settings.ambientLevel, settings.starDensity, settings.flareBrightness,
          settings.cloudy,       settings.illumination};
}

TEST(SettingText, ReadsLikeAtoiAndSaturates) {
  // clang-format off
  const std::pair<std::string, int> cases[] = {
      {"10", 10}, {"  \t-5x", -5}, {"+7", 7}, {"abc", 0}, {"", 0}, {"2.5", 2}, {"- 3", 0},
      {"0012", 12}, {"\v\f\r\n9", 9}, {"\b9", 0}, {"\x0e" "9", 0}, {"-", 0},
      {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"99999999999", INT_MAX},
      {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN}, {"-99999999999999999999999999", INT_MIN},
      {std::string(300, '9'), INT_MAX}};
  // clang-format on
  for (const auto& [text, value] : cases) EXPECT_EQ(SettingTextToInt(text), value) << text;
}

TEST(SettingText, DefaultsAndStoringByValueName) {
  ApplyDefaults();
  EXPECT_EQ(Settings(), (std::array{10, 5, 20, 10, 20, 20, 1, 1}));
  for (int i = 0; i < 8; ++i) StoreSettingText(i, std::to_string(100 + i));
  StoreSettingText(-1, "7");
  StoreSettingText(8, "7");
  EXPECT_EQ(Settings(), (std::array{100, 101, 102, 103, 104, 105, 106, 107}));
}

TEST(SmokeLifeTable, FollowsTheSpan) {
  // The default span 5, then 1 and 10.
  const std::pair<int, std::array<float, 8>> spans[] = {
      {5, {0.4f, 0.8f, 0.4f, 2.0f, 0.4f, 0.8f, 0.4f, 5.0f}},
      {1, {0.4f, 0.8f, 0.4f, 1.0f, 0.4f, 0.8f, 0.4f, 1.0f}},
      {10, {0.4f, 0.8f, 0.4f, 2.0f, 0.4f, 0.8f, 0.4f, 10.0f}}};
  ApplyDefaults();
  for (const auto& [span, life] : spans) {
    if (span != 5) settings.smokeSpan = span;
    BuildSmokeLifeTable();
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(SmokeLifeTable[i], life[i]) << span << ", " << i;
  }
}

class SettingsFile : public ::testing::Test {
 protected:
  // ctest runs each test in its own process, side by side: each needs a file of its own.
  std::string path = ::testing::TempDir() + "varenko-settings-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                     std::to_string(getpid());
  void Write(const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(SettingsFile, MissingFileKeepsDefaults) {
  ApplyDefaults();
  EXPECT_FALSE(ReadSettingsFile(path + "-does-not-exist"));
  EXPECT_FALSE(ReadSettingsFile(""));
  EXPECT_EQ(Settings(), (std::array{10, 5, 20, 10, 20, 20, 1, 1}));
}

TEST_F(SettingsFile, ReadsValuesOverDefaultsAndIgnoresBadLines) {
  Write("03=30\r\n06=abc\ngarbage line\n=5\n0=7\n08=2\n04=-5\n05=99999999999\n01=1\n01=3\n" +
        std::string("02=") + std::string(300, '1') + "\n" + "07=" + std::string(254, '0') +
        "2\r\n");
  ApplyDefaults();
  EXPECT_TRUE(ReadSettingsFile(path));
  // The last of duplicate lines wins; an over-long value is ignored; non-numeric text reads as 0,
  // as in the registry; 255 characters before the line's \r are read.
  EXPECT_EQ(Settings(), (std::array{10, 3, 20, 30, -5, INT_MAX, 0, 2}));
}

TEST_F(SettingsFile, OnlyTheFirst64KiBCount) {
  // Any bytes are safe (the settings fuzz target); a line beyond the first 64 KiB has no effect.
  Write(std::string(MaxSettingsFileBytes, '\n') + "00=3\n");
  ApplyDefaults();
  EXPECT_TRUE(ReadSettingsFile(path));
  EXPECT_EQ(Settings(), (std::array{10, 5, 20, 10, 20, 20, 1, 1}));
}

TEST(SettingsPath, FollowsXdgConfigHome) {
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = oldXdg ? oldXdg : "";
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(DefaultSettingsPath(), "/tmp/cfg/varenko/settings");
  setenv("XDG_CONFIG_HOME", "", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(DefaultSettingsPath(), "/home/someone/.config/varenko/settings");
  if (oldXdg)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace varenko

// The Linux renderer's command line: good values and hostile ones.
#include "renderer/host/options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace varenko {
namespace {

ParseResult Parse(std::initializer_list<const char*> args) {
  std::vector<const char*> argv{"varenko"};
  argv.insert(argv.end(), args);
  return ParseOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(Options, EveryOption) {
  const ParseResult r =
      Parse({"--window", "1280x720", "--seed", "4294967295", "--fixed-dt", "0.04", "--frames",
             "300", "--screenshot", "out.png", "--settings", "s.txt", "--stats", "--burst", "21"});
  ASSERT_EQ(r.status, ParseStatus::Run) << r.error;
  EXPECT_TRUE(r.options.windowed);
  EXPECT_EQ(r.options.windowWidth, 1280);
  EXPECT_EQ(r.options.windowHeight, 720);
  EXPECT_TRUE(r.options.seeded);
  EXPECT_EQ(r.options.seed, 4294967295u);
  EXPECT_TRUE(r.options.fixedStep);
  EXPECT_FLOAT_EQ(r.options.fixedDt, 0.04f);
  EXPECT_EQ(r.options.frames, 300);
  EXPECT_EQ(r.options.screenshotPath, "out.png");
  EXPECT_EQ(r.options.settingsPath, "s.txt");
  EXPECT_TRUE(r.options.stats);
  EXPECT_EQ(r.options.burstKind, 21);
}

TEST(Options, NoOptionsRunsTheFullScreenSaver) {
  const ParseResult r = Parse({});
  ASSERT_EQ(r.status, ParseStatus::Run);
  EXPECT_FALSE(r.options.windowed);
  EXPECT_FALSE(r.options.seeded);
  EXPECT_FALSE(r.options.fixedStep);
  EXPECT_EQ(r.options.frames, 0);
  EXPECT_EQ(r.options.burstKind, -1);
  EXPECT_EQ(Parse({"--help"}).status, ParseStatus::Help);
}

TEST(Options, HostileValuesAreErrors) {
  const std::vector<std::vector<const char*>> bad = {
      {"--window", "0x0"},
      {"--window", "99999x99999"},
      {"--window", "640"},
      {"--window", "640x"},
      {"--window", "x480"},
      {"--window", "-640x480"},
      {"--window", "640x480x3"},
      {"--window", " 640x480"},
      {"--frames", "-1"},
      {"--frames", "0"},
      {"--frames", "1e3"},
      {"--frames", "12abc"},
      {"--frames", "99999999999999999999999"},
      {"--fixed-dt", "nan"},
      {"--fixed-dt", "inf"},
      {"--fixed-dt", "-0.1"},
      {"--fixed-dt", "0"},
      {"--fixed-dt", "1e-300"},
      {"--fixed-dt", "0.04s"},
      {"--fixed-dt", ""},
      {"--seed", "-1"},
      {"--seed", "4294967296"},
      {"--seed", "seven"},
      {"--burst", "22"},
      {"--burst", "-1"},
      {"--burst", "x"},
      {"--screenshot", ""},
      {"--window"},
      {"--seed"},
      {"--frames"},
      {"--fixed-dt"},
      {"--screenshot"},
      {"--settings"},
      {"--burst"},
      {"--fullscreen"},
      {"window"},
  };
  for (const auto& args : bad) {
    std::vector<const char*> argv{"varenko"};
    argv.insert(argv.end(), args.begin(), args.end());
    const ParseResult r = ParseOptions(static_cast<int>(argv.size()), argv.data());
    std::string shown;
    for (const char* a : args) shown += std::string(a) + " ";
    EXPECT_EQ(r.status, ParseStatus::Error) << shown;
    EXPECT_FALSE(r.error.empty()) << shown;
    EXPECT_EQ(r.error.find('\n'), std::string::npos) << shown;
  }
}

TEST(Options, LongValuesAreShortenedInTheMessage) {
  const std::string huge(100000, '9');
  const ParseResult r = Parse({"--frames", huge.c_str()});
  ASSERT_EQ(r.status, ParseStatus::Error);
  EXPECT_LT(r.error.size(), 200u);
}

}  // namespace
}  // namespace varenko

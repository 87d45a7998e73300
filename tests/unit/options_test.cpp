// The Linux renderer's command line: good values and hostile ones.
#include "renderer/host/options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "renderer/host/settings.h"

namespace varenko {
namespace {

// The renderer's settings in value-name order.
std::array<int, 8> Settings() {
  return {settings.maxShells,    settings.smokeSpan,   settings.windSpeed,
          settings.ambientLevel, settings.starDensity, settings.flareBrightness,
          settings.cloudy,       settings.illumination};
}

ParseResult Parse(const std::vector<const char*>& args) {
  std::vector<const char*> argv{"varenko"};
  argv.insert(argv.end(), args.begin(), args.end());
  return ParseOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(Options, EveryOption) {
  const ParseResult r =
      Parse({"--window", "1280x720", "--seed", "4294967295", "--fixed-dt", "0.04", "--frames",
             "300", "--screenshot", "out.png", "--settings", "s.txt", "--stats", "--burst", "21"});
  ASSERT_EQ(r.status, ParseStatus::Run) << r.error;
  const HostOptions& o = r.options;
  EXPECT_EQ(std::tie(o.windowed, o.windowWidth, o.windowHeight, o.seeded, o.seed, o.fixedStep),
            std::tuple(true, 1280, 720, true, 4294967295u, true));
  EXPECT_FLOAT_EQ(o.fixedDt, 0.04f);
  EXPECT_EQ(std::tie(o.frames, o.screenshotPath, o.settingsPath, o.stats, o.burstKind),
            std::tuple(300, "out.png", "s.txt", true, 21));
}

TEST(Options, NoOptionsRunsTheFullScreenSaver) {
  const ParseResult r = Parse({});
  ASSERT_EQ(r.status, ParseStatus::Run);
  const HostOptions& o = r.options;
  EXPECT_EQ(std::tie(o.windowed, o.seeded, o.fixedStep, o.frames, o.burstKind),
            std::tuple(false, false, false, 0, -1));
  EXPECT_EQ(Parse({"--help"}).status, ParseStatus::Help);
  EXPECT_EQ(Parse({"--version"}).status, ParseStatus::Version);
  EXPECT_EQ(Parse({"--frames", "1"}).options.frames, 1);  // the smallest count
}

// Hostile values are refused with one line that, where given here, names the option, the range it
// takes and the value in quotes.
TEST(Options, HostileValuesAreOneLineErrors) {
  std::string seventeen = "1x1+0+0";
  for (int i = 0; i < 16; ++i) seventeen += ",1x1+0+0";
  const std::string longStep = "0.04" + std::string(61, '0');  // a step, but 65 characters long
  const std::string huge(100000, '9');  // a long value is shortened in the message
  // clang-format off
  const struct { std::vector<const char*> args; const char* message = nullptr; } cases[] = {
      {{"--bogus"}, "unknown option \"--bogus\""},
      {{"--root", "--window", "9x9"}, "choose one of --window, --root and --window-id"},
      {{"--record", "d"}, "--record needs --frames N and --fixed-dt SECONDS"},
      {{"--record-audio", "a.wav", "--frames", "9"},
       "--record-audio needs --frames N and --fixed-dt SECONDS"},
      {{"--window", "0x0"}}, {{"--window", "99999x99999"}}, {{"--window", "640"}},
      {{"--window", "640x"}}, {{"--window", "x480"}}, {{"--window", "-640x480"}},
      {{"--window", "640x480x3"}}, {{"--window", " 640x480"}}, {{"--frames", "-1"}},
      {{"--frames", "1e3"}}, {{"--frames", "12abc"}}, {{"--frames", "99999999999999999999999"}},
      {{"--fixed-dt", "nan"}}, {{"--fixed-dt", "inf"}}, {{"--fixed-dt", "-0.1"}},
      {{"--fixed-dt", "0"}}, {{"--fixed-dt", "1e-300"}}, {{"--fixed-dt", "0.04s"}},
      {{"--fixed-dt", ""}}, {{"--seed", "4294967296"}}, {{"--seed", "seven"}}, {{"--burst", "-1"}},
      {{"--burst", "x"}}, {{"--fullscreen"}}, {{"window"}}, {{"--window-id", "0"}},
      {{"--window-id", "0x"}}, {{"--window-id", "0x100000000"}}, {{"--window-id", "4294967296"}},
      {{"--window-id", "0x12g4"}}, {{"--window-id", "-5"}}, {{"--window-id", "12 "}},
      {{"--root", "--window-id", "0x400001"}}, {{"--max-shells", "10x"}},
      {{"--max-shells", "-"}}, {{"--max-shells", ""}}, {{"--clouds", "yes"}},
      {{"--record", "out", "--frames", "10"}}, {{"--record", "out", "--fixed-dt", "0.04"}},
      {{"--record", "", "--frames", "10", "--fixed-dt", "0.04"}},
      {{"--max-fps", "-1"}}, {{"--max-fps", "30fps"}},
      {{"--monitors", "640x480"}}, {{"--monitors", "640x480+0+0,"}}, {{"--monitors", "0x480+0+0"}},
      {{"--monitors", "640x480+0+0+0"}}, {{"--monitors", "640x480+99999+0"}},
      {{"--monitors", seventeen.c_str()}}, {{"--power-supply", ""}},
      {{"--fixed-dt", longStep.c_str()}}, {{"--frames", huge.c_str()}}};
  // clang-format on
  for (const auto& c : cases) {
    const ParseResult r = Parse(c.args);
    std::string shown;
    for (const char* a : c.args) shown += std::string(a) + " ";
    EXPECT_EQ(r.status, ParseStatus::Error) << shown;
    EXPECT_FALSE(r.error.empty()) << shown;
    EXPECT_EQ(r.error.find('\n'), std::string::npos) << shown;
    EXPECT_LT(r.error.size(), 200u) << shown;
    EXPECT_TRUE(c.message == nullptr || r.error == c.message) << r.error;
  }
  const char* nullArgument[] = {"varenko", nullptr};
  EXPECT_EQ(ParseOptions(2, nullArgument).error, "unknown option \"\"");
}

// Every option that takes a value: the largest (or a typical) value it takes, a value it refuses
// and the error for that. The option rows and the settings table hold exactly these options.
// clang-format off
const struct { const char* name; const char* good; const char* bad; const char* message; }
    ValueCases[] = {
    {"--window", "16384x1", "0x1", "--window takes WIDTHxHEIGHT, each 1 to 16384, not \"0x1\""},
    {"--window-id", "0xFFFFFFFF", "q",
     "--window-id takes a window id (0x hexadecimal or decimal), not \"q\""},
    {"--seed", "4294967295", "-1", "--seed takes a whole number 0 to 4294967295, not \"-1\""},
    {"--fixed-dt", "60", "61", "--fixed-dt takes seconds above 0 and at most 60, not \"61\""},
    {"--frames", "1000000000", "0", "--frames takes a whole number 1 to 1000000000, not \"0\""},
    {"--screenshot", "out.png", "", "--screenshot needs a file name"},
    {"--settings", "s.txt", "", "--settings needs a file name"},
    {"--record", "d", "", "--record needs a folder name"},
    {"--record-audio", "a.wav", "", "--record-audio needs a file name"},
    {"--burst", "21", "22", "--burst takes a burst kind 0 to 21, not \"22\""},
    {"--max-fps", "1000", "1001", "--max-fps takes a whole number 0 to 1000, not \"1001\""},
    {"--power-supply", "p", "", "--power-supply needs a folder name"},
    {"--monitors", "1x1+0+0", "1x1", "--monitors takes WxH+X+Y,... (1 to 16 monitors), not \"1x1\""},
    {"--max-shells", "+30", "ten", "--max-shells takes a whole number, not \"ten\""},
    {"--smoke-span", "-1", "1.5", "--smoke-span takes a whole number, not \"1.5\""},
    {"--wind", "100", "x", "--wind takes a whole number, not \"x\""},
    {"--ambient", "0", " 1", "--ambient takes a whole number, not \" 1\""},
    {"--stars", "7", "-", "--stars takes a whole number, not \"-\""},
    {"--flare", "7", "7x", "--flare takes a whole number, not \"7x\""},
    {"--clouds", "0", "2", "--clouds takes 0 or 1, not \"2\""},
    {"--illumination", "1", "-1", "--illumination takes 0 or 1, not \"-1\""},
    {"--sound", "100", "loud", "--sound takes a whole number, not \"loud\""}};
// clang-format on

TEST(Options, EveryRowTakesItsValuesAndRefusesWithItsError) {
  std::vector<std::string> names;
  for (const OptionRow& row : OptionRows())
    if (row.value != nullptr) names.push_back(row.name);
  for (const SettingRow& row : SettingsTable) names.push_back(row.option);
  ASSERT_EQ(names.size(), std::size(ValueCases));
  for (const auto& c : ValueCases) {
    EXPECT_NE(std::find(names.begin(), names.end(), c.name), names.end()) << c.name;
    const std::string dashed = std::string(c.name).substr(1);  // XScreenSaver's spelling
    // A recording needs its count and step; they come first so that the row under test wins.
    EXPECT_EQ(Parse({"--frames", "1", "--fixed-dt", "1", dashed.c_str(), c.good}).status,
              ParseStatus::Run)
        << c.name;
    EXPECT_EQ(Parse({c.name, c.bad}).error, c.message);
    EXPECT_EQ(Parse({c.name}).error, std::string(c.name) + " needs a value");
  }
  for (const OptionRow& row : OptionRows())
    EXPECT_TRUE(row.value != nullptr || Parse({row.name}).status == row.ends) << row.name;
}

TEST(Options, WindowsGivenByAScreenSaverHost) {
  for (const char* spelling : {"--root", "-root"}) {
    const ParseResult r = Parse({spelling});
    ASSERT_EQ(r.status, ParseStatus::Run) << spelling;
    EXPECT_EQ(std::tuple(r.options.root, r.options.embedded(), r.options.windowed),
              std::tuple(true, true, false));
  }
  const ParseResult hex = Parse({"-window-id", "0x2A0000F"});
  const ParseResult dec = Parse({"--window-id", "4294967295"});
  EXPECT_EQ(std::tuple(hex.status, hex.options.windowId, hex.options.embedded(), dec.status,
                       dec.options.windowId),
            std::tuple(ParseStatus::Run, 0x2A0000Fu, true, ParseStatus::Run, 0xFFFFFFFFu))
      << hex.error << dec.error;

  std::uint32_t id = 0, hexId = 0;
  EXPECT_TRUE(ParseWindowId("0XffFFffFF", id) && ParseWindowId("0xa0", hexId));
  EXPECT_EQ(std::pair(id, hexId), std::pair(0xFFFFFFFFu, 0xA0u));
  EXPECT_FALSE(ParseWindowId("00000000000000000000001", id));  // too long to be a window id
  EXPECT_FALSE(ParseWindowId("", id));
}

TEST(Options, SettingsOptionsOverrideTheFileAsTheFileReadsThem) {
  const ParseResult r = Parse({"--max-shells", "3", "--smoke-span", "0", "--wind", "-7",
                               "--ambient", "+30", "--stars", "99999999999999", "--flare",
                               "-99999999999999", "--clouds", "0", "--illumination", "1"});
  ASSERT_EQ(r.status, ParseStatus::Run) << r.error;
  ApplyDefaults();
  settings.windSpeed = 55;  // as if read from the settings file: the option wins
  ApplySettingOverrides(r.options);
  // The stars and the flare saturate, as the settings file saturates.
  EXPECT_EQ(Settings(), (std::array{3, 0, -7, 30, INT_MAX, INT_MIN, 0, 1}));

  // Options not given leave the file's values alone.
  const ParseResult some = Parse({"-stars", "5"});
  ASSERT_EQ(some.status, ParseStatus::Run) << some.error;
  ApplyDefaults();
  settings.windSpeed = 55;
  ApplySettingOverrides(some.options);
  EXPECT_EQ(Settings(), (std::array{10, 5, 55, 10, 5, 20, 1, 1}));
  ApplyDefaults();
}

TEST(Options, RecordingNeedsACountAndAStep) {
  const ParseResult r = Parse({"--record", "shots", "--frames", "250", "--fixed-dt", "0.04"});
  ASSERT_EQ(r.status, ParseStatus::Run) << r.error;
  EXPECT_EQ(r.options.recordDir, "shots");
  EXPECT_EQ(RecordFramePath("shots", 1), "shots/frame-00001.png");
  EXPECT_EQ(RecordFramePath("shots/", 99999), "shots/frame-99999.png");
  EXPECT_EQ(RecordFramePath("a", 1000000000), "a/frame-1000000000.png");
}

TEST(Options, HelpListsEveryOption) {
  const std::string help = UsageText();
  for (const char* name :
       {"--window ",        "--root",       "--window-id",    "--seed",       "--fixed-dt",
        "--frames",         "--screenshot", "--settings",     "--stats",      "--burst",
        "--draw-reference", "--record",     "--max-shells",   "--smoke-span", "--wind",
        "--ambient",        "--stars",      "--flare",        "--clouds",     "--illumination",
        "--max-fps",        "--fps",        "--power-supply", "--monitors",   "--help"})
    EXPECT_NE(help.find(name), std::string::npos) << name;
  EXPECT_NE(help.find("--sky-reference"), std::string::npos);
  // Every line is a heading or an indented option line, and the text ends with its last line.
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);) {
    bool heading = false;
    for (const char* start : {"usage: varenko [options]", "Fireworks", "Settings,", "Options may"})
      heading = heading || line.rfind(start, 0) == 0;
    EXPECT_TRUE(heading || line.rfind("  ", 0) == 0) << line;
  }
  EXPECT_EQ(help.back(), '\n');
  // The columns, and a setting's range with and without a note.
  for (const char* line : {"\n  --record DIR         write every frame as DIR/frame-00001.png ...",
                           "\n  --wind N             wind speed (0 to 100)\n",
                           "\n  --smoke-span N       longest life of a smoke puff in seconds (0 "
                           "to 30; 0: no smoke)\n"})
    EXPECT_NE(help.find(line), std::string::npos) << line;
}

TEST(Options, PacingReadoutAndMonitors) {
  ParseResult r = Parse({"--max-fps", "30", "-fps", "--power-supply", "/tmp/p", "--monitors",
                         "640x480+0+0,400x300-400+10"});
  ASSERT_EQ(r.status, ParseStatus::Run) << r.error;
  EXPECT_EQ(std::tie(r.options.maxFps, r.options.showFps, r.options.powerSupplyDir),
            std::tuple(30, true, "/tmp/p"));
  ASSERT_EQ(r.options.monitors.size(), 2u);
  const MonitorRect& m = r.options.monitors[1];
  EXPECT_EQ(std::tuple(m.x, m.y, m.width), std::tuple(-400, 10, 400));
  EXPECT_EQ(EffectiveMaxFps(r.options), 30);
  EXPECT_EQ(EffectiveMaxFps(Parse({}).options), -1);  // the display's pace
  EXPECT_EQ(EffectiveMaxFps(Parse({"--fixed-dt", "0.02"}).options), 0);
  EXPECT_EQ(EffectiveMaxFps(Parse({"--fixed-dt", "0.02", "--max-fps", "60"}).options), 60);
  EXPECT_EQ(Parse({"--max-fps", "0"}).options.maxFps, 0);
  EXPECT_EQ(Parse({"--max-fps", "1000"}).options.maxFps, 1000);
}

}  // namespace
}  // namespace varenko

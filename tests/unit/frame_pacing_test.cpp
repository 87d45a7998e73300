// The pacing rule, the wait between frames, extension names and the power source.
#include "renderer/host/frame_pacing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "renderer/host/power_supply.h"

namespace varenko {
namespace {

TEST(FramePacing, PlanFromRefreshLimitAndPower) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double hz;
    int maxFps;
    bool battery;
    int interval;
    double fps;  // 0: no pacing
  } cases[] = {
      {60, -1, false, 1, 60},   {60, -1, true, 2, 30},    {144, -1, true, 2, 72},
      {0, -1, false, 1, 60},    {1000, -1, false, 1, 60}, {nan, -1, false, 1, 60},
      {19.9, -1, false, 1, 60}, {20, -1, false, 1, 20},   {500, -1, false, 1, 500},
      {60, 30, false, 2, 30},   {60, 30, true, 4, 15},    {144, 60, false, 1, 60},
      {75, 60, false, 1, 60},   {60, 200, false, 1, 60},  {60, 0, true, 0, 0},
      {0, 1, true, 8, 0.5},
  };
  for (const Case& c : cases) {
    const PacingPlan p = PlanPacing(c.hz, c.maxFps, c.battery);
    SCOPED_TRACE(std::to_string(c.hz) + " Hz, max " + std::to_string(c.maxFps));
    EXPECT_EQ(p.swapInterval, c.interval);
    EXPECT_DOUBLE_EQ(p.frameSeconds, c.fps > 0 ? 1.0 / c.fps : 0.0);
  }
}

TEST(FramePacing, WaitsHoldThePaceWithoutDriftOrBursts) {
  FramePacer pacer = {0.1, 0.0, false};
  struct Step {
    double start, end, wait;
  } steps[] = {
      {0.0, 0.02, 0.08},      // due one frame after the start
      {0.105, 0.125, 0.075},  // a late wake-up is taken off the next wait
      {0.2, 0.295, 0.0},      // a frame that took the frame time: the swap holds the pace
      {0.3, 0.31, 0.085},     // one frame after that frame's end
      {2.0, 2.01, 0.0},       // after a stall: no burst of catch-up frames...
      {2.01, 2.02, 0.09},     // ...the pace starts afresh
      {2.11, 2.05, 0.1},      // a clock that went back: never more than one frame's wait
  };
  for (const Step& s : steps) EXPECT_NEAR(NextFrameWait(pacer, s.start, s.end), s.wait, 1e-12);
  // A first frame that held the pace by itself still sets the due time of the next.
  FramePacer fresh = {0.1, 0.0, false};
  EXPECT_EQ(NextFrameWait(fresh, 0.0, 0.095), 0.0);
  EXPECT_NEAR(NextFrameWait(fresh, 0.1, 0.11), 0.085, 1e-12);
  FramePacer off = {0.0, 0.0, false};
  EXPECT_EQ(NextFrameWait(off, 0.0, 0.001), 0.0);
}

TEST(FramePacing, ExtensionNamesMatchWholeWords) {
  const char* list = "GLX_EXT_swap_control_tear GLX_MESA_swap_control GLX_SGI_swap_control";
  EXPECT_FALSE(HasExtension(list, "GLX_EXT_swap_control"));
  EXPECT_TRUE(HasExtension(list, "GLX_MESA_swap_control"));
  EXPECT_TRUE(HasExtension(list, "GLX_SGI_swap_control"));
  EXPECT_FALSE(HasExtension(list, "GLX_SGI_swap"));
  EXPECT_FALSE(HasExtension("", "GLX_EXT_swap_control"));
  EXPECT_FALSE(HasExtension(list, ""));
}

TEST(FramePacing, BatteryPowerFromTheKernelsFolder) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("varenko-power-" + std::to_string(getpid()));
  std::filesystem::remove_all(root);
  auto write = [&root](const char* supply, const char* file, const std::string& text) {
    std::filesystem::create_directories(root / supply);
    std::ofstream(root / supply / file) << text;
  };
  EXPECT_FALSE(ReadOnBatteryPower((root / "missing").string()));
  write("BAT0", "type", "Battery\n");
  write("BAT0", "status", "Discharging\n");
  EXPECT_TRUE(ReadOnBatteryPower(root.string()));  // a laptop without its adapter's folder
  write("AC", "type", "Mains\n");
  write("AC", "online", "0\n");
  EXPECT_TRUE(ReadOnBatteryPower(root.string()));
  write("AC", "online", "1\n");
  EXPECT_FALSE(ReadOnBatteryPower(root.string()));
  write("AC", "online", std::string(100000, '0'));  // hostile sizes are read only in part
  write("BAT0", "status", "Charging\n");
  EXPECT_FALSE(ReadOnBatteryPower(root.string()));
  write("BAT0", "status", "Discharging");
  write("usb", "type", "USB\n");
  write("usb", "online", "1\n");
  EXPECT_FALSE(ReadOnBatteryPower(root.string()));
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace varenko

// The saver loop against a scripted platform and scene: the set-up order, the frames' due times on
// either host's clock, the power re-check, resizes, the frame limit and the statistics.
#include "renderer/host/saver_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "renderer/host/exit_rules.h"

namespace varenko {
namespace {

// The scripted machine: a clock that only moves when the loop waits or a frame runs.
struct Fake {
  double t = 0.0;
  double frameCost = 0.004;  // seconds each frame takes
  double refreshHz = 60.0;   // what the display reports
  bool windowOpens = true;
  bool frameRuns = true;       // what the idle tick answers
  double batteryFrom = 1e9;    // on battery from this time on
  double resizeAt = 1e9;       // the window becomes 200 wide at this time
  std::vector<double> starts;  // when each frame started
  std::vector<std::string> log;
  int pumps = 0;
  int maxPumps = 1000;
};
Fake fake;

void Log(const std::string& s) { fake.log.push_back(s); }

SaverPlatform FakePlatform(bool withCursor = true) {
  SaverPlatform p;
  p.readSettings = [](void*) { Log("settings"); };
  p.openWindow = [](void*) { return Log("window"), fake.windowOpens; };
  p.clientSize = [](void*, int& w, int& h) { w = 64, h = 32; };
  p.layOutMonitors = [](void*, int w, int h) { Log("layout " + std::to_string(w * 1000 + h)); };
  p.refreshHz = [](void*) { return fake.refreshHz; };
  p.onBattery = [](void*) { return Log("power"), fake.t >= fake.batteryFrom; };
  p.setSwapInterval = [](void*, int i) { Log("swap " + std::to_string(i)); };
  p.lowerPriority = [](void*) { Log("priority"); };
  if (withCursor) p.cursorPosition = [](void*, int& x, int& y) { x = 7, y = 9; };
  p.pumpEvents = [](void*) { return ++fake.pumps <= fake.maxPumps; };
  p.waitForInput = [](void*, double s) { fake.t += s; };
  p.yield = [](void*) { Log("yield"), fake.t += 0.001; };
  p.now = [](void*) { return fake.t; };
  p.pendingSize = [](void*, int& w, int&) {
    if (fake.t >= fake.resizeAt) w = 200;
    return true;
  };
  return p;
}

SaverLoop FakeLoop(int maxFps) {
  SaverLoop loop;
  loop.maxFps = maxFps;
  loop.scene.seed = [](std::uint32_t s) { Log("seed " + std::to_string(s)); };
  loop.scene.setUp = [](int w, int h) { Log("scene " + std::to_string(w * 1000 + h)); };
  loop.scene.resize = [](int w, int h) { Log("resize " + std::to_string(w * 1000 + h)); };
  loop.scene.release = [] { Log("release"); };
  loop.scene.idleTick = [](bool active, bool) {
    if (!active || !fake.frameRuns) return false;
    fake.starts.push_back(fake.t);
    fake.t += fake.frameCost;
    return true;
  };
  loop.scene.fixedStepFrame = [](float) {
    fake.starts.push_back(fake.t);
    fake.t += fake.frameCost;
  };
  return loop;
}

TEST(SaverLoop, SetsUpInOneOrder) {
  fake = Fake{};
  saverWindow = SaverWindowState{1, 1, true, true, false, false};
  SaverLoop loop = FakeLoop(-1);
  loop.seed = 42;
  ASSERT_TRUE(StartSaver(loop, FakePlatform()));
  const std::vector<std::string> order = {"settings",     "seed 42", "window", "scene 64032",
                                          "layout 64032", "power",   "swap 1", "priority"};
  EXPECT_EQ(fake.log, order);
  EXPECT_TRUE(saverWindow.renderActive);
  EXPECT_FALSE(saverWindow.closeRequested);  // the exit rules started afresh at the cursor
  EXPECT_EQ(saverWindow.lastCursorX, 7);
  EndSaver(loop);
  EXPECT_FALSE(saverWindow.renderActive);
  EXPECT_EQ(fake.log.back(), "release");

  // Drawing back to back reads no power source; a host that starts the exit rules itself keeps
  // them; no window, nothing after it.
  fake = Fake{};
  saverWindow.closeRequested = true;
  SaverLoop unpaced = FakeLoop(0);
  ASSERT_TRUE(StartSaver(unpaced, FakePlatform(false)));
  EXPECT_EQ(fake.log, (std::vector<std::string>{"settings", "seed 0", "window", "scene 64032",
                                                "layout 64032", "swap 0", "priority"}));
  EXPECT_TRUE(saverWindow.closeRequested);
  fake = Fake{};
  fake.windowOpens = false;
  saverWindow.renderActive = false;
  EXPECT_FALSE(StartSaver(unpaced, FakePlatform()));
  EXPECT_EQ(fake.log, (std::vector<std::string>{"settings", "seed 0", "window"}));
  EXPECT_FALSE(saverWindow.renderActive);
}

// Runs a set-up loop for `frames` frames; returns the frames' start times.
std::vector<double> RunFrames(SaverLoop& loop, long long frames) {
  saverWindow = SaverWindowState{};
  EXPECT_TRUE(StartSaver(loop, FakePlatform()));
  fake.log.clear();
  loop.frameLimit = frames;
  RunSaverLoop(loop, FakePlatform());
  return fake.starts;
}

TEST(SaverLoop, FramesStartWhenDueOnEitherClock) {
  struct Case {
    int maxFps;
    double tick;  // the clock's resolution
    double cost;  // each frame's time
    double expected[4];
  } cases[] = {
      {0, 0.0, 0.004, {0, 0.004, 0.008, 0.012}},            // back to back
      {30, 0.0, 0.004, {0, 1 / 30.0, 2 / 30.0, 3 / 30.0}},  // held to 30 a second
      {-1, 0.0, 0.004, {0, 1 / 60.0, 2 / 60.0, 3 / 60.0}},  // the display's 60
      {-1, 0.0, 0.02, {0, 0.02, 0.04, 0.06}},               // slower than the display
      {-1, 0.001, 0.004, {0, 0.017, 0.033, 0.050}},         // whole milliseconds
      {-1, 0.001, 0.016, {0, 0.016, 0.032, 0.048}},         // the swap held the pace
  };
  for (const Case& c : cases) {
    fake = Fake{};
    fake.frameCost = c.cost;
    SaverLoop loop = FakeLoop(c.maxFps);
    loop.clockTick = c.tick;
    const std::vector<double> starts = RunFrames(loop, 4);
    SCOPED_TRACE(std::to_string(c.maxFps) + " fps, tick " + std::to_string(c.tick));
    ASSERT_EQ(starts.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(starts[i], c.expected[i], 1e-9) << i;
    EXPECT_EQ(loop.stats.frames, 4);
  }
  // The display's own rate sets the pace, not the rate assumed when none is reported.
  fake = Fake{};
  fake.refreshHz = 50.0;
  SaverLoop display = FakeLoop(-1);
  EXPECT_NEAR(RunFrames(display, 2).back(), 0.02, 1e-9);
}

TEST(SaverLoop, PowerResizeAndIdleTicks) {
  // The power source is read again five seconds after the last reading, before a frame.
  fake = Fake{};
  fake.batteryFrom = 4.0;
  SaverLoop loop = FakeLoop(-1);
  RunFrames(loop, 500);  // five seconds at 60, then on battery at 30
  EXPECT_EQ(fake.log, (std::vector<std::string>{"power", "swap 2", "power"}));
  EXPECT_TRUE(loop.onBattery);
  EXPECT_NEAR(loop.pacer.frameSeconds, 1 / 30.0, 1e-12);

  // A new size reaches the scene and the layout once; a tick that ran no frame gives way.
  fake = Fake{};
  fake.resizeAt = 0.005;
  fake.maxPumps = 3;
  SaverLoop resized = FakeLoop(0);
  RunFrames(resized, 0);
  EXPECT_EQ(fake.log, (std::vector<std::string>{"resize 200032", "layout 200032"}));
  fake = Fake{};
  fake.frameRuns = false;
  fake.maxPumps = 2;
  SaverLoop idle = FakeLoop(0);
  RunFrames(idle, 0);
  EXPECT_EQ(fake.log, (std::vector<std::string>{"yield", "yield"}));
  EXPECT_EQ(idle.stats.frames, 0);
  // A fixed-step run draws only while the saver window is active.
  fake = Fake{};
  fake.maxPumps = 2;
  SaverLoop fixed = FakeLoop(0);
  fixed.fixedStep = true;
  RunFrames(fixed, 0);
  EXPECT_EQ(fixed.stats.frames, 2);
  saverWindow.renderActive = false;
  fake.maxPumps = 4;
  RunSaverLoop(fixed, FakePlatform());
  EXPECT_EQ(fixed.stats.frames, 2);
}

TEST(SaverLoop, StatisticsAndTheWrappingClock) {
  FrameStats s;
  for (const double end : {0.010, 0.030, 0.060}) CountFrame(s, end - 0.005, end);
  CountFrame(s, 0.070, 0.090);
  EXPECT_EQ(s.frames, 4);
  EXPECT_NEAR(MeanFrameMs(s), 35.0 / 4, 1e-9);
  EXPECT_NEAR(s.worstMs, 20.0, 1e-9);
  EXPECT_EQ(s.intervals, 3);  // 20, 30, 30 ms between the frames' ends
  EXPECT_NEAR(MeanIntervalMs(s), 80.0 / 3, 1e-9);
  EXPECT_NEAR(IntervalDeviationMs(s), 4.714045, 1e-6);
  EXPECT_NEAR(s.intervalWorstMs, 30.0, 1e-9);
  FrameStats even;  // frames at an even pace deviate by nothing
  for (const double end : {0.1, 0.2, 0.3}) CountFrame(even, end - 0.01, end);
  EXPECT_NEAR(IntervalDeviationMs(even), 0.0, 1e-6);
  EXPECT_EQ(MeanFrameMs(FrameStats{}), 0.0);
  EXPECT_EQ(MeanIntervalMs(FrameStats{}), 0.0);
  EXPECT_EQ(IntervalDeviationMs(FrameStats{}), 0.0);

  MillisecondClock clock;
  EXPECT_EQ(ClockSeconds(clock, 0xFFFFFFF0u), 0.0);
  EXPECT_NEAR(ClockSeconds(clock, 0x10u), 0.032, 1e-12);  // across the wrap
  EXPECT_NEAR(ClockSeconds(clock, 0x20u), 0.048, 1e-12);
}

}  // namespace
}  // namespace varenko

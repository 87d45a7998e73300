// The frame step: smoothing over five intervals, a stalled clock and the counter's wrap.
#include "renderer/scene/frame_clock.h"

#include <gtest/gtest.h>

namespace varenko {
namespace {

TEST(FrameClock, MeanOfTheLastFiveIntervals) {
  FrameClock c = InitialFrameClock();
  // The first tick has no previous one: its interval is 0 and the other slots hold 0.03.
  EXPECT_FLOAT_EQ(TickFrameClock(c, 1000), 0.024f);
  std::uint32_t t = 1000;
  for (std::uint32_t ms : {10u, 20u, 30u, 40u, 50u}) TickFrameClock(c, t += ms);
  EXPECT_FLOAT_EQ(c.dt, 0.03f);
  TickFrameClock(c, t += 100);  // replaces the oldest slot (10 ms)
  EXPECT_FLOAT_EQ(c.dt, 0.048f);
  EXPECT_EQ(c.historyIndex, 2);
}

TEST(FrameClock, StalledCounterGivesZeroStepUntilTimeMoves) {
  FrameClock c = InitialFrameClock();
  for (int i = 0; i < 5; ++i) TickFrameClock(c, 777);
  EXPECT_EQ(c.dt, 0.0f);  // the idle tick draws nothing with this step
  EXPECT_EQ(TickFrameClock(c, 777), 0.0f);
  EXPECT_FLOAT_EQ(TickFrameClock(c, 782), 0.001f);
}

TEST(FrameClock, WrappedCounterRepeatsTheCurrentStep) {
  FrameClock c = InitialFrameClock();
  std::uint32_t t = 0xFFFFFF00u;
  TickFrameClock(c, t);
  for (int i = 0; i < 5; ++i) TickFrameClock(c, t += 20);
  ASSERT_FLOAT_EQ(c.dt, 0.02f);
  TickFrameClock(c, 5);  // the counter wrapped between the two ticks
  EXPECT_FLOAT_EQ(c.dt, 0.02f);
  EXPECT_EQ(c.lastTick, 5u);
  TickFrameClock(c, 45);  // and measures normally from the new value
  EXPECT_FLOAT_EQ(c.dt, 0.024f);
}

}  // namespace
}  // namespace varenko

// The frame clock: the time step of each frame, measured between idle ticks on a millisecond
// counter and smoothed over the last five intervals, and the run's time warp.
#pragma once

#include <cstdint>

namespace varenko {

inline constexpr int FrameHistorySize = 5;

struct FrameClock {
  bool started;                     // lastTick is taken on the first tick
  std::uint32_t lastTick;           // milliseconds, wraps after about 49.7 days
  float history[FrameHistorySize];  // last intervals in seconds
  int historyIndex;                 // slot the next interval goes to
  float dt;                         // the frame step every time-based update uses
  int timeWarp;                     // drawn at the first frame; 0 runs the show five times faster
};

extern FrameClock frameClock;

// The clock before the first tick: every history slot 0.03 s.
FrameClock InitialFrameClock();

// One idle tick at counter value `now`: the interval since the previous tick enters the history
// and dt becomes the mean of the history. An interval that spans a wrap of the counter is replaced
// by the current dt. Returns dt.
float TickFrameClock(FrameClock& clock, std::uint32_t now);

}  // namespace varenko

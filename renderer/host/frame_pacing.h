// When the next frame may start: the pace chosen from the display's refresh rate, the user's
// limit and the power source, and the wait that holds it when the buffer swap does not.
#pragma once

#include <string_view>

namespace varenko {

inline constexpr double UnknownRefreshHz = 60.0;
// Refresh rates outside this range are taken for a driver's mistake and read as unknown.
inline constexpr double LowestRefreshHz = 20.0;
inline constexpr double HighestRefreshHz = 500.0;
inline constexpr int MaxFpsLimit = 1000;  // --max-fps takes 0 to this

// What the loop does between frames.
struct PacingPlan {
  int swapInterval;     // for the driver's swap control: 0 no wait, n every n-th refresh
  double frameSeconds;  // the shortest time from one frame's start to the next; 0: no pacing
};

// The display's refresh rate as reported, or 60 when the report is missing or not believable.
double SaneRefreshHz(double reportedHz);

// maxFps: -1 follows the display; 0 draws back to back (no pace, no swap wait, whatever the
// power source); n > 0 draws at most n frames a second. On battery the pace is halved.
PacingPlan PlanPacing(double reportedHz, int maxFps, bool onBattery);

// The loop's pacing state, on a clock in seconds.
struct FramePacer {
  double frameSeconds;  // from the plan; 0 or less: no pacing
  double due;           // when the next frame may start
  bool started;         // due is set
};

// A frame that started at `start` has ended at `now`. Returns how long to wait before the next
// frame starts (0 to frameSeconds). When the frame itself took most of the frame time, the swap
// waits for the display (or the machine is slower than the pace) and no wait is added, so a
// display-paced loop is never pushed past its refresh. Otherwise the next start is one frame
// after the last one was due, so the waits' rounding does not add up; after a stall the pace
// starts afresh instead of catching up.
double NextFrameWait(FramePacer& pacer, double start, double now);

// A frame's busy time at or above this share of the frame time means the pace is already held.
inline constexpr double PaceHeldShare = 0.9;

// True when `name` is one of the space-separated names of an OpenGL extension string.
bool HasExtension(std::string_view extensions, std::string_view name);

}  // namespace varenko

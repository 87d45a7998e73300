// The saver's loop, written once for both hosts: the set-up order, the pacing and its power-source
// re-check, when the next frame is due, and the frame statistics. A host hands in what only it
// can do (window, context, events, clock, swap control) as a record of functions.
#pragma once

#include <cstdint>

#include "renderer/host/frame_pacing.h"
#include "renderer/host/saver_sound.h"
#include "renderer/scene/frame.h"

namespace varenko {

inline constexpr double PowerCheckSeconds = 5.0;  // how often the power source is read again

// What only a host can do. `self` is handed back to every function. Optional ones may be null.
struct SaverPlatform {
  void* self = nullptr;
  void (*readSettings)(void* self) = nullptr;  // the settings source into the settings record
  bool (*openWindow)(void* self) = nullptr;    // window and context, current; false: none
  void (*clientSize)(void* self, int& width, int& height) = nullptr;
  void (*layOutMonitors)(void* self, int width, int height) = nullptr;
  double (*refreshHz)(void* self) = nullptr;  // the display's as reported; 0 unknown
  bool (*onBattery)(void* self) = nullptr;
  void (*setSwapInterval)(void* self, int interval) = nullptr;
  void (*lowerPriority)(void* self) = nullptr;
  // The cursor's screen position, to start the exit rules with; null: the host starts them.
  void (*cursorPosition)(void* self, int& x, int& y) = nullptr;
  bool (*pumpEvents)(void* self) = nullptr;  // handles what waits; false: the loop ends
  void (*waitForInput)(void* self, double seconds) = nullptr;  // or until something arrives
  void (*yield)(void* self) = nullptr;                         // no frame ran: give way
  double (*now)(void* self) = nullptr;                         // seconds on a steady clock
  // Optional: the window's newest size (true when the host knows one), applied before a frame.
  bool (*pendingSize)(void* self, int& width, int& height) = nullptr;
};

// The scene the loop drives; the real one unless a test hands in another.
struct SaverScene {
  void (*seed)(std::uint32_t seed) = SeedShow;
  void (*setUp)(int width, int height) = SetUpScene;
  void (*resize)(int width, int height) = ResizeScene;
  bool (*idleTick)(bool renderActive, bool passwordDialogOpen) = IdleTick;
  void (*fixedStepFrame)(float step) = RunFixedStepFrame;
  void (*release)() = ReleaseScene;
};

// Frame times (from a frame's start to its end) and intervals (between the ends of successive
// frames: what the pacing holds), in milliseconds.
struct FrameStats {
  long long frames = 0;
  double totalMs = 0.0;
  double worstMs = 0.0;
  long long intervals = 0;
  double intervalSumMs = 0.0;
  double intervalSquaresMs = 0.0;
  double intervalWorstMs = 0.0;
  double lastEnd = -1.0;  // seconds; negative before the first frame
};

// A frame ran from `start` to `end` (seconds).
void CountFrame(FrameStats& s, double start, double end);
double MeanFrameMs(const FrameStats& s);
double MeanIntervalMs(const FrameStats& s);
double IntervalDeviationMs(const FrameStats& s);  // the standard deviation

struct SaverLoop {
  // Set by the host before the set-up.
  std::uint32_t seed = 0;
  int maxFps = -1;  // -1 follows the display, 0 back to back, n at most n a second
  bool fixedStep = false;
  float fixedDt = 0.0f;
  long long frameLimit = 0;  // 0: until the host ends the loop
  double clockTick = 0.0;    // the clock's resolution: due times are whole ticks; 0: none
  SaverScene scene;
  SaverSound sound;  // its preview flag and record file; the rest is the sound's own
  // The loop's own state.
  double refreshHz = 0.0;
  bool onBattery = false;
  FramePacer pacer = {0.0, 0.0, false};
  double powerCheckedAt = 0.0;
  double due = 0.0;  // when the next frame may start
  int width = 0;     // the size the scene was last given
  int height = 0;
  FrameStats stats;
};

// The set-up in its one order: settings, seed, window and context, scene, monitor layout,
// refresh rate and power source, pacing, sound, lower priority, exit rules, render active. False
// when the window or context could not be made (nothing after it ran).
bool StartSaver(SaverLoop& loop, const SaverPlatform& p);

// Frames until the platform's events end the loop or the frame limit is reached: each frame once
// it is due (its sound with it), the power source read again every PowerCheckSeconds, a sleep
// until the next frame.
void RunSaverLoop(SaverLoop& loop, const SaverPlatform& p);

// Rendering stops, the sound stops and the scene lets go of what it holds.
void EndSaver(SaverLoop& loop);

// The next frame's due time after a frame from `start` to `end`, on a clock of `tick` seconds.
double NextFrameDue(FramePacer& pacer, double start, double end, double tick);

// A steady clock from a millisecond counter that wraps at 2^32 (read at least once per wrap).
struct MillisecondClock {
  bool started = false;
  std::uint32_t last = 0;
  std::uint64_t total = 0;
};
double ClockSeconds(MillisecondClock& clock, std::uint32_t tick);

}  // namespace varenko

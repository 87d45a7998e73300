// Measurement and smoothing of the frame step.
#include "renderer/scene/frame_clock.h"

namespace varenko {

FrameClock frameClock = InitialFrameClock();

FrameClock InitialFrameClock() {
  FrameClock c{};
  c.started = false;
  c.lastTick = 0;
  for (float& h : c.history) h = 0.03f;
  c.historyIndex = 0;
  c.dt = 0.03f;
  c.timeWarp = 0;
  return c;
}

float TickFrameClock(FrameClock& clock, std::uint32_t now) {
  if (!clock.started) {
    clock.started = true;
    clock.lastTick = now;
  }
  const std::uint32_t prev = clock.lastTick;
  clock.lastTick = now;
  // A counter that went backwards (it wraps every 49.7 days) gives no usable interval; the
  // current step stands in for it, so the show neither jumps nor stalls across the wrap.
  const float sample = now < prev ? clock.dt : static_cast<float>(now - prev) * 0.001f;

  clock.history[clock.historyIndex] = sample;
  clock.historyIndex = clock.historyIndex == FrameHistorySize - 1 ? 0 : clock.historyIndex + 1;
  float sum = 0.0f;
  for (float h : clock.history) sum += h;
  clock.dt = sum * 0.2f;
  return clock.dt;
}

}  // namespace varenko

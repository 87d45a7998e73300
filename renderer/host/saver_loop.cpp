// The saver loop both hosts run: set-up order, pacing, power re-check, frame due times, statistics.
#include "renderer/host/saver_loop.h"

#include <algorithm>
#include <cmath>

#include "renderer/host/exit_rules.h"
#include "renderer/sim/saver_settings.h"

namespace varenko {

void CountFrame(FrameStats& s, double start, double end) {
  const double ms = (end - start) * 1000.0;
  ++s.frames;
  s.totalMs += ms;
  s.worstMs = std::max(s.worstMs, ms);
  if (s.lastEnd >= 0.0) {
    const double interval = (end - s.lastEnd) * 1000.0;
    ++s.intervals;
    s.intervalSumMs += interval;
    s.intervalSquaresMs += interval * interval;
    s.intervalWorstMs = std::max(s.intervalWorstMs, interval);
  }
  s.lastEnd = end;
}

double MeanFrameMs(const FrameStats& s) {
  return s.frames > 0 ? s.totalMs / static_cast<double>(s.frames) : 0.0;
}

double MeanIntervalMs(const FrameStats& s) {
  return s.intervals > 0 ? s.intervalSumMs / static_cast<double>(s.intervals) : 0.0;
}

double IntervalDeviationMs(const FrameStats& s) {
  if (s.intervals <= 0) return 0.0;
  const double mean = MeanIntervalMs(s);
  const double squares = s.intervalSquaresMs / static_cast<double>(s.intervals);
  return std::sqrt(std::max(0.0, squares - mean * mean));
}

double NextFrameDue(FramePacer& pacer, double start, double end, double tick) {
  const double due = end + NextFrameWait(pacer, start, end);
  return tick > 0.0 ? tick * std::round(due / tick) : due;
}

double ClockSeconds(MillisecondClock& clock, std::uint32_t tick) {
  if (clock.started) clock.total += static_cast<std::uint32_t>(tick - clock.last);  // wrap-safe
  clock.started = true;
  clock.last = tick;
  return static_cast<double>(clock.total) * 0.001;
}

namespace {

void ApplyPacing(SaverLoop& loop, const SaverPlatform& p) {
  const PacingPlan plan = PlanPacing(loop.refreshHz, loop.maxFps, loop.onBattery);
  p.setSwapInterval(p.self, plan.swapInterval);
  loop.pacer.frameSeconds = plan.frameSeconds;
}

// Every PowerCheckSeconds the power source is read again; a change re-plans the pace.
void CheckPowerSource(SaverLoop& loop, const SaverPlatform& p, double now) {
  if (loop.maxFps == 0 || now - loop.powerCheckedAt < PowerCheckSeconds) return;
  loop.powerCheckedAt = now;
  const bool battery = p.onBattery(p.self);
  if (battery == loop.onBattery) return;
  loop.onBattery = battery;
  ApplyPacing(loop, p);
}

// A frame when the exit rules let one run; true when one ran.
bool RunFrame(SaverLoop& loop) {
  if (!loop.fixedStep)
    return loop.scene.idleTick(saverWindow.renderActive, saverWindow.passwordDialogOpen);
  if (!saverWindow.renderActive || saverWindow.passwordDialogOpen) return false;
  loop.scene.fixedStepFrame(loop.fixedDt);
  return true;
}

}  // namespace

bool StartSaver(SaverLoop& loop, const SaverPlatform& p) {
  p.readSettings(p.self);
  loop.scene.seed(loop.seed);
  if (!p.openWindow(p.self)) return false;
  p.clientSize(p.self, loop.width, loop.height);
  loop.scene.setUp(loop.width, loop.height);
  p.layOutMonitors(p.self, loop.width, loop.height);
  loop.refreshHz = p.refreshHz(p.self);
  loop.onBattery = loop.maxFps != 0 && p.onBattery(p.self);
  ApplyPacing(loop, p);
  loop.powerCheckedAt = p.now(p.self);
  StartSaverSound(loop.sound, settings.soundVolume, loop.seed,
                  loop.fixedStep ? loop.fixedDt : 0.0f);
  // Set up: from here on the saver gives way to everything else the machine does.
  p.lowerPriority(p.self);
  if (p.cursorPosition != nullptr) {
    int x = 0;
    int y = 0;
    p.cursorPosition(p.self, x, y);
    StartExitRules(saverWindow, x, y);
  }
  saverWindow.renderActive = true;
  return true;
}

void RunSaverLoop(SaverLoop& loop, const SaverPlatform& p) {
  loop.due = p.now(p.self);
  while (p.pumpEvents(p.self)) {
    const double waitLeft = loop.due - p.now(p.self);
    if (waitLeft > 0.0) {  // sleep until the frame is due or input arrives
      p.waitForInput(p.self, waitLeft);
      continue;
    }
    CheckPowerSource(loop, p, p.now(p.self));
    int width = loop.width;
    int height = loop.height;
    if (p.pendingSize != nullptr && p.pendingSize(p.self, width, height) &&
        (width != loop.width || height != loop.height)) {
      loop.width = width;
      loop.height = height;
      loop.scene.resize(width, height);
      p.layOutMonitors(p.self, width, height);
    }
    const double start = p.now(p.self);
    if (!RunFrame(loop)) {
      p.yield(p.self);
      continue;
    }
    SaverSoundFrame(loop.sound);
    const double end = p.now(p.self);
    CountFrame(loop.stats, start, end);
    if (loop.frameLimit > 0 && loop.stats.frames >= loop.frameLimit) break;
    loop.due = NextFrameDue(loop.pacer, start, end, loop.clockTick);
  }
}

void EndSaver(SaverLoop& loop) {
  saverWindow.renderActive = false;
  StopSaverSound(loop.sound);
  loop.scene.release();
}

}  // namespace varenko

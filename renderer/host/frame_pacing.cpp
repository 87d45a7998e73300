// The pacing rule, the wait between frames and the names of the driver's extensions.
#include "renderer/host/frame_pacing.h"

#include <algorithm>
#include <cmath>

namespace varenko {

double SaneRefreshHz(double reportedHz) {
  if (!std::isfinite(reportedHz) || reportedHz < LowestRefreshHz || reportedHz > HighestRefreshHz)
    return UnknownRefreshHz;
  return reportedHz;
}

PacingPlan PlanPacing(double reportedHz, int maxFps, bool onBattery) {
  if (maxFps == 0) return {0, 0.0};
  const double refresh = SaneRefreshHz(reportedHz);
  double rate = refresh;
  if (maxFps > 0) rate = std::min(rate, static_cast<double>(std::min(maxFps, MaxFpsLimit)));
  if (onBattery) rate *= 0.5;
  // The driver can hold a whole divisor of the refresh by itself; any other rate is held by
  // waiting, with the swap still tied to the refresh so that no frame tears.
  const double divisor = refresh / rate;
  const double whole = std::round(divisor);
  const int interval = whole >= 1.0 && std::fabs(divisor - whole) < 0.05 * whole
                           ? static_cast<int>(std::min(whole, 8.0))
                           : 1;
  return {interval, 1.0 / rate};
}

double NextFrameWait(FramePacer& pacer, double start, double now) {
  const double frame = pacer.frameSeconds;
  if (!(frame > 0.0) || !std::isfinite(now) || !std::isfinite(start)) return 0.0;
  if (now - start >= PaceHeldShare * frame) {
    pacer.due = now;
    pacer.started = true;
    return 0.0;
  }
  double next = pacer.started ? pacer.due + frame : start + frame;
  if (next < now) next = now;                  // behind: start afresh, no burst of frames
  if (next > now + frame) next = now + frame;  // never more than one frame's wait
  pacer.due = next;
  pacer.started = true;
  return next - now;
}

bool HasExtension(std::string_view extensions, std::string_view name) {
  if (name.empty()) return false;
  std::size_t at = 0;
  while ((at = extensions.find(name, at)) != std::string_view::npos) {
    const std::size_t end = at + name.size();
    const bool startsWord = at == 0 || extensions[at - 1] == ' ';
    const bool endsWord = end == extensions.size() || extensions[end] == ' ';
    if (startsWord && endsWord) return true;
    at = end;
  }
  return false;
}

}  // namespace varenko

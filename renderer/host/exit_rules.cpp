// The saver window's exit rules, shared by the Windows and the X11 host.
#include "renderer/host/exit_rules.h"

#include <cstdint>

namespace varenko {

SaverWindowState saverWindow = {0, 0, false, false, false, false};

void StartExitRules(SaverWindowState& s, int cursorX, int cursorY) {
  s = SaverWindowState{cursorX, cursorY, false, false, false, false};
}

bool OnUserInput(SaverWindowState& s) {
  s.closeRequested = true;
  return true;
}

bool OnMouseMove(SaverWindowState& s, int cursorX, int cursorY) {
  // Systems report a move when the window appears under a still cursor, so the first report of a
  // run never counts as input; the travel test below still runs for it.
  if (s.firstMoveSeen)
    s.closeRequested = true;
  else
    s.firstMoveSeen = true;

  // Coordinates come from the windowing system; 64-bit arithmetic keeps any pair overflow-free.
  const std::int64_t dx = static_cast<std::int64_t>(s.lastCursorX) - cursorX;
  const std::int64_t dy = static_cast<std::int64_t>(s.lastCursorY) - cursorY;
  const std::int64_t distance = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy);
  if (distance > MouseTravelThreshold) return true;  // the reference point stays where it was
  // Following a creeping cursor means slow drift never adds up to a close.
  s.lastCursorX = cursorX;
  s.lastCursorY = cursorY;
  return false;
}

CloseDecision OnCloseRequest(const SaverWindowState& s) {
  return s.closeRequested ? CloseDecision::AskPassword : CloseDecision::Refuse;
}

void OnPasswordRefused(SaverWindowState& s, int cursorX, int cursorY) {
  s.lastCursorX = cursorX;
  s.lastCursorY = cursorY;
}

}  // namespace varenko

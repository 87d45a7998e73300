// The zoom animation of the front end's windows, from and to a remembered screen point.
#include <windows.h>

#include "frontend/app/entry.h"

namespace varenko {

ZoomPoint ZoomOrigin[2] = {};

namespace {

bool Zoom(void* window, int slot, bool opening) {
  if (slot < 0 || slot > 1) return false;
  const RECT point = {ZoomOrigin[slot].x, ZoomOrigin[slot].y, ZoomOrigin[slot].x,
                      ZoomOrigin[slot].y};
  RECT frame{};
  const HWND hwnd = static_cast<HWND>(window);
  GetWindowRect(hwnd, &frame);
  if (opening) {
    DrawAnimatedRects(hwnd, IDANI_CAPTION, &point, &frame);
  } else {
    DrawAnimatedRects(hwnd, IDANI_CAPTION, &frame, &point);
  }
  return true;
}

}  // namespace

bool ZoomOpen(void* window, int slot) { return Zoom(window, slot, true); }
bool ZoomClose(void* window, int slot) { return Zoom(window, slot, false); }

}  // namespace varenko

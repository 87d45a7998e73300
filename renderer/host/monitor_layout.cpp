// The layout rule: monitors clipped and sorted out, the picture's bounding box and focal length,
// and one off-axis slice of the one view per monitor (or per piece of an oversized monitor).
#include "renderer/host/monitor_layout.h"

#include <algorithm>
#include <cmath>

namespace varenko {

namespace {

// Below this the reported limit is not believed: every implementation allows at least the size
// of the screens it drives, and tiny tiles would only multiply the slices.
constexpr int SmallestViewportLimit = 1024;

bool SameRect(const MonitorRect& a, const MonitorRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// The monitor clipped to the window, computed in 64 bits so that any reported value is safe.
bool ClipToWindow(const MonitorRect& m, int windowWidth, int windowHeight, MonitorRect& out) {
  const long long left = std::max<long long>(m.x, 0);
  const long long top = std::max<long long>(m.y, 0);
  const long long right = std::min<long long>(static_cast<long long>(m.x) + m.width, windowWidth);
  const long long bottom =
      std::min<long long>(static_cast<long long>(m.y) + m.height, windowHeight);
  if (m.width <= 0 || m.height <= 0 || right <= left || bottom <= top) return false;
  out = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
         static_cast<int>(bottom - top)};
  return true;
}

}  // namespace

PictureLayout LayOutPicture(const MonitorRect* monitors, int count, int windowWidth,
                            int windowHeight, int maxViewportWidth, int maxViewportHeight) {
  PictureLayout layout = {};
  // No window is larger than this; the bound keeps every sum below in range of an int.
  constexpr int LargestWindowSide = 1 << 20;
  windowWidth = std::clamp(windowWidth, 1, LargestWindowSide);
  windowHeight = std::clamp(windowHeight, 1, LargestWindowSide);

  MonitorRect kept[MaxMonitors];
  int keptCount = 0;
  for (int i = 0; monitors != nullptr && i < count && keptCount < MaxMonitors; ++i) {
    MonitorRect m{};
    if (!ClipToWindow(monitors[i], windowWidth, windowHeight, m)) continue;
    if (std::any_of(kept, kept + keptCount, [&m](const MonitorRect& k) { return SameRect(k, m); }))
      continue;  // a mirrored monitor shows the same part of the picture
    kept[keptCount++] = m;
  }
  if (keptCount == 0) kept[keptCount++] = {0, 0, windowWidth, windowHeight};

  int left = kept[0].x;
  int top = kept[0].y;
  int right = kept[0].x + kept[0].width;
  int bottom = kept[0].y + kept[0].height;
  for (int i = 1; i < keptCount; ++i) {
    left = std::min(left, kept[i].x);
    top = std::min(top, kept[i].y);
    right = std::max(right, kept[i].x + kept[i].width);
    bottom = std::max(bottom, kept[i].y + kept[i].height);
  }
  const double boxWidth = right - left;
  const double boxHeight = bottom - top;
  layout.width = right - left;
  layout.height = bottom - top;

  // Focal length in pixels: the vertical field over the box's height, lengthened when several
  // monitors in a row would widen the horizontal field past the widest picture.
  const double tanHalfField = std::tan(PictureFieldDeg * 0.5 * 3.14159265358979323846 / 180.0);
  double focal = boxHeight * 0.5 / tanHalfField;
  if (keptCount > 1) focal = std::max(focal, boxWidth * 0.5 / (tanHalfField * WidestPictureAspect));
  layout.halfWidth = boxWidth * 0.5 / focal;
  layout.halfHeight = boxHeight * 0.5 / focal;

  const int tileWidth =
      maxViewportWidth > 0 ? std::max(maxViewportWidth, SmallestViewportLimit) : windowWidth;
  const int tileHeight =
      maxViewportHeight > 0 ? std::max(maxViewportHeight, SmallestViewportLimit) : windowHeight;
  layout.whole = keptCount == 1 && kept[0].x == 0 && kept[0].y == 0 &&
                 kept[0].width == windowWidth && kept[0].height == windowHeight &&
                 windowWidth <= tileWidth && windowHeight <= tileHeight;

  const double centreX = left + boxWidth * 0.5;
  const double centreY = top + boxHeight * 0.5;
  for (int i = 0; i < keptCount; ++i) {
    const MonitorRect& m = kept[i];
    for (int ty = m.y; ty < m.y + m.height; ty += tileHeight) {
      for (int tx = m.x; tx < m.x + m.width; tx += tileWidth) {
        if (layout.sliceCount == MaxViewSlices) return layout;
        const int w = std::min(tileWidth, m.x + m.width - tx);
        const int h = std::min(tileHeight, m.y + m.height - ty);
        ViewSlice& s = layout.slice[layout.sliceCount++];
        s.viewport[0] = tx;
        s.viewport[1] = windowHeight - (ty + h);  // OpenGL counts rows from the bottom
        s.viewport[2] = w;
        s.viewport[3] = h;
        s.frustum[0] = (tx - centreX) / focal;
        s.frustum[1] = (tx + w - centreX) / focal;
        s.frustum[2] = (centreY - (ty + h)) / focal;
        s.frustum[3] = (centreY - ty) / focal;
        // Overlay units: the picture's height is 1, its left edge 0 and its bottom edge 0.
        s.overlay[0] = static_cast<float>((tx - left) / boxHeight);
        s.overlay[1] = static_cast<float>((tx + w - left) / boxHeight);
        s.overlay[2] = static_cast<float>((bottom - (ty + h)) / boxHeight);
        s.overlay[3] = static_cast<float>((bottom - ty) / boxHeight);
      }
    }
  }
  return layout;
}

}  // namespace varenko

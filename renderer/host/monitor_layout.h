// How the picture is laid over the monitors a saver window covers: one camera, one continuous
// picture, each monitor showing its own part of it with square pixels.
#pragma once

#include "renderer/scene/frame.h"

namespace varenko {

// A monitor's rectangle in the window's pixels: x to the right and y down from the window's
// top-left corner, as the windowing systems report monitors.
struct MonitorRect {
  int x;
  int y;
  int width;
  int height;
};

inline constexpr int MaxMonitors = 16;  // monitors past this many are left black

// The vertical field of view of the picture over the height of the monitors' bounding box.
inline constexpr double PictureFieldDeg = 60.0;
// Across several monitors the horizontal field is held to what a 32:9 screen shows with the
// vertical field above (about 128.6 degrees); a wider row of monitors narrows the vertical field
// instead, so the outer monitors do not show a stretched band.
inline constexpr double WidestPictureAspect = 32.0 / 9.0;

// The layout of a window of windowWidth x windowHeight pixels over the given monitors. Monitors
// are clipped to the window; empty and repeated ones are dropped, and none left means the whole
// window is one monitor. One monitor over the whole window gives the single-screen picture
// (`whole`). A monitor larger than maxViewportWidth x maxViewportHeight (the GL implementation's
// limit; 0 or less: none) is drawn in several slices.
PictureLayout LayOutPicture(const MonitorRect* monitors, int count, int windowWidth,
                            int windowHeight, int maxViewportWidth, int maxViewportHeight);

}  // namespace varenko

// The wait for the saver window to be mapped: it returns once the window is on screen, and gives
// up at its time limit or as soon as a signal asks the program to end, instead of hanging.
// clang-format off
#include <gtest/gtest.h>  // ahead of Xlib, whose None macro it would otherwise meet
#include <X11/Xlib.h>
// clang-format on

#include <atomic>

#include "renderer/host/window_x11.h"

namespace varenko {
namespace {

TEST(MapWait, ReturnsOnMappingAndGivesUpOnTimeOrSignal) {
  Display* d = XOpenDisplay(nullptr);
  ASSERT_NE(d, nullptr);
  XSetWindowAttributes wa{};
  wa.event_mask = StructureNotifyMask;
  const Window w = XCreateWindow(d, DefaultRootWindow(d), 0, 0, 32, 32, 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWEventMask, &wa);
  std::atomic<bool> stop{false};
  EXPECT_FALSE(WaitForMapNotify(d, w, 0.3, stop));  // never mapped: ends at the time limit
  stop = true;
  EXPECT_FALSE(WaitForMapNotify(d, w, 3600.0, stop));  // a signal ends the wait at once
  stop = false;
  XMapWindow(d, w);
  EXPECT_TRUE(WaitForMapNotify(d, w, 3600.0, stop));
  XDestroyWindow(d, w);
  XCloseDisplay(d);
}

}  // namespace
}  // namespace varenko

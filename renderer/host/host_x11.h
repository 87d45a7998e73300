// The Linux host: an Xlib window with a GLX context, full screen with the saver's exit rules or a
// normal window, its event loop around the idle tick, screenshots and frame statistics.
#pragma once

#include <X11/Xlib.h>

#include <csignal>

#include "renderer/host/options.h"

namespace varenko {

// Runs the renderer with the given options until it is closed or has drawn its frames. Returns
// the process exit code: 0 after a normal end, 1 when the display or the screenshot failed.
int RunX11Saver(const HostOptions& options);

// Waits until `window` is reported mapped (true), for at most `seconds`, and gives up at once
// when `stop` is set (a signal asked the program to end).
bool WaitForMapNotify(Display* display, Window window, double seconds,
                      const volatile std::sig_atomic_t& stop);

}  // namespace varenko

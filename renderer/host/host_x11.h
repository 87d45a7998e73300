// The Linux host: an Xlib window with a GLX context, full screen with the saver's exit rules or a
// normal window, its event loop around the idle tick, screenshots and frame statistics.
#pragma once

#include "renderer/host/options.h"

namespace varenko {

// Runs the renderer with the given options until it is closed or has drawn its frames. Returns
// the process exit code: 0 after a normal end, 1 when the display or the screenshot failed.
int RunX11Saver(const HostOptions& options);

}  // namespace varenko

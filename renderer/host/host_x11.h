// The Linux host: an Xlib window with a GLX context, full screen with the saver's exit rules, a
// normal window or a window another program gave it, driven by the saver loop.
#pragma once

#include "renderer/host/options.h"

namespace varenko {

// Runs the renderer with the given options until it is closed, is stopped by SIGTERM or SIGINT
// or has drawn its frames. Returns the process exit code: 0 after a normal end, 1 when the
// display, the recording or the screenshot failed.
int RunX11Saver(const HostOptions& options);

}  // namespace varenko

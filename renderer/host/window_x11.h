// The Linux host's window and GLX context: its own full-screen or normal window, or a window
// another program gave it; input grabs, the monitors and refresh rate the X server reports, and
// the driver's swap control.
#pragma once

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <atomic>
#include <vector>

#include "renderer/host/monitor_layout.h"
#include "renderer/host/options.h"

namespace varenko {

struct X11Window {
  Display* display = nullptr;
  Window window = 0;  // the drawable: ours, or the foreign window itself
  GLXContext context = nullptr;
  Cursor blankCursor = 0;
  Atom wmDeleteWindow = 0;
  bool windowed = false;
  // Embedded in a window another program made (a screen-saver host): no grabs, no exit rules;
  // that program ends us with a signal or by destroying the window.
  bool embedded = false;
  Window foreign = 0;           // the window we were given; 0 unless embedded
  bool ownWindow = false;       // window was created here and is destroyed here
  bool windowGone = false;      // the window was destroyed under us: no more reading from it
  GLenum readBuffer = GL_BACK;  // where the finished frame is before the swap
  int pendingWidth = 0;         // the window's latest size, applied before the next frame
  int pendingHeight = 0;
  int swapInterval = -1;  // last interval handed to the driver; -1: none yet
};

// The window of --root: the screen saver's own window when one runs us, else the desktop.
bool RootTarget(const X11Window& w, Window& target);

// Draws into a window another program made: its own visual when OpenGL can draw with it,
// otherwise a child window of ours that covers it and follows its size.
bool AttachToWindow(X11Window& w, Window target);

// Our own window (full screen over the whole X screen, or o.windowWidth x o.windowHeight), mapped,
// with its context current and, full screen, the input grabbed. False when there is no visual, the
// context fails or `stop` was set while waiting for the window to be mapped.
bool CreateWindowAndContext(X11Window& w, const HostOptions& o, const std::atomic<bool>& stop);

// After the set-up or a failed start: grabs, context, our window, the cursor and the display.
void CloseWindow(X11Window& w);

void CursorPosition(const X11Window& w, int& x, int& y);

// The monitors of the X screen: the RandR monitors, else the Xinerama screens; none when
// neither is there (the whole screen is then one monitor).
std::vector<MonitorRect> ScreenMonitors(Display* d);

// The refresh rate of the screen's current mode as RandR reports it; 0 when unknown.
double ScreenRefreshHz(Display* d);

// Asks the driver to tie swaps to the refresh through whichever swap control it offers.
void SetSwapInterval(X11Window& w, int interval);

// Waits until `window` is reported mapped (true), for at most `seconds`, and gives up at once
// when `stop` is set (a signal asked the program to end).
bool WaitForMapNotify(Display* display, Window window, double seconds,
                      const std::atomic<bool>& stop);

}  // namespace varenko

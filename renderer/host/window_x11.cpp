// The Linux host's window and GLX context, input grabs, the X server's monitors and refresh rate,
// and the driver's swap control.
#include "renderer/host/window_x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "common/window_titles.h"
#include "renderer/host/frame_pacing.h"

namespace varenko {

namespace {

constexpr double MapWaitSeconds = 10.0;  // longest wait for our window to be mapped

void GrabInput(const X11Window& w) {
  // The window may not be viewable yet right after mapping; keep asking for a moment.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int keyboard =
        XGrabKeyboard(w.display, w.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (keyboard == GrabSuccess) break;
    struct timespec wait = {0, 10000000};
    nanosleep(&wait, nullptr);
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int pointer =
        XGrabPointer(w.display, w.window, True, PointerMotionMask | ButtonPressMask, GrabModeAsync,
                     GrabModeAsync, None, w.blankCursor, CurrentTime);
    if (pointer == GrabSuccess) break;
    struct timespec wait = {0, 10000000};
    nanosleep(&wait, nullptr);
  }
}

// Makes the context current on w.window and remembers how its frames are read back.
bool MakeCurrent(X11Window& w, XVisualInfo* visual) {
  int doubleBuffer = 0;
  glXGetConfig(w.display, visual, GLX_DOUBLEBUFFER, &doubleBuffer);
  w.readBuffer = doubleBuffer != 0 ? GL_BACK : GL_FRONT;
  w.context = glXCreateContext(w.display, visual, nullptr, True);
  if (w.context == nullptr) return false;
  return glXMakeCurrent(w.display, w.window, w.context) == True;
}

}  // namespace

// Draws into a window another program made. Its own visual is used when OpenGL can draw with it;
// otherwise a child window of our visual covers it and follows its size.
bool AttachToWindow(X11Window& w, Window target) {
  Display* d = w.display;
  XWindowAttributes wa{};
  if (XGetWindowAttributes(d, target, &wa) == 0) {
    std::fprintf(stderr, "varenko: there is no window 0x%lx on display \"%s\"\n", target,
                 DisplayString(d));
    return false;
  }
  w.foreign = target;
  w.pendingWidth = wa.width;
  w.pendingHeight = wa.height;
  // Only the structure events: key and button events on a host's window belong to the w.
  XSelectInput(d, target, wa.your_event_mask | StructureNotifyMask);

  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(wa.visual);
  int count = 0;
  XVisualInfo* visual = XGetVisualInfo(d, VisualIDMask, &wanted, &count);
  int useGl = 0;
  int rgba = 0;
  if (visual != nullptr) {
    glXGetConfig(d, visual, GLX_USE_GL, &useGl);
    glXGetConfig(d, visual, GLX_RGBA, &rgba);
  }
  if (visual != nullptr && useGl != 0 && rgba != 0) {
    w.window = target;
    w.ownWindow = false;
  } else {
    if (visual != nullptr) XFree(visual);
    int attributes[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    visual = glXChooseVisual(d, XScreenNumberOfScreen(wa.screen), attributes);
    if (visual == nullptr) {
      std::fprintf(stderr, "varenko: no RGBA OpenGL visual for window 0x%lx\n", target);
      return false;
    }
    XSetWindowAttributes ca{};
    ca.colormap = XCreateColormap(d, target, visual->visual, AllocNone);
    ca.background_pixel = BlackPixelOfScreen(wa.screen);
    ca.border_pixel = 0;
    ca.event_mask = StructureNotifyMask;
    w.window = XCreateWindow(d, target, 0, 0, static_cast<unsigned>(wa.width > 0 ? wa.width : 1),
                             static_cast<unsigned>(wa.height > 0 ? wa.height : 1), 0, visual->depth,
                             InputOutput, visual->visual,
                             CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &ca);
    w.ownWindow = true;
    XMapWindow(d, w.window);
  }
  const bool ok = MakeCurrent(w, visual);
  XFree(visual);
  if (!ok) std::fprintf(stderr, "varenko: cannot draw with OpenGL into window 0x%lx\n", target);
  return ok;
}

// The window of --root: the screen saver's own window when one runs us, else the desktop.
bool RootTarget(const X11Window& w, Window& target) {
  const char* env = std::getenv("XSCREENSAVER_WINDOW");
  if (env == nullptr || env[0] == '\0') {
    target = DefaultRootWindow(w.display);
    return true;
  }
  std::uint32_t id = 0;
  if (!ParseWindowId(env, id)) {
    std::fprintf(stderr, "varenko: XSCREENSAVER_WINDOW is not a window id: \"%.64s\"\n", env);
    return false;
  }
  target = static_cast<Window>(id);
  return true;
}

bool CreateWindowAndContext(X11Window& w, const HostOptions& o, const std::atomic<bool>& stop) {
  Display* d = w.display;
  const int screen = DefaultScreen(d);
  int attributes[] = {
      GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
  XVisualInfo* visual = glXChooseVisual(d, screen, attributes);
  if (visual == nullptr) return false;

  // Full screen, the window covers the whole X screen, which holds every monitor.
  const int width = o.windowed ? o.windowWidth : DisplayWidth(d, screen);
  const int height = o.windowed ? o.windowHeight : DisplayHeight(d, screen);
  const Window root = RootWindow(d, screen);
  XSetWindowAttributes wa{};
  wa.colormap = XCreateColormap(d, root, visual->visual, AllocNone);
  wa.background_pixel = BlackPixel(d, screen);
  wa.border_pixel = 0;
  wa.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask |
                  StructureNotifyMask | ExposureMask;
  wa.override_redirect = o.windowed ? False : True;
  const unsigned long mask =
      CWColormap | CWBackPixel | CWBorderPixel | CWEventMask | CWOverrideRedirect;
  w.window =
      XCreateWindow(d, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                    visual->depth, InputOutput, visual->visual, mask, &wa);
  // The front end and the tests know the renderer by this title.
  XStoreName(d, w.window, RendererWindowTitle);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
  XChangeProperty(d, w.window, netName, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(RendererWindowTitle),
                  static_cast<int>(sizeof RendererWindowTitle - 1));
  w.wmDeleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(d, w.window, &w.wmDeleteWindow, 1);

  static char noBits[1] = {0};
  const Pixmap blank = XCreateBitmapFromData(d, w.window, noBits, 1, 1);
  XColor black{};
  w.blankCursor = XCreatePixmapCursor(d, blank, blank, &black, &black, 0, 0);
  XFreePixmap(d, blank);
  if (!o.windowed) XDefineCursor(d, w.window, w.blankCursor);

  w.ownWindow = true;
  w.pendingWidth = width;
  w.pendingHeight = height;

  XMapRaised(d, w.window);
  // Wait until the window is on screen so that the grabs and the first frame land on it; a
  // window manager that never maps it delays the start by the time limit only.
  WaitForMapNotify(d, w.window, MapWaitSeconds, stop);
  if (stop) {
    XFree(visual);
    return false;
  }
  const bool current = MakeCurrent(w, visual);
  XFree(visual);
  if (!current) return false;
  if (!o.windowed) GrabInput(w);
  return true;
}

// The monitors of the X screen: the RandR monitors, else the Xinerama screens; none when
// neither is there (the whole screen is then one monitor).
std::vector<MonitorRect> ScreenMonitors(Display* d) {
  std::vector<MonitorRect> monitors;
  int eventBase = 0;
  int errorBase = 0;
  int major = 0;
  int minor = 0;
  if (XRRQueryExtension(d, &eventBase, &errorBase) && XRRQueryVersion(d, &major, &minor) &&
      (major > 1 || (major == 1 && minor >= 5))) {
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(d, DefaultRootWindow(d), True, &count);
    for (int i = 0; info != nullptr && i < count && i < MaxMonitors; ++i)
      monitors.push_back({info[i].x, info[i].y, info[i].width, info[i].height});
    if (info != nullptr) XRRFreeMonitors(info);
    if (!monitors.empty()) return monitors;
  }
  if (XineramaQueryExtension(d, &eventBase, &errorBase) && XineramaIsActive(d)) {
    int count = 0;
    XineramaScreenInfo* info = XineramaQueryScreens(d, &count);
    for (int i = 0; info != nullptr && i < count && i < MaxMonitors; ++i)
      monitors.push_back({info[i].x_org, info[i].y_org, info[i].width, info[i].height});
    if (info != nullptr) XFree(info);
  }
  return monitors;
}

// The refresh rate of the screen's current mode as RandR reports it; 0 when unknown.
double ScreenRefreshHz(Display* d) {
  int eventBase = 0;
  int errorBase = 0;
  if (!XRRQueryExtension(d, &eventBase, &errorBase)) return 0.0;
  XRRScreenConfiguration* config = XRRGetScreenInfo(d, DefaultRootWindow(d));
  if (config == nullptr) return 0.0;
  const short rate = XRRConfigCurrentRate(config);
  XRRFreeScreenConfigInfo(config);
  return rate;
}

// Asks the driver to tie swaps to the refresh through whichever swap control it offers.
void SetSwapInterval(X11Window& w, int interval) {
  if (interval == w.swapInterval) return;
  w.swapInterval = interval;
  const char* list = glXQueryExtensionsString(w.display, DefaultScreen(w.display));
  const std::string_view extensions = list != nullptr ? list : "";
  if (HasExtension(extensions, "GLX_EXT_swap_control")) {
    using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
    const auto f = reinterpret_cast<SwapIntervalExt>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (f != nullptr) {
      f(w.display, w.window, interval);
      return;
    }
  }
  if (HasExtension(extensions, "GLX_MESA_swap_control")) {
    using SwapIntervalMesa = int (*)(unsigned);
    const auto f = reinterpret_cast<SwapIntervalMesa>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    if (f != nullptr) {
      f(static_cast<unsigned>(interval));
      return;
    }
  }
  if (HasExtension(extensions, "GLX_SGI_swap_control") && interval > 0) {  // no 0 here
    using SwapIntervalSgi = int (*)(int);
    const auto f = reinterpret_cast<SwapIntervalSgi>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalSGI")));
    if (f != nullptr) f(interval);
  }
}

void CursorPosition(const X11Window& w, int& x, int& y) {
  Window root = 0;
  Window child = 0;
  int wx = 0;
  int wy = 0;
  unsigned mask = 0;
  x = 0;
  y = 0;
  XQueryPointer(w.display, DefaultRootWindow(w.display), &root, &child, &x, &y, &wx, &wy, &mask);
}

void CloseWindow(X11Window& w) {
  if (w.display == nullptr) return;
  if (w.context != nullptr) {
    if (!w.windowed && !w.embedded) {
      XUngrabPointer(w.display, CurrentTime);
      XUngrabKeyboard(w.display, CurrentTime);
    }
    glXMakeCurrent(w.display, None, nullptr);
    glXDestroyContext(w.display, w.context);
    w.context = nullptr;
  }
  // A foreign window belongs to the program that gave it to us.
  if (w.ownWindow && !w.windowGone) XDestroyWindow(w.display, w.window);
  if (w.blankCursor != 0) XFreeCursor(w.display, w.blankCursor);
  XCloseDisplay(w.display);
  w.display = nullptr;
}

bool WaitForMapNotify(Display* d, Window w, double seconds, const std::atomic<bool>& stop) {
  const auto start = std::chrono::steady_clock::now();
  XFlush(d);
  for (;;) {
    XEvent e;
    while (XCheckWindowEvent(d, w, StructureNotifyMask, &e))
      if (e.type == MapNotify) return true;
    const double left =
        seconds - std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (stop || !(left > 0.0)) return false;
    pollfd fd = {ConnectionNumber(d), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(std::min(left, 0.1) * 1000.0) + 1);
  }
}

}  // namespace varenko

// The Linux host: its own window or one another program gave it, the GLX context, input through
// the exit rules, the loop with its signals and resizes, frames as PNG and the statistics line.
#include "renderer/host/host_x11.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <png.h>
#include <poll.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "renderer/host/exit_rules.h"
#include "renderer/host/frame_pacing.h"
#include "renderer/host/monitor_layout.h"
#include "renderer/host/settings.h"
#include "renderer/scene/frame.h"
#include "renderer/scene/particle_draw.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/show.h"

namespace varenko {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr double MapWaitSeconds = 10.0;    // longest wait for our window to be mapped
constexpr double PowerCheckSeconds = 5.0;  // how often the power source is read again
constexpr int LowestNice = 19;             // the lowest scheduling priority there is

// Taken when the program is loaded, as near to the process start as code can get.
const SteadyClock::time_point processStart = SteadyClock::now();

struct X11Host {
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
  bool ownWindow = false;       // host.window was created here and is destroyed here
  bool windowGone = false;      // the window was destroyed under us: no more reading from it
  GLenum readBuffer = GL_BACK;  // where the finished frame is before the swap
  int pendingWidth = 0;         // the window's latest size, applied before the next frame
  int pendingHeight = 0;
  bool running = false;
  long long frameLimit = 0;  // 0: until closed
  long long framesSwapped = 0;
  const char* screenshotPath = nullptr;  // nullptr: no screenshot
  bool captured = false;  // the screenshot was taken from the last frame's back buffer
  const std::string* recordDir = nullptr;  // nullptr: no recording
  bool recordFailed = false;
  std::vector<unsigned char> pixels;
  double firstSwapMs = -1.0;  // since the process start; negative until the first swap
  // Pacing: the plan for the current power source, and the wait that holds it.
  int maxFps = -1;  // as HostOptions::maxFps, after the fixed-step default
  double refreshHz = 0.0;
  bool onBattery = false;
  const std::string* powerSupplyDir = nullptr;
  FramePacer pacer = {0.0, 0.0, false};
  int swapInterval = -1;  // last interval handed to the driver; -1: none yet
  bool showFps = false;
  double fpsShown = 0.0;  // frames a second over the last whole second
  long long fpsFrames = 0;
  SteadyClock::time_point fpsSince = SteadyClock::now();
};

X11Host host;

// Set by SIGTERM and SIGINT; the loop checks it before every frame, so the program ends within
// one frame of the signal.
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int) { stopRequested = 1; }

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocking call returns and the loop sees the flag
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

double MillisecondsSince(SteadyClock::time_point t) {
  return std::chrono::duration<double, std::milli>(SteadyClock::now() - t).count();
}

// Xlib's default handler prints and ends the process on any protocol error; a refused grab or a
// window that went away (a screen-saver host destroying our window) must not take the saver
// down with it, nor print anything.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Reads the current read buffer into host.pixels as rows from top to bottom.
void ReadPixels() {
  const int w = frameView.clientWidth;
  const int h = frameView.clientHeight;
  if (w <= 0 || h <= 0) return;
  std::vector<unsigned char> raw(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, raw.data());
  host.pixels.assign(raw.size(), 0);
  const std::size_t row = static_cast<std::size_t>(w) * 3;
  for (int y = 0; y < h; ++y) {  // OpenGL's rows run bottom to top
    const unsigned char* src = raw.data() + static_cast<std::size_t>(h - 1 - y) * row;
    std::copy(src, src + row, host.pixels.data() + static_cast<std::size_t>(y) * row);
  }
}

bool WritePng(const char* path) {
  const int w = frameView.clientWidth;
  const int h = frameView.clientHeight;
  if (host.pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3 ||
      host.pixels.empty())
    return false;
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (png != nullptr && info != nullptr) {
    std::vector<png_bytep> rows(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
      rows[static_cast<std::size_t>(y)] =
          host.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 3;
    // libpng reports errors by longjmp; nothing here owns resources that the jump would skip.
    if (setjmp(png_jmpbuf(png)) == 0) {
      png_init_io(png, file);
      png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                   PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                   PNG_FILTER_TYPE_DEFAULT);
      png_write_info(png, info);
      png_write_image(png, rows.data());
      png_write_end(png, nullptr);
      ok = true;
    }
  }
  png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
  return std::fclose(file) == 0 && ok;
}

void GrabInput() {
  // The window may not be viewable yet right after mapping; keep asking for a moment.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int keyboard =
        XGrabKeyboard(host.display, host.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (keyboard == GrabSuccess) break;
    struct timespec wait = {0, 10000000};
    nanosleep(&wait, nullptr);
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int pointer =
        XGrabPointer(host.display, host.window, True, PointerMotionMask | ButtonPressMask,
                     GrabModeAsync, GrabModeAsync, None, host.blankCursor, CurrentTime);
    if (pointer == GrabSuccess) break;
    struct timespec wait = {0, 10000000};
    nanosleep(&wait, nullptr);
  }
}

void CursorPosition(int& x, int& y) {
  Window root = 0;
  Window child = 0;
  int wx = 0;
  int wy = 0;
  unsigned mask = 0;
  x = 0;
  y = 0;
  XQueryPointer(host.display, DefaultRootWindow(host.display), &root, &child, &x, &y, &wx, &wy,
                &mask);
}

// A close request: honoured only when user input caused it. Linux has no password hook of its
// own; the desktop's locker guards the session.
void RequestClose() {
  if (OnCloseRequest(saverWindow) == CloseDecision::Refuse) return;
  host.running = false;
}

// The window we draw into changed size or went away.
bool HandleWindowChange(const XEvent& e) {
  const Window watched = host.embedded ? host.foreign : host.window;
  if (e.type == ConfigureNotify && e.xconfigure.window == watched) {
    host.pendingWidth = e.xconfigure.width;
    host.pendingHeight = e.xconfigure.height;
    if (host.embedded && host.ownWindow)  // our child window covers the foreign one
      XResizeWindow(host.display, host.window, static_cast<unsigned>(e.xconfigure.width),
                    static_cast<unsigned>(e.xconfigure.height));
    return true;
  }
  if (e.type == DestroyNotify &&
      (e.xdestroywindow.window == watched || e.xdestroywindow.window == host.window)) {
    host.windowGone = true;
    host.running = false;
    return true;
  }
  return false;
}

void HandleEvent(const XEvent& e) {
  if (HandleWindowChange(e) || host.embedded) return;
  if (host.windowed) {
    if (e.type == KeyPress) {
      XKeyEvent key = e.xkey;
      if (XLookupKeysym(&key, 0) == XK_Escape) host.running = false;
    } else if (e.type == ClientMessage &&
               static_cast<Atom>(e.xclient.data.l[0]) == host.wmDeleteWindow) {
      host.running = false;
    }
    return;
  }
  if (saverWindow.passwordDialogOpen) return;
  switch (e.type) {
    case KeyPress:
    case ButtonPress:
      if (OnUserInput(saverWindow)) RequestClose();
      break;
    case MotionNotify:
      if (OnMouseMove(saverWindow, e.xmotion.x_root, e.xmotion.y_root)) RequestClose();
      break;
    case FocusOut:
      // Focus moving away from the saver is the loss of activation. Focus changes caused by our
      // own grabs, or moving within the window, are not.
      if (e.xfocus.mode == NotifyNormal && e.xfocus.detail != NotifyInferior &&
          e.xfocus.detail != NotifyPointer && OnUserInput(saverWindow))
        RequestClose();
      break;
    case ClientMessage:
      if (static_cast<Atom>(e.xclient.data.l[0]) == host.wmDeleteWindow) RequestClose();
      break;
    default:
      break;
  }
}

// Makes the context current on host.window and remembers how its frames are read back.
bool MakeCurrent(XVisualInfo* visual) {
  int doubleBuffer = 0;
  glXGetConfig(host.display, visual, GLX_DOUBLEBUFFER, &doubleBuffer);
  host.readBuffer = doubleBuffer != 0 ? GL_BACK : GL_FRONT;
  host.context = glXCreateContext(host.display, visual, nullptr, True);
  if (host.context == nullptr) return false;
  return glXMakeCurrent(host.display, host.window, host.context) == True;
}

// Draws into a window another program made. Its own visual is used when OpenGL can draw with it;
// otherwise a child window of our visual covers it and follows its size.
bool AttachToWindow(Window target) {
  Display* d = host.display;
  XWindowAttributes wa{};
  if (XGetWindowAttributes(d, target, &wa) == 0) {
    std::fprintf(stderr, "varenko: there is no window 0x%lx on display \"%s\"\n", target,
                 DisplayString(d));
    return false;
  }
  host.foreign = target;
  host.pendingWidth = wa.width;
  host.pendingHeight = wa.height;
  // Only the structure events: key and button events on a host's window belong to the host.
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
    host.window = target;
    host.ownWindow = false;
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
    host.window = XCreateWindow(d, target, 0, 0, static_cast<unsigned>(wa.width > 0 ? wa.width : 1),
                                static_cast<unsigned>(wa.height > 0 ? wa.height : 1), 0,
                                visual->depth, InputOutput, visual->visual,
                                CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &ca);
    host.ownWindow = true;
    XMapWindow(d, host.window);
  }
  const bool ok = MakeCurrent(visual);
  XFree(visual);
  if (!ok) std::fprintf(stderr, "varenko: cannot draw with OpenGL into window 0x%lx\n", target);
  return ok;
}

// The window of --root: the screen saver's own window when one runs us, else the desktop.
bool RootTarget(Window& target) {
  const char* env = std::getenv("XSCREENSAVER_WINDOW");
  if (env == nullptr || env[0] == '\0') {
    target = DefaultRootWindow(host.display);
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

bool CreateWindowAndContext(const HostOptions& o) {
  Display* d = host.display;
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
  host.window =
      XCreateWindow(d, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                    visual->depth, InputOutput, visual->visual, mask, &wa);
  // The front end and the tests know the renderer by this title.
  XStoreName(d, host.window, "VarenkoVC");
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
  XChangeProperty(d, host.window, netName, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>("VarenkoVC"), 9);
  host.wmDeleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(d, host.window, &host.wmDeleteWindow, 1);

  static char noBits[1] = {0};
  const Pixmap blank = XCreateBitmapFromData(d, host.window, noBits, 1, 1);
  XColor black{};
  host.blankCursor = XCreatePixmapCursor(d, blank, blank, &black, &black, 0, 0);
  XFreePixmap(d, blank);
  if (!o.windowed) XDefineCursor(d, host.window, host.blankCursor);

  host.ownWindow = true;
  host.pendingWidth = width;
  host.pendingHeight = height;

  XMapRaised(d, host.window);
  // Wait until the window is on screen so that the grabs and the first frame land on it; a
  // window manager that never maps it delays the start by the time limit only.
  WaitForMapNotify(d, host.window, MapWaitSeconds, stopRequested);
  if (stopRequested != 0) {
    XFree(visual);
    return false;
  }
  const bool current = MakeCurrent(visual);
  XFree(visual);
  if (!current) return false;
  if (!o.windowed) GrabInput();
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

// The picture over the monitors; a window of our own size or one given to us is one monitor.
void LayOutWindow(const HostOptions& o, int width, int height) {
  std::vector<MonitorRect> monitors;
  if (!o.windowed && !host.embedded)
    monitors = o.monitors.empty() ? ScreenMonitors(host.display) : o.monitors;
  GLint maxViewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
  frameView.pictureLayout = LayOutPicture(monitors.data(), static_cast<int>(monitors.size()), width,
                                          height, maxViewport[0], maxViewport[1]);
}

// Asks the driver to tie swaps to the refresh through whichever swap control it offers.
void SetSwapInterval(int interval) {
  if (interval == host.swapInterval) return;
  host.swapInterval = interval;
  const char* list = glXQueryExtensionsString(host.display, DefaultScreen(host.display));
  const std::string_view extensions = list != nullptr ? list : "";
  if (HasExtension(extensions, "GLX_EXT_swap_control")) {
    using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
    const auto f = reinterpret_cast<SwapIntervalExt>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (f != nullptr) {
      f(host.display, host.window, interval);
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

void ApplyPacing() {
  const PacingPlan plan = PlanPacing(host.refreshHz, host.maxFps, host.onBattery);
  SetSwapInterval(plan.swapInterval);
  host.pacer.frameSeconds = plan.frameSeconds;
}

double SecondsSince(SteadyClock::time_point t) {
  return std::chrono::duration<double>(SteadyClock::now() - t).count();
}

// The seven segments of a digit and of the letters of "FPS": bit 0 top, 1 upper right, 2 lower
// right, 3 bottom, 4 lower left, 5 upper left, 6 middle.
constexpr unsigned char DigitSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                             0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr unsigned char LetterF = 0x71;
constexpr unsigned char LetterP = 0x73;

void DrawSegments(unsigned char segments, float x, float y, float w, float h) {
  const float ends[7][4] = {{0, h, w, h},     {w, h, w, h / 2}, {w, h / 2, w, 0},    {0, 0, w, 0},
                            {0, 0, 0, h / 2}, {0, h / 2, 0, h}, {0, h / 2, w, h / 2}};
  for (int i = 0; i < 7; ++i) {
    if ((segments & (1u << i)) == 0) continue;
    glVertex2f(x + ends[i][0], y + ends[i][1]);
    glVertex2f(x + ends[i][2], y + ends[i][3]);
  }
}

// The frame-rate readout, "NNN.N FPS", in the lower-left corner of the first monitor.
void DrawFpsReadout() {
  ++host.fpsFrames;
  const double elapsed = SecondsSince(host.fpsSince);
  if (elapsed >= 1.0) {
    host.fpsShown = static_cast<double>(host.fpsFrames) / elapsed;
    host.fpsFrames = 0;
    host.fpsSince = SteadyClock::now();
  }
  const int tenths = static_cast<int>(std::min(host.fpsShown, 9999.9) * 10.0 + 0.5);
  unsigned char glyphs[10];
  int n = 0;
  for (int scale = 10000; scale >= 10; scale /= 10)  // whole frames, without leading zeros
    if (tenths >= scale || scale == 10) glyphs[n++] = DigitSegments[tenths / scale % 10];
  const int point = n;
  glyphs[n++] = DigitSegments[tenths % 10];
  glyphs[n++] = 0;
  glyphs[n++] = LetterF;
  glyphs[n++] = LetterP;
  glyphs[n++] = DigitSegments[5];  // S

  const int* v = frameView.pictureLayout.whole || frameView.pictureLayout.sliceCount <= 0
                     ? frameView.savedViewport
                     : frameView.pictureLayout.slice[0].viewport;
  glViewport(v[0], v[1], v[2], v[3]);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, v[2] > 0 ? v[2] : 1, 0.0, v[3] > 0 ? v[3] : 1, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glColor3f(1.0f, 1.0f, 0.6f);
  glBegin(GL_LINES);
  const float w = 8.0f;
  const float h = 14.0f;
  float x = 10.0f;
  for (int i = 0; i < n; ++i) {
    DrawSegments(glyphs[i], x, 10.0f, w, h);
    if (i + 1 == point) {  // the decimal point after the whole frames
      glVertex2f(x + w + 3.0f, 10.0f);
      glVertex2f(x + w + 3.0f, 12.0f);
    }
    x += w + 6.0f;
  }
  glEnd();
  glEnable(GL_TEXTURE_2D);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glViewport(frameView.savedViewport[0], frameView.savedViewport[1], frameView.savedViewport[2],
             frameView.savedViewport[3]);
}

// Waits for input on the display's connection for up to `seconds`; a signal ends the wait.
void WaitForInput(double seconds) {
  if (!(seconds > 0.0)) return;
  pollfd fd = {ConnectionNumber(host.display), POLLIN, 0};
  const double whole = std::floor(seconds);
  const timespec wait = {static_cast<time_t>(whole), static_cast<long>((seconds - whole) * 1e9)};
  ppoll(&fd, 1, &wait, nullptr);
}

// Writes the frame about to be shown as the next numbered picture of the recording.
void RecordFrame() {
  const std::string path = RecordFramePath(*host.recordDir, host.framesSwapped + 1);
  glReadBuffer(host.readBuffer);
  ReadPixels();
  if (WritePng(path.c_str())) return;
  std::fprintf(stderr, "varenko: cannot write the frame \"%s\"\n", path.c_str());
  host.recordFailed = true;
  host.running = false;
}

// The time between the ends of successive frames: what the pacing holds.
struct FrameIntervals {
  long long count = 0;
  double sumMs = 0.0;
  double sumSquaresMs = 0.0;
  double worstMs = 0.0;
};

void PrintStats(long long frames, double totalMs, double worstMs, int poolSize,
                const FrameIntervals& intervals) {
  const double mean = frames > 0 ? totalMs / static_cast<double>(frames) : 0.0;
  const double n = intervals.count > 0 ? static_cast<double>(intervals.count) : 1.0;
  const double intervalMean = intervals.sumMs / n;
  const double intervalSquares = intervals.sumSquaresMs / n;
  // The last frame's viewport and the aspect its projection really used (read back from OpenGL).
  const double projectionAspect = frameView.savedProjection[0] != 0.0
                                      ? frameView.savedProjection[5] / frameView.savedProjection[0]
                                      : 0.0;
  std::printf(
      "{\"frames\":%lld,\"mean_ms\":%.3f,\"worst_ms\":%.3f,\"peak_particles\":%d,"
      "\"pool_size\":%d,\"first_frame_ms\":%.1f,\"viewport\":[%d,%d],\"aspect\":%.4f,"
      "\"slices\":%d,\"interval_mean_ms\":%.3f,\"interval_sd_ms\":%.3f,\"interval_worst_ms\":%.3f}"
      "\n",
      frames, mean, worstMs, PeakLiveParticles(), poolSize, host.firstSwapMs,
      frameView.savedViewport[2], frameView.savedViewport[3], projectionAspect,
      frameView.pictureLayout.whole ? 1 : frameView.pictureLayout.sliceCount, intervalMean,
      std::sqrt(std::max(0.0, intervalSquares - intervalMean * intervalMean)), intervals.worstMs);
  std::fflush(stdout);
}

}  // namespace

bool WaitForMapNotify(Display* d, Window w, double seconds,
                      const volatile std::sig_atomic_t& stop) {
  const SteadyClock::time_point start = SteadyClock::now();
  XFlush(d);
  for (;;) {
    XEvent e;
    while (XCheckWindowEvent(d, w, StructureNotifyMask, &e))
      if (e.type == MapNotify) return true;
    const double left = seconds - std::chrono::duration<double>(SteadyClock::now() - start).count();
    if (stop != 0 || !(left > 0.0)) return false;
    pollfd fd = {ConnectionNumber(d), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(std::min(left, 0.1) * 1000.0) + 1);
  }
}

std::uint32_t TickMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  // Wraps at 2^32 like the Windows counter; the frame clock handles the wrap.
  const std::uint64_t ms = static_cast<std::uint64_t>(t.tv_sec) * 1000u +
                           static_cast<std::uint64_t>(t.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

void SwapFrameBuffers() {
  if (host.display == nullptr || host.context == nullptr) return;
  if (host.showFps) DrawFpsReadout();
  if (host.recordDir != nullptr && !host.recordFailed) RecordFrame();
  // The last frame of a counted run is read before the swap, when the back buffer is certain.
  if (host.screenshotPath != nullptr && host.frameLimit > 0 &&
      host.framesSwapped + 1 == host.frameLimit) {
    glReadBuffer(host.readBuffer);
    ReadPixels();
    host.captured = true;
  }
  glXSwapBuffers(host.display, host.window);
  ++host.framesSwapped;
  if (host.firstSwapMs < 0.0) host.firstSwapMs = MillisecondsSince(processStart);
}

int RunX11Saver(const HostOptions& o) {
  InstallStopSignals();
  if (!o.recordDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(o.recordDir, ec);
    if (!std::filesystem::is_directory(o.recordDir, ec)) {
      std::fprintf(stderr, "varenko: cannot create the folder \"%s\"\n", o.recordDir.c_str());
      return 1;
    }
    host.recordDir = &o.recordDir;
  }
  host.display = XOpenDisplay(nullptr);
  if (host.display == nullptr) {
    const char* name = std::getenv("DISPLAY");
    std::fprintf(stderr, "varenko: cannot open display \"%s\"\n", name != nullptr ? name : "");
    return 1;
  }
  XSetErrorHandler(IgnoreXError);
  host.windowed = o.windowed;
  host.embedded = o.embedded();
  host.frameLimit = o.frames;
  host.screenshotPath = o.screenshotPath.empty() ? nullptr : o.screenshotPath.c_str();
  show.forcedBurstKind = o.burstKind;
  host.maxFps = EffectiveMaxFps(o);
  host.showFps = o.showFps;
  host.powerSupplyDir = &o.powerSupplyDir;
  referenceParticleDraw = o.referenceDraw;

  if (!o.settingsPath.empty()) settingsFilePath = o.settingsPath;
  ApplyDefaults();
  ReadSettings();
  ApplySettingOverrides(o);

  SeedShow(o.seeded ? o.seed : static_cast<std::uint32_t>(std::time(nullptr)));
  bool ready = false;
  if (host.embedded) {
    Window target = static_cast<Window>(o.windowId);
    ready = (o.windowId != 0 || RootTarget(target)) && AttachToWindow(target);
  } else {
    ready = CreateWindowAndContext(o);
    if (!ready && stopRequested == 0)
      std::fprintf(stderr, "varenko: no double-buffered RGBA OpenGL visual on display \"%s\"\n",
                   DisplayString(host.display));
  }
  if (!ready) {
    if (host.context != nullptr) glXDestroyContext(host.display, host.context);
    if (host.ownWindow) XDestroyWindow(host.display, host.window);
    XCloseDisplay(host.display);
    return stopRequested != 0 ? 0 : 1;  // ended by a signal while starting: a normal end
  }
  // Whatever the size asked for, the window has the size the server gave it.
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(host.display, host.window, &attributes) != 0) {
    host.pendingWidth = attributes.width;
    host.pendingHeight = attributes.height;
  }
  SetUpScene(host.pendingWidth, host.pendingHeight);
  LayOutWindow(o, host.pendingWidth, host.pendingHeight);
  host.refreshHz = ScreenRefreshHz(host.display);
  host.onBattery = host.maxFps != 0 && ReadOnBatteryPower(o.powerSupplyDir);
  ApplyPacing();
  SteadyClock::time_point powerChecked = SteadyClock::now();
  // Set up: from here on the saver gives way to everything else the machine does.
  setpriority(PRIO_PROCESS, 0, LowestNice);

  int x = 0;
  int y = 0;
  CursorPosition(x, y);
  StartExitRules(saverWindow, x, y);
  saverWindow.renderActive = true;

  long long frames = 0;
  double totalMs = 0.0;
  double worstMs = 0.0;
  host.running = true;
  double nextFrameAt = 0.0;  // when the next frame is due, seconds since the process start
  FrameIntervals intervals;
  double lastFrameEnd = -1.0;
  while (host.running && stopRequested == 0) {
    while (host.running && XPending(host.display) > 0) {
      XEvent e;
      XNextEvent(host.display, &e);
      HandleEvent(e);
    }
    if (!host.running || stopRequested != 0) break;
    const double waitLeft = nextFrameAt - SecondsSince(processStart);
    if (waitLeft > 0.0) {  // sleep until the frame is due or input arrives
      WaitForInput(waitLeft);
      continue;
    }
    if (host.maxFps != 0 && SecondsSince(powerChecked) >= PowerCheckSeconds) {
      powerChecked = SteadyClock::now();
      const bool battery = ReadOnBatteryPower(*host.powerSupplyDir);
      if (battery != host.onBattery) {
        host.onBattery = battery;
        ApplyPacing();
      }
    }
    if (host.pendingWidth != frameView.clientWidth ||
        host.pendingHeight != frameView.clientHeight) {
      ResizeScene(host.pendingWidth, host.pendingHeight);
      LayOutWindow(o, host.pendingWidth, host.pendingHeight);
    }
    const SteadyClock::time_point start = SteadyClock::now();
    bool ran = false;
    if (o.fixedStep) {
      if (saverWindow.renderActive && !saverWindow.passwordDialogOpen) {
        RunFixedStepFrame(o.fixedDt);
        ran = true;
      }
    } else {
      ran = IdleTick(saverWindow.renderActive, saverWindow.passwordDialogOpen);
    }
    if (ran) {
      const double ms = MillisecondsSince(start);
      ++frames;
      totalMs += ms;
      if (ms > worstMs) worstMs = ms;
      if (host.frameLimit > 0 && frames >= host.frameLimit) break;
      const double begun = std::chrono::duration<double>(start - processStart).count();
      const double now = SecondsSince(processStart);
      nextFrameAt = now + NextFrameWait(host.pacer, begun, now);
      if (lastFrameEnd >= 0.0) {
        const double interval = (now - lastFrameEnd) * 1000.0;
        ++intervals.count;
        intervals.sumMs += interval;
        intervals.sumSquaresMs += interval * interval;
        intervals.worstMs = std::max(intervals.worstMs, interval);
      }
      lastFrameEnd = now;
    } else {
      sched_yield();  // give the rest of the time slice away, as the Windows loop does
    }
  }

  int code = host.recordFailed ? 1 : 0;
  if (host.screenshotPath != nullptr) {
    // Closed before a frame limit: the picture on screen is the last one, unless the window has
    // gone with it.
    if (!host.captured && !host.windowGone) {
      glReadBuffer(GL_FRONT);
      ReadPixels();
    }
    if (!WritePng(host.screenshotPath)) {
      std::fprintf(stderr, "varenko: cannot write the screenshot \"%s\"\n", host.screenshotPath);
      code = 1;
    }
  }

  saverWindow.renderActive = false;
  const int poolSize = pool.nodeCount;  // the pool is emptied with the scene
  ReleaseScene();
  if (!o.windowed && !host.embedded) {
    XUngrabPointer(host.display, CurrentTime);
    XUngrabKeyboard(host.display, CurrentTime);
  }
  glXMakeCurrent(host.display, None, nullptr);
  glXDestroyContext(host.display, host.context);
  host.context = nullptr;
  // A foreign window belongs to the program that gave it to us.
  if (host.ownWindow && !host.windowGone) XDestroyWindow(host.display, host.window);
  if (host.blankCursor != 0) XFreeCursor(host.display, host.blankCursor);
  XCloseDisplay(host.display);
  host.display = nullptr;

  if (o.stats) PrintStats(frames, totalMs, worstMs, poolSize, intervals);
  return code;
}

}  // namespace varenko

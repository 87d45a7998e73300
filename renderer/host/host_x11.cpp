// The Linux host's loop glue: the saver loop driven through Xlib events, the clock and the swap,
// frames recorded or captured as PNG, the frame-rate readout and the statistics line.
#include "renderer/host/host_x11.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "renderer/host/exit_rules.h"
#include "renderer/host/frame_capture_x11.h"
#include "renderer/host/power_supply.h"
#include "renderer/host/saver_loop.h"
#include "renderer/host/settings.h"
#include "renderer/host/stop_signals.h"
#include "renderer/host/window_x11.h"
#include "renderer/scene/fps_readout.h"
#include "renderer/scene/frame.h"
#include "renderer/scene/particle_draw.h"
#include "renderer/scene/sky.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/show.h"

namespace varenko {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int LowestNice = 19;  // the lowest scheduling priority there is

// Taken when the program is loaded, as near to the process start as code can get.
const SteadyClock::time_point processStart = SteadyClock::now();

struct X11Host {
  X11Window win;
  const HostOptions* options = nullptr;
  bool running = false;
  long long frameLimit = 0;  // 0: until closed
  long long framesSwapped = 0;
  const char* screenshotPath = nullptr;  // nullptr: no screenshot
  bool captured = false;  // the screenshot was taken from the last frame's back buffer
  const std::string* recordDir = nullptr;  // nullptr: no recording
  bool recordFailed = false;
  WavFile recordAudio;  // --record-audio's file; closed when nothing is recorded
  FrameCapture capture;
  double firstSwapMs = -1.0;  // since the process start; negative until the first swap
  bool showFps = false;
  double fpsShown = 0.0;  // frames a second over the last whole second
  long long fpsFrames = 0;
  SteadyClock::time_point fpsSince = SteadyClock::now();
};

X11Host host;

double SecondsSince(SteadyClock::time_point t) {
  return std::chrono::duration<double>(SteadyClock::now() - t).count();
}

// Xlib's default handler prints and ends the process on any protocol error; a refused grab or a
// window that went away (a screen-saver host destroying our window) must not take the saver
// down with it, nor print anything.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// A close request: honoured only when user input caused it. Linux has no password hook of its
// own; the desktop's locker guards the session.
void RequestClose() {
  if (OnCloseRequest(saverWindow) == CloseDecision::Refuse) return;
  host.running = false;
}

// The window we draw into changed size or went away.
bool HandleWindowChange(const XEvent& e) {
  const Window watched = host.win.embedded ? host.win.foreign : host.win.window;
  if (e.type == ConfigureNotify && e.xconfigure.window == watched) {
    host.win.pendingWidth = e.xconfigure.width;
    host.win.pendingHeight = e.xconfigure.height;
    if (host.win.embedded && host.win.ownWindow)  // our child window covers the foreign one
      XResizeWindow(host.win.display, host.win.window, static_cast<unsigned>(e.xconfigure.width),
                    static_cast<unsigned>(e.xconfigure.height));
    return true;
  }
  if (e.type == DestroyNotify &&
      (e.xdestroywindow.window == watched || e.xdestroywindow.window == host.win.window)) {
    host.win.windowGone = true;
    host.running = false;
    return true;
  }
  return false;
}

void HandleEvent(const XEvent& e) {
  if (HandleWindowChange(e) || host.win.embedded) return;
  if (host.win.windowed) {
    if (e.type == KeyPress) {
      XKeyEvent key = e.xkey;
      if (XLookupKeysym(&key, 0) == XK_Escape) host.running = false;
    } else if (e.type == ClientMessage &&
               static_cast<Atom>(e.xclient.data.l[0]) == host.win.wmDeleteWindow) {
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
      if (static_cast<Atom>(e.xclient.data.l[0]) == host.win.wmDeleteWindow) RequestClose();
      break;
    default:
      break;
  }
}

// --- what the saver loop asks of the platform -----------------------------------------------

void ReadSettingsFile(void*) {
  const HostOptions& o = *host.options;
  if (!o.settingsPath.empty()) settingsFilePath = o.settingsPath;
  ApplyDefaults();
  ReadSettings();
  ApplySettingOverrides(o);
}

bool OpenWindow(void*) {
  const HostOptions& o = *host.options;
  bool ready = false;
  if (host.win.embedded) {
    Window target = static_cast<Window>(o.windowId);
    ready = (o.windowId != 0 || RootTarget(host.win, target)) && AttachToWindow(host.win, target);
  } else {
    ready = CreateWindowAndContext(host.win, o, stopRequested);
    if (!ready && !stopRequested)
      std::fprintf(stderr, "varenko: no double-buffered RGBA OpenGL visual on display \"%s\"\n",
                   DisplayString(host.win.display));
  }
  if (!ready) return false;
  // Whatever the size asked for, the window has the size the server gave it.
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(host.win.display, host.win.window, &attributes) != 0) {
    host.win.pendingWidth = attributes.width;
    host.win.pendingHeight = attributes.height;
  }
  return true;
}

bool PendingSize(void*, int& width, int& height) {
  width = host.win.pendingWidth;
  height = host.win.pendingHeight;
  return true;
}

void ClientSize(void* self, int& width, int& height) { PendingSize(self, width, height); }

// The picture over the monitors; a window of our own size or one given to us is one monitor.
void LayOutWindow(void*, int width, int height) {
  const HostOptions& o = *host.options;
  std::vector<MonitorRect> monitors;
  if (!o.windowed && !host.win.embedded)
    monitors = o.monitors.empty() ? ScreenMonitors(host.win.display) : o.monitors;
  GLint maxViewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
  frameView.pictureLayout = LayOutPicture(monitors.data(), static_cast<int>(monitors.size()), width,
                                          height, maxViewport[0], maxViewport[1]);
}

double RefreshHz(void*) { return ScreenRefreshHz(host.win.display); }
bool OnBattery(void*) { return ReadOnBatteryPower(host.options->powerSupplyDir); }
void SwapInterval(void*, int interval) { SetSwapInterval(host.win, interval); }
void LowerPriority(void*) { setpriority(PRIO_PROCESS, 0, LowestNice); }
void Cursor(void*, int& x, int& y) { CursorPosition(host.win, x, y); }
void GiveWay(void*) { sched_yield(); }  // give the rest of the time slice away
double Now(void*) { return SecondsSince(processStart); }

bool PumpEvents(void*) {
  while (host.running && !stopRequested && XPending(host.win.display) > 0) {
    XEvent e;
    XNextEvent(host.win.display, &e);
    HandleEvent(e);
  }
  return host.running && !stopRequested;
}

// Waits for input on the display's connection for up to `seconds`; a stop request ends the wait.
void WaitForInput(void*, double seconds) {
  if (!(seconds > 0.0)) return;
  pollfd fds[2] = {{ConnectionNumber(host.win.display), POLLIN, 0}, {StopWakeFd(), POLLIN, 0}};
  const double whole = std::floor(seconds);
  const timespec wait = {static_cast<time_t>(whole), static_cast<long>((seconds - whole) * 1e9)};
  SetLoopWaiting(true);
  ppoll(fds, StopWakeFd() >= 0 ? 2 : 1, &wait, nullptr);
  SetLoopWaiting(false);
}

SaverPlatform X11Platform() {
  SaverPlatform p;
  p.readSettings = ReadSettingsFile;
  p.openWindow = OpenWindow;
  p.clientSize = ClientSize;
  p.layOutMonitors = LayOutWindow;
  p.refreshHz = RefreshHz;
  p.onBattery = OnBattery;
  p.setSwapInterval = SwapInterval;
  p.lowerPriority = LowerPriority;
  p.cursorPosition = Cursor;
  p.pumpEvents = PumpEvents;
  p.waitForInput = WaitForInput;
  p.yield = GiveWay;
  p.now = Now;
  p.pendingSize = PendingSize;
  return p;
}

// --- frames out -------------------------------------------------------------------------------

// Writes the frame about to be shown as the next numbered picture of the recording.
void RecordFrame() {
  const std::string path = RecordFramePath(*host.recordDir, host.framesSwapped + 1);
  ReadFrame(host.capture, host.win.readBuffer, frameView.clientWidth, frameView.clientHeight);
  if (WritePng(host.capture, path.c_str())) return;
  std::fprintf(stderr, "varenko: cannot write the frame \"%s\"\n", path.c_str());
  host.recordFailed = true;
  host.running = false;
}

// The readout counts the frames of each whole second and shows the last second's rate.
void ShowFps() {
  ++host.fpsFrames;
  const double elapsed = SecondsSince(host.fpsSince);
  if (elapsed >= 1.0) {
    host.fpsShown = static_cast<double>(host.fpsFrames) / elapsed;
    host.fpsFrames = 0;
    host.fpsSince = SteadyClock::now();
  }
  const int* first = frameView.pictureLayout.whole || frameView.pictureLayout.sliceCount <= 0
                         ? frameView.savedViewport
                         : frameView.pictureLayout.slice[0].viewport;
  DrawFpsReadout(host.fpsShown, first, frameView.savedViewport);
}

// The last frame as the screenshot: closed before a frame limit, the picture on screen is the
// last one, unless the window has gone with it. Returns false when it cannot be written.
bool WriteScreenshot() {
  if (!host.captured && !host.win.windowGone)
    ReadFrame(host.capture, GL_FRONT, frameView.clientWidth, frameView.clientHeight);
  if (WritePng(host.capture, host.screenshotPath)) return true;
  std::fprintf(stderr, "varenko: cannot write the screenshot \"%s\"\n", host.screenshotPath);
  return false;
}

void PrintStats(const FrameStats& s, int poolSize, const SaverSound& sound) {
  // The last frame's viewport and the aspect its projection really used (read back from OpenGL).
  const double projectionAspect = frameView.savedProjection[0] != 0.0
                                      ? frameView.savedProjection[5] / frameView.savedProjection[0]
                                      : 0.0;
  std::printf(
      "{\"frames\":%lld,\"mean_ms\":%.3f,\"worst_ms\":%.3f,\"peak_particles\":%d,"
      "\"pool_size\":%d,\"first_frame_ms\":%.1f,\"viewport\":[%d,%d],\"aspect\":%.4f,"
      "\"slices\":%d,\"interval_mean_ms\":%.3f,\"interval_sd_ms\":%.3f,\"interval_worst_ms\":%.3f,"
      "\"sound_mix_share\":%.5f,\"sound_delay_ms\":%.1f}\n",
      s.frames, MeanFrameMs(s), s.worstMs, PeakLiveParticles(), poolSize, host.firstSwapMs,
      frameView.savedViewport[2], frameView.savedViewport[3], projectionAspect,
      frameView.pictureLayout.whole ? 1 : frameView.pictureLayout.sliceCount, MeanIntervalMs(s),
      IntervalDeviationMs(s), s.intervalWorstMs,
      sound.soundSeconds > 0.0 ? sound.mixSeconds / sound.soundSeconds : 0.0,
      sound.outputDelay * 1000.0);
  std::fflush(stdout);
}

// What the run needs before the display: the recording's folder and the options it keeps.
bool PrepareRun(const HostOptions& o) {
  if (!o.recordDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(o.recordDir, ec);
    if (!std::filesystem::is_directory(o.recordDir, ec)) {
      std::fprintf(stderr, "varenko: cannot create the folder \"%s\"\n", o.recordDir.c_str());
      return false;
    }
    host.recordDir = &o.recordDir;
  }
  if (!o.recordAudioPath.empty() && !OpenWav(host.recordAudio, o.recordAudioPath.c_str())) {
    std::fprintf(stderr, "varenko: cannot write the sound \"%s\"\n", o.recordAudioPath.c_str());
    return false;
  }
  host.options = &o;
  host.win.windowed = o.windowed;
  host.win.embedded = o.embedded();
  host.frameLimit = o.frames;
  host.screenshotPath = o.screenshotPath.empty() ? nullptr : o.screenshotPath.c_str();
  SetStopOutputPending(host.screenshotPath != nullptr || o.stats);
  show.forcedBurstKind = o.burstKind;
  host.showFps = o.showFps;
  referenceParticleDraw = o.referenceDraw;
  referenceSkyDraw = o.referenceSky;
  return true;
}

// After the loop: the screenshot, the scene, the window and display, the statistics.
int FinishRun(SaverLoop& loop, const HostOptions& o) {
  int code = host.recordFailed ? 1 : 0;
  if (host.screenshotPath != nullptr && !WriteScreenshot()) code = 1;
  const int poolSize = pool.nodeCount;  // the pool is emptied with the scene
  EndSaver(loop);
  if (host.recordAudio.file != nullptr && !CloseWav(host.recordAudio)) {
    std::fprintf(stderr, "varenko: cannot write the sound \"%s\"\n", o.recordAudioPath.c_str());
    code = 1;
  }
  CloseWindow(host.win);
  if (o.stats) PrintStats(loop.stats, poolSize, loop.sound);
  return code;
}

// The run after the watcher started: display, set-up, loop, shutdown.
int RunOnDisplay(const HostOptions& o) {
  if (!PrepareRun(o)) return 1;
  host.win.display = XOpenDisplay(nullptr);
  if (host.win.display == nullptr) {
    const char* name = std::getenv("DISPLAY");
    std::fprintf(stderr, "varenko: cannot open display \"%s\"\n", name != nullptr ? name : "");
    return 1;
  }
  XSetErrorHandler(IgnoreXError);

  SaverLoop loop;
  loop.seed = o.seeded ? o.seed : static_cast<std::uint32_t>(std::time(nullptr));
  loop.maxFps = EffectiveMaxFps(o);
  loop.fixedStep = o.fixedStep;
  loop.fixedDt = o.fixedDt;
  loop.frameLimit = o.frames;
  // A preview in another program's window (--window-id) stays silent; --root is the saver itself.
  loop.sound.allowed = o.windowId == 0;
  loop.sound.record = host.recordAudio.file != nullptr ? &host.recordAudio : nullptr;
  const SaverPlatform platform = X11Platform();
  if (!StartSaver(loop, platform)) {
    if (host.recordAudio.file != nullptr) CloseWav(host.recordAudio);
    CloseWindow(host.win);
    return stopRequested ? 0 : 1;  // ended by a signal while starting: a normal end
  }
  host.running = true;
  RunSaverLoop(loop, platform);
  return FinishRun(loop, o);
}

}  // namespace

std::uint32_t TickMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  // Wraps at 2^32 like the Windows counter; the frame clock handles the wrap.
  const std::uint64_t ms = static_cast<std::uint64_t>(t.tv_sec) * 1000u +
                           static_cast<std::uint64_t>(t.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

void SwapFrameBuffers() {
  if (host.win.display == nullptr || host.win.context == nullptr) return;
  if (host.showFps) ShowFps();
  if (host.recordDir != nullptr && !host.recordFailed) RecordFrame();
  // The last frame of a counted run is read before the swap, when the back buffer is certain.
  if (host.screenshotPath != nullptr && host.frameLimit > 0 &&
      host.framesSwapped + 1 == host.frameLimit) {
    ReadFrame(host.capture, host.win.readBuffer, frameView.clientWidth, frameView.clientHeight);
    host.captured = true;
  }
  glXSwapBuffers(host.win.display, host.win.window);
  ++host.framesSwapped;
  if (host.firstSwapMs < 0.0) host.firstSwapMs = SecondsSince(processStart) * 1000.0;
}

int RunX11Saver(const HostOptions& o) {
  StartStopWatcher();  // first: before any library starts a thread
  const int code = RunOnDisplay(o);
  MarkStopFinished();
  return code;
}

}  // namespace varenko

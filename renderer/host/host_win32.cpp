// The Windows host: saver window, message loop, exit rules wired to window messages, the Windows
// 9x password check, and the OpenGL context on the window's device context.
#include "renderer/host/host_win32.h"

#include <GL/gl.h>
#include <mmsystem.h>

#include <cmath>
#include <ctime>
#include <vector>

#include "common/window_titles.h"
#include "renderer/host/exit_rules.h"
#include "renderer/host/monitor_layout.h"
#include "renderer/host/pixel_format.h"
#include "renderer/host/saver_loop.h"
#include "renderer/host/settings.h"
#include "renderer/scene/frame.h"

namespace varenko {

namespace {

constexpr char ClassName[] = "WindowsScreenSaverClass";
constexpr char CreationTitle[] = "Screensaver";
constexpr int SaverIconResource = 7002;

struct Win32Host {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC renderingContext = nullptr;
  POINT origin = {0, 0};  // the window's top-left corner on the virtual screen
  int exitCode = 0;       // WM_QUIT's
  MillisecondClock clock;
  SaverLoop loop;
};

Win32Host host;

// AC line offline is battery power; a failed call or an unknown line status is mains power.
bool OnBatteryNow() {
  SYSTEM_POWER_STATUS status = {};
  return GetSystemPowerStatus(&status) != 0 && status.ACLineStatus == 0;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  auto& monitors = *reinterpret_cast<std::vector<MonitorRect>*>(list);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoA(monitor, &info) != 0 && monitors.size() < MaxMonitors) {
    const RECT& r = info.rcMonitor;
    monitors.push_back({static_cast<int>(r.left - host.origin.x),
                        static_cast<int>(r.top - host.origin.y), static_cast<int>(r.right - r.left),
                        static_cast<int>(r.bottom - r.top)});
  }
  return TRUE;
}

// The picture over every monitor of the virtual screen, in the window's coordinates.
void LayOutMonitors(void*, int width, int height) {
  std::vector<MonitorRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  GLint maxViewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
  frameView.pictureLayout = LayOutPicture(monitors.data(), static_cast<int>(monitors.size()), width,
                                          height, maxViewport[0], maxViewport[1]);
}

// Ties the swap to the refresh through WGL_EXT_swap_control where the driver has it.
void SetSwapInterval(void*, int interval) {
  using SwapIntervalExt = BOOL(WINAPI*)(int);
  const auto f = reinterpret_cast<SwapIntervalExt>(
      reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
  if (f != nullptr) f(interval);
}

POINT CursorPosition() {
  POINT p = {0, 0};
  GetCursorPos(&p);
  return p;
}

void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

LRESULT InputLayer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    if (OnCloseRequest(saverWindow) == CloseDecision::Refuse) return 0;
    if (VerifyPassword(window) == 0) {
      const POINT p = CursorPosition();
      OnPasswordRefused(saverWindow, p.x, p.y);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
  // The password dialog needs ordinary input while it runs.
  if (saverWindow.passwordDialogOpen) return DefWindowProcA(window, message, wParam, lParam);

  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam != 0) SetCursor(nullptr);
      break;
    case WM_ACTIVATEAPP:
      if (wParam == 0 && OnUserInput(saverWindow)) {
        PostClose(window);
        return 0;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (OnUserInput(saverWindow)) PostClose(window);
      break;
    case WM_SETCURSOR:
      SetCursor(nullptr);  // keeps the cursor hidden over the whole screen
      return TRUE;
    case WM_MOUSEMOVE: {
      // The message's own coordinates are client-relative; the reference point is on screen.
      const POINT p = CursorPosition();
      if (OnMouseMove(saverWindow, p.x, p.y)) PostClose(window);
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT LifecycleLayer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    InitGraphics(window);
  } else if (message == WM_DESTROY) {
    ShutdownGraphics(window);
  }
  return InputLayer(window, message, wParam, lParam);
}

// Never lets a C++ exception unwind into the system's message dispatch.
LRESULT OuterLayer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const POINT p = CursorPosition();
      StartExitRules(saverWindow, p.x, p.y);
      SetCursor(nullptr);
      break;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    case WM_SYSCOMMAND:
      // Window switching and a second screen saver started by the system are swallowed.
      if ((wParam & 0xFFF0) == SC_NEXTWINDOW || (wParam & 0xFFF0) == SC_PREVWINDOW ||
          (wParam & 0xFFF0) == SC_SCREENSAVE)
        return 0;
      break;
    default:
      break;
  }
  return LifecycleLayer(window, message, wParam, lParam);
}

// --- what the saver loop asks of the platform -----------------------------------------------

void ReadRegistrySettings(void*) {
  ApplyDefaults();
  SetWindowTextA(host.window, RendererWindowTitle);  // the front end finds the renderer by it
  ReadSettings();
}

bool OpenContext(void*) {
  host.deviceContext = GetDC(host.window);
  ChoosePixelFormatByScore(host.deviceContext);
  host.renderingContext = wglCreateContext(host.deviceContext);
  wglMakeCurrent(host.deviceContext, host.renderingContext);
  return true;
}

void ClientSize(void*, int& width, int& height) {
  RECT client = {0, 0, 0, 0};
  GetClientRect(host.window, &client);
  width = client.right - client.left;
  height = client.bottom - client.top;
}

double RefreshHz(void*) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof(mode);
  // 0 and 1 stand for the hardware's default rate: unknown.
  return EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) != 0 ? mode.dmDisplayFrequency
                                                                          : 0.0;
}

bool OnBattery(void*) { return OnBatteryNow(); }
void LowerPriority(void*) { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST); }
void GiveWay(void*) { Sleep(0); }
double Now(void*) { return ClockSeconds(host.clock, timeGetTime()); }

// Dispatches every waiting message; false once WM_QUIT came.
bool PumpMessages(void*) {
  MSG msg = {};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      host.exitCode = static_cast<int>(msg.wParam);
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

// Sleeps until the frame is due (whole milliseconds) or any message arrives.
void WaitForMessage(void*, double seconds) {
  const DWORD ms = static_cast<DWORD>(std::lround(seconds * 1000.0));
  MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
}

SaverPlatform Win32Platform() {
  SaverPlatform p;
  p.readSettings = ReadRegistrySettings;
  p.openWindow = OpenContext;
  p.clientSize = ClientSize;
  p.layOutMonitors = LayOutMonitors;
  p.refreshHz = RefreshHz;
  p.onBattery = OnBattery;
  p.setSwapInterval = SetSwapInterval;
  p.lowerPriority = LowerPriority;
  p.cursorPosition = nullptr;  // the exit rules start first, at WM_CREATE (OuterLayer)
  p.pumpEvents = PumpMessages;
  p.waitForInput = WaitForMessage;
  p.yield = GiveWay;
  p.now = Now;
  return p;
}

}  // namespace

std::uint32_t TickMilliseconds() { return timeGetTime(); }

void SwapFrameBuffers() {
  if (host.deviceContext != nullptr) wglSwapLayerBuffers(host.deviceContext, WGL_SWAP_MAIN_PLANE);
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return OuterLayer(window, message, wParam, lParam);
  } catch (...) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

int VerifyPassword(HWND window) {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
  // Outside the Windows 9x family the system itself guards the desktop.
  if (!known || version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS) return 1;

  HMODULE library = LoadLibraryA("PASSWORD.CPL");
  if (library == nullptr) return 1;
  using VerifyFunction = BOOL(WINAPI*)(HWND);
  const auto verify = reinterpret_cast<VerifyFunction>(
      reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
  if (verify == nullptr) {
    FreeLibrary(library);
    return 1;
  }
  UINT scratch = 0;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, &scratch, 0);
  saverWindow.passwordDialogOpen = true;
  const BOOL result = verify(window);
  saverWindow.passwordDialogOpen = false;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &scratch, 0);
  FreeLibrary(library);
  return result;
}

void ChoosePixelFormatByScore(HDC deviceContext) {
  const int best = BestPixelFormat([deviceContext](int index, PixelFormatRecord& f) {
    PIXELFORMATDESCRIPTOR d = {};
    if (DescribePixelFormat(deviceContext, index, sizeof(d), &d) == 0) return false;
    f = PixelFormatRecord{d.dwFlags, d.iPixelType, d.cColorBits, d.cDepthBits};
    return true;
  });
  PIXELFORMATDESCRIPTOR d = {};
  if (best != 0) {
    DescribePixelFormat(deviceContext, best, sizeof(d), &d);
    SetPixelFormat(deviceContext, best, &d);
    return;
  }
  d.nSize = sizeof(d);
  d.nVersion = 1;
  d.dwFlags = FallbackPixelFormatFlags;
  d.iPixelType = PFD_TYPE_RGBA;
  d.cColorBits = FallbackColorBits;
  d.cDepthBits = FallbackDepthBits;
  SetPixelFormat(deviceContext, ChoosePixelFormat(deviceContext, &d), &d);
}

void InitGraphics(HWND window) {
  host.window = window;
  StartSaver(host.loop, Win32Platform());
}

void ShutdownGraphics(HWND window) {
  EndSaver(host.loop);
  ReleaseDC(window, host.deviceContext);
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(host.renderingContext);
  host.deviceContext = nullptr;
  host.renderingContext = nullptr;
}

int RunSaver(HINSTANCE instance) {
  host.instance = instance;
  host.loop.seed = static_cast<std::uint32_t>(std::time(nullptr));
  host.loop.maxFps = -1;        // the Windows saver follows the display
  host.loop.clockTick = 0.001;  // timeGetTime's milliseconds
  WNDCLASSA wc = {};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
  wc.lpfnWndProc = SaverWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(SaverIconResource));
  wc.hCursor = nullptr;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = ClassName;

  // The whole virtual screen, so that no monitor shows the desktop; the primary screen alone
  // where the system does not report one.
  int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  host.origin = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
  if (width <= 0 || height <= 0) {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    host.origin = {0, 0};
  }

  // Another screen-saver window with the standard title is already running: bring it forward.
  const HWND other = FindWindowA(ClassName, CreationTitle);
  if (other != nullptr && IsWindow(other)) {
    SetForegroundWindow(other);
    return 0;
  }
  if (RegisterClassA(&wc) == 0) return 0;

  host.window =
      CreateWindowExA(WS_EX_TOPMOST, ClassName, CreationTitle,
                      WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, host.origin.x,
                      host.origin.y, width, height, nullptr, nullptr, instance, nullptr);
  if (host.window == nullptr) return 0;
  SetForegroundWindow(host.window);
  // Frames run whenever no message waits, each once it is due; until then the loop sleeps and
  // wakes for any message.
  timeBeginPeriod(1);  // waits of single milliseconds, not of the 15.6 ms default tick
  RunSaverLoop(host.loop, Win32Platform());
  timeEndPeriod(1);
  return host.exitCode;
}

}  // namespace varenko

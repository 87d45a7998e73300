// The Windows host: saver window, message loop, exit rules wired to window messages, the Windows
// 9x password check, and the OpenGL context on the window's device context.
#include "renderer/host/host_win32.h"

#include <GL/gl.h>
#include <mmsystem.h>

#include <ctime>
#include <vector>

#include "renderer/host/exit_rules.h"
#include "renderer/host/frame_pacing.h"
#include "renderer/host/monitor_layout.h"
#include "renderer/host/pixel_format.h"
#include "renderer/host/settings.h"
#include "renderer/scene/frame.h"

namespace varenko {

namespace {

constexpr char ClassName[] = "WindowsScreenSaverClass";
constexpr char CreationTitle[] = "Screensaver";
constexpr char RunningTitle[] = "VarenkoVC";  // the front end finds the renderer by this title
constexpr int SaverIconResource = 7002;

constexpr DWORD PowerCheckMs = 5000;  // how often the power source is asked again

struct Win32Host {
  HINSTANCE instance;
  HWND window;
  HDC deviceContext;
  HGLRC renderingContext;
  POINT origin;      // the window's top-left corner on the virtual screen
  double refreshHz;  // as the display settings report it; 0 unknown
  bool onBattery;
  FramePacer pacer;
};

Win32Host host = {nullptr, nullptr, nullptr, nullptr, {0, 0}, 0.0, false, {0.0, 0.0, false}};

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
void LayOutMonitors(int width, int height) {
  std::vector<MonitorRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  GLint maxViewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
  frameView.pictureLayout = LayOutPicture(monitors.data(), static_cast<int>(monitors.size()), width,
                                          height, maxViewport[0], maxViewport[1]);
}

// Ties the swap to the refresh through WGL_EXT_swap_control where the driver has it.
void SetSwapInterval(int interval) {
  using SwapIntervalExt = BOOL(WINAPI*)(int);
  const auto f = reinterpret_cast<SwapIntervalExt>(
      reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
  if (f != nullptr) f(interval);
}

void ApplyPacing() {
  const PacingPlan plan = PlanPacing(host.refreshHz, -1, host.onBattery);
  SetSwapInterval(plan.swapInterval);
  host.pacer.frameSeconds = plan.frameSeconds;
}

double Seconds(DWORD ms) { return static_cast<double>(ms) * 0.001; }

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
    ApplyDefaults();
    SetWindowTextA(window, RunningTitle);
    ReadSettings();
    InitGraphics(window);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    saverWindow.renderActive = true;
  } else if (message == WM_DESTROY) {
    saverWindow.renderActive = false;
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

// Frames run whenever no message waits, each once it is due; until then the loop sleeps and
// wakes for any message.
int MessageLoop() {
  MSG msg = {};
  timeBeginPeriod(1);  // waits of single milliseconds, not of the 15.6 ms default tick
  DWORD powerChecked = timeGetTime();
  DWORD due = timeGetTime();
  for (;;) {
    while (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      const DWORD now = timeGetTime();
      const LONG early = static_cast<LONG>(due - now);  // wrap-safe
      if (early > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(early), QS_ALLINPUT);
        continue;
      }
      if (now - powerChecked >= PowerCheckMs) {
        powerChecked = now;
        const bool battery = OnBatteryNow();
        if (battery != host.onBattery) {
          host.onBattery = battery;
          ApplyPacing();
        }
      }
      const DWORD start = timeGetTime();
      if (IdleTick(saverWindow.renderActive, saverWindow.passwordDialogOpen)) {
        const DWORD end = timeGetTime();
        // Across a wrap of the millisecond counter the pacer waits at most one frame.
        const double wait = NextFrameWait(host.pacer, Seconds(start), Seconds(end));
        due = end + static_cast<DWORD>(wait * 1000.0 + 0.5);
      } else {
        Sleep(0);
      }
    }
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {  // -1: no valid queue left to read
      timeEndPeriod(1);
      return got == 0 ? static_cast<int>(msg.wParam) : 0;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
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
  SeedShow(static_cast<std::uint32_t>(std::time(nullptr)));
  host.deviceContext = GetDC(window);
  ChoosePixelFormatByScore(host.deviceContext);
  host.renderingContext = wglCreateContext(host.deviceContext);
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  wglMakeCurrent(host.deviceContext, host.renderingContext);
  SetUpScene(client.right - client.left, client.bottom - client.top);
  LayOutMonitors(client.right - client.left, client.bottom - client.top);
  DEVMODEA mode = {};
  mode.dmSize = sizeof(mode);
  // 0 and 1 stand for the hardware's default rate: unknown.
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) != 0)
    host.refreshHz = mode.dmDisplayFrequency;
  host.onBattery = OnBatteryNow();
  ApplyPacing();
}

void ShutdownGraphics(HWND window) {
  ReleaseScene();
  ReleaseDC(window, host.deviceContext);
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(host.renderingContext);
  host.deviceContext = nullptr;
  host.renderingContext = nullptr;
}

int RunSaver(HINSTANCE instance) {
  host.instance = instance;
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
  return MessageLoop();
}

}  // namespace varenko

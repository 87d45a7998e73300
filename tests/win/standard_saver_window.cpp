// Shows a window of the system's screen-saver class with the standard title "Screensaver" for the
// number of seconds given (default 20), as another screen saver would while it runs.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "WindowsScreenSaverClass";
  if (RegisterClassA(&wc) == 0) return 1;
  const HWND window = CreateWindowExA(0, wc.lpszClassName, "Screensaver", WS_POPUP | WS_VISIBLE, 0,
                                      0, 64, 64, nullptr, nullptr, wc.hInstance, nullptr);
  if (window == nullptr) return 1;
  std::puts("shown");
  std::fflush(stdout);
  const DWORD end =
      GetTickCount() + static_cast<DWORD>(seconds > 0 && seconds < 600 ? seconds : 20) * 1000;
  MSG msg;
  while (GetTickCount() < end) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(20);
  }
  DestroyWindow(window);
  return 0;
}

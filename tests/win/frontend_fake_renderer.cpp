// A stand-in for the renderer in the front end's run tests: a plain top-level window titled
// "VarenkoVC" that closes on a key press or a click, without the cost of OpenGL under Wine.
// With the argument "gone" it exits at once without a window, like a renderer that fails.
#include <windows.h>

#include <cstring>

#include "common/window_titles.h"
namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  if (commandLine != nullptr && std::strstr(commandLine, "gone") != nullptr) return 0;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = L"FakeRenderer";
  RegisterClassW(&windowClass);
  const HWND window =
      CreateWindowExW(WS_EX_TOPMOST, L"FakeRenderer", varenko::RendererWindowTitleW, WS_POPUP, 0, 0,
                      640, 480, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  SetForegroundWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

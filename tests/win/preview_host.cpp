// Stands in for the system's preview area: a borderless window of the given client size at
// (100, 100) on a pure green background, whose handle the front end's preview mode is given.
// Prints "hwnd=N" at once; when the trigger file appears it reports the preview window it finds
// among its children and destroys its window, as the display settings do.
//
//   preview_host WIDTH HEIGHT TRIGGER_FILE
//   preview_host --picture PATH_OF_VARENKO_SCR    describes the preview picture the program holds
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/window_titles.h"
namespace {

const char* trigger = "";

struct ProcessWatch {
  HANDLE process = nullptr;
  ULONGLONG start = 0;
  ULONGLONG ended = 0;      // tick count when the process ended; 0 when it did not within 10 s
  ULONGLONG destroyed = 0;  // tick count of this window's WM_DESTROY
};
ProcessWatch watch;

DWORD WINAPI WatchProcess(void*) {
  if (WaitForSingleObject(watch.process, 10000) == WAIT_OBJECT_0) watch.ended = GetTickCount64();
  return 0;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (GetFileAttributesA(trigger) != INVALID_FILE_ATTRIBUTES) {
        KillTimer(hwnd, 1);
        HWND child = FindWindowExW(hwnd, nullptr, nullptr, varenko::PreviewWindowTitle);
        RECT r{};
        POINT at{0, 0};
        if (child && GetClientRect(child, &r) && MapWindowPoints(child, hwnd, &at, 1) >= 0) {
          wchar_t name[64] = {};
          GetClassNameW(child, name, 64);
          std::printf("child=%ldx%ld+%ld+%ld\n", r.right, r.bottom, at.x, at.y);
          std::printf("class=%ls\nvisible=%d\nwschild=%d\nparent=%d\n", name,
                      IsWindowVisible(child) ? 1 : 0,
                      (GetWindowLongW(child, GWL_STYLE) & WS_CHILD) ? 1 : 0,
                      GetParent(child) == hwnd ? 1 : 0);
        } else {
          std::printf("child=none\n");
        }
        std::fflush(stdout);
        // How long the front end's process lives on once its area is gone. Watched from a
        // thread of its own, since Wine's DestroyWindow of a window with another process's
        // child blocks for a while by itself.
        DWORD pid = 0;
        if (child) GetWindowThreadProcessId(child, &pid);
        watch.process = pid ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr;
        watch.start = GetTickCount64();
        HANDLE watcher =
            watch.process ? CreateThread(nullptr, 0, WatchProcess, nullptr, 0, nullptr) : nullptr;
        DestroyWindow(hwnd);
        std::printf("destroy_ms=%llu\n", GetTickCount64() - watch.start);
        if (watcher) {
          WaitForSingleObject(watcher, INFINITE);
          CloseHandle(watcher);
          // Counted from this window's WM_DESTROY: Wine spends about 2 s in DestroyWindow
          // before it, without a window manager, whatever the children.
          if (watch.ended)
            std::printf("ended_ms=%lld\n", static_cast<long long>(watch.ended - watch.destroyed));
          else
            std::printf("ended_ms=never\n");
          CloseHandle(watch.process);
        }
      }
      return 0;
    case WM_DESTROY:
      watch.destroyed = GetTickCount64();
      std::printf("destroyed\n");
      std::fflush(stdout);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

// The share of the picture's pixels that are lit (a channel above 96) and that are dark (every
// channel below 48): a night sky with bursts is mostly dark with some lit pixels.
int DescribePicture(const char* scr) {
  HMODULE module = LoadLibraryExA(scr, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HBITMAP picture = module
                        ? static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(2020),
                                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
                        : nullptr;
  DIBSECTION dib{};
  if (!picture || GetObjectW(picture, sizeof dib, &dib) != sizeof dib ||
      dib.dsBm.bmBitsPixel != 24 || !dib.dsBm.bmBits) {
    std::printf("picture=none\n");
    return 0;
  }
  const auto* bits = static_cast<const unsigned char*>(dib.dsBm.bmBits);
  long lit = 0, dark = 0;
  for (int y = 0; y < dib.dsBm.bmHeight; ++y) {
    const unsigned char* row = bits + static_cast<long>(y) * dib.dsBm.bmWidthBytes;
    for (int x = 0; x < dib.dsBm.bmWidth; ++x) {
      const unsigned char b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
      if (r > 96 || g > 96 || b > 96) ++lit;
      if (r < 48 && g < 48 && b < 48) ++dark;
    }
  }
  const double all = static_cast<double>(dib.dsBm.bmWidth) * dib.dsBm.bmHeight;
  std::printf("picture=%ldx%ld\nlit=%.3f\ndark=%.3f\n", dib.dsBm.bmWidth, dib.dsBm.bmHeight,
              lit / all, dark / all);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--picture") return DescribePicture(argv[2]);
  if (argc < 4) {
    std::fprintf(stderr, "usage: preview_host WIDTH HEIGHT TRIGGER_FILE\n");
    return 2;
  }
  const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
  trigger = argv[3];
  WNDCLASSW wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = CreateSolidBrush(RGB(0, 255, 0));
  wc.lpszClassName = L"PreviewHost";
  RegisterClassW(&wc);
  HWND hwnd =
      CreateWindowExW(0, L"PreviewHost", L"Preview Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                      100, 100, width, height, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 1;
  std::printf("hwnd=%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(hwnd)));
  std::fflush(stdout);
  SetTimer(hwnd, 1, 50, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

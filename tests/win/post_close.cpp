// Posts WM_CLOSE to the window titled by the first argument (default "VarenkoVC"), as another
// program would. Prints "posted" or "not found".
#include <windows.h>

#include <cstdio>

#include "common/window_titles.h"
int main(int argc, char** argv) {
  const char* title = argc > 1 ? argv[1] : varenko::RendererWindowTitle;
  const HWND window = FindWindowA(nullptr, title);
  if (window == nullptr) {
    std::puts("not found");
    return 1;
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  std::puts("posted");
  return 0;
}

// Prints where a top-level window with the given title lies: "found=0" when there is none, else
// its client size and the screen position of its client area, one "name=value" per line, so that
// end-to-end scripts can check sizes and aim clicks at laid-out positions. The virtual screen
// (every monitor's bounding box) follows as "virtual=X,Y WxH".
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_info TITLE\n");
    return 2;
  }
  HWND window = FindWindowA(nullptr, argv[1]);
  RECT client{};
  POINT origin{0, 0};
  if (!window || !GetClientRect(window, &client) || !ClientToScreen(window, &origin)) {
    std::printf("found=0\n");
    return 0;
  }
  std::printf("found=1\nclient=%ldx%ld\norigin=%ld,%ld\n", client.right, client.bottom, origin.x,
              origin.y);
  std::printf("virtual=%d,%d %dx%d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
              GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
              GetSystemMetrics(SM_CYVIRTUALSCREEN));
  return 0;
}

// The preview window `Tamsel_R`: a still picture of a firework (`Img_Prev`) shown inside the
// system's preview area, living until that area goes.
#include <windows.h>

#include <algorithm>

#include "common/window_titles.h"
#include "frontend/app/preview.h"
#include "frontend/settings/dialog_resources.h"

namespace varenko {

// ----------------------------------------------------------------------------------------------
// Types and globals
// ----------------------------------------------------------------------------------------------

namespace {

constexpr wchar_t PreviewClass[] = L"Tamsel_R";

// The parent may be destroyed without its children being told (its process killed, say); this
// watch notices within a second.
constexpr UINT_PTR ParentWatch = 1;
constexpr UINT ParentWatchInterval = 250;

struct PreviewState {
  HWND parent = nullptr;
  HBITMAP picture = nullptr;  // `Img_Prev`'s picture, 152 x 112
  RECT image{};               // `Img_Prev`, in the window's client pixels
};
PreviewState preview;

// ----------------------------------------------------------------------------------------------
// Internal functions
// ----------------------------------------------------------------------------------------------

void OnPaint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HDC source = preview.picture ? CreateCompatibleDC(dc) : nullptr;
  if (source) {
    BITMAP info{};
    GetObjectW(preview.picture, sizeof info, &info);
    HGDIOBJ old = SelectObject(source, preview.picture);
    // At its own size from the image's top-left corner, cut where the image ends.
    const int w = std::min<int>(info.bmWidth, preview.image.right - preview.image.left);
    const int h = std::min<int>(info.bmHeight, preview.image.bottom - preview.image.top);
    if (w > 0 && h > 0)
      BitBlt(dc, preview.image.left, preview.image.top, w, h, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint(hwnd);
      return 0;
    case WM_TIMER:
      if (wParam == ParentWatch && !IsWindow(preview.parent)) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      // `Form_Unload`: with the window gone the front end has nothing left to do.
      KillTimer(hwnd, ParentWatch);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

// ----------------------------------------------------------------------------------------------
// Functions
// ----------------------------------------------------------------------------------------------

void RunPreview(std::intptr_t parentHandle) {
  HWND parent = reinterpret_cast<HWND>(parentHandle);
  // Nothing to show a picture in: the front end ends at once.
  if (!parent || !IsWindow(parent)) return;
  preview.parent = parent;

  RECT area{};
  GetWindowRect(parent, &area);
  const int width = area.right - area.left, height = area.bottom - area.top;

  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PreviewProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = PreviewClass;
  if (!RegisterClassExW(&wc)) return;
  preview.picture = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDB_PREVIEW), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));

  // Loaded hidden and borderless; then made a child of the preview area. WS_POPUP gives way to
  // WS_CHILD (the two cannot be combined); every other style bit stays.
  HWND hwnd = CreateWindowExW(0, PreviewClass, PreviewWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
  if (!hwnd) {
    if (preview.picture) DeleteObject(preview.picture);
    return;
  }
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  SetWindowLongW(hwnd, GWL_STYLE, (style & ~static_cast<LONG>(WS_POPUP)) | WS_CHILD);
  SetParent(hwnd, parent);
  MoveWindow(hwnd, 0, 0, width, height, FALSE);
  preview.image = {0, 0, width, height};
  SetTimer(hwnd, ParentWatch, ParentWatchInterval, nullptr);
  ShowWindow(hwnd, SW_SHOW);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (preview.picture) DeleteObject(preview.picture);
  preview = PreviewState{};
}

}  // namespace varenko

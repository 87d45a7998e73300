// The option groups of the settings dialog as windows of their own, so that the keyboard reaches
// them: each lies over its marks and captions, shows the dialog's face through itself, draws the
// focus mark while it has the focus, and turns Space and the arrow keys into choices. Mouse
// presses go on to the dialog, which decides what lies under them.
#include "frontend/settings/dialog_win32.h"
#include "frontend/settings/store.h"

namespace varenko::dialog_win32 {

namespace {

constexpr wchar_t OptionGroupClass[] = L"Tamsel.OptionGroup";

OptionGroup GroupOf(HWND hwnd) {
  return static_cast<OptionGroup>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void OnKey(HWND hwnd, WPARAM key) {
  OptionKey which;
  switch (key) {
    case VK_SPACE:
      which = OptionKey::Space;
      break;
    case VK_LEFT:
    case VK_UP:
      which = OptionKey::Previous;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      which = OptionKey::Next;
      break;
    default:
      return;
  }
  ShowChange(KeyOption(dialog.view, StoredSettings, GroupOf(hwnd), which));
}

// The dialog's face beneath the window, then the focus mark.
void PaintGroup(HWND hwnd, HDC dc, const RECT& client) {
  POINT origin{0, 0};
  MapWindowPoints(hwnd, GetParent(hwnd), &origin, 1);
  SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
  SendMessageW(GetParent(hwnd), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  if (GetFocus() == hwnd) {
    RECT mark = client;
    InflateRect(&mark, -1, -1);
    DrawFocusRect(dc, &mark);
  }
}

LRESULT CALLBACK OptionGroupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      OnKey(hwnd, wParam);
      return 0;
    case WM_CHAR:
      return 0;  // Space has acted on its key-down
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintOffScreen(hwnd, PaintGroup);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      SetFocus(hwnd);
      POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      MapWindowPoints(hwnd, GetParent(hwnd), &p, 1);
      SendMessageW(GetParent(hwnd), message, wParam, MAKELPARAM(p.x, p.y));
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterOptionGroupClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  if (GetClassInfoExW(instance, OptionGroupClass, &wc)) return true;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = OptionGroupProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = OptionGroupClass;
  return RegisterClassExW(&wc) != 0;
}

HWND CreateOptionGroup(OptionGroup group, Container container, const TwipRect& place, int id) {
  const RECT r = Place(container, place);
  HWND hwnd = CreateWindowExW(0, OptionGroupClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, dialog.hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  if (hwnd) SetWindowLongPtrW(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(group));
  return hwnd;
}

}  // namespace varenko::dialog_win32

// The Win32 side of the skinned push button: window class, drawing surface, state pictures,
// gradient face, caption, cursor poll. The decisions are button.cpp's; this file only feeds it
// events and carries out its reactions.
#include "frontend/settings/button_win32.h"

#include <windowsx.h>

#include <new>
#include <string>

#include "frontend/settings/dialog_font_win32.h"
#include "frontend/settings/dialog_resources.h"

namespace varenko {

// ----------------------------------------------------------------------------------------------
// Types and globals
// ----------------------------------------------------------------------------------------------

namespace {

constexpr UINT_PTR TmrMouse = 1;
constexpr UINT TmrMouseInterval = 100;

// One button window. Lives from WM_NCCREATE to WM_NCDESTROY.
struct CommandWindow {
  CommandState state;
  std::wstring caption = L"Command";  // LblMsg's caption
  HFONT font = nullptr;               // LblMsg's font
  bool ownsFont = false;              // created from the saved "Font"; deleted with the window
  COLORREF colour = RGB(0, 0, 0);     // LblMsg's text colour
  bool captionEnabled = true;         // false draws the caption greyed
  bool opaque = true;                 // the saved "Visible": false shows only the caption
  HBITMAP surface = nullptr;          // face and frame, kept between paints
  int width = 0, height = 0;          // client size in pixels
};

// The six state pictures, loaded from the program's resources on first use. A missing picture
// leaves the frame out and only the face shows.
HBITMAP pictures[ButtonPictureCount];
bool picturesLoaded = false;

HBITMAP Picture(ButtonPicture which) {
  if (!picturesLoaded) {
    picturesLoaded = true;
    for (int i = 0; i < ButtonPictureCount; ++i)
      pictures[i] = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                    MAKEINTRESOURCEW(IDB_BUTTON_NORMAL + i),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  }
  return pictures[static_cast<int>(which)];
}

CommandWindow* Data(HWND hwnd) {
  return reinterpret_cast<CommandWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// ----------------------------------------------------------------------------------------------
// Internal functions
// ----------------------------------------------------------------------------------------------

int DpiX(HDC dc) { return dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96; }
int DpiY(HDC dc) { return dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96; }

// Face of the control: a vertical two-colour gradient over the whole surface.
void PaintFace(const CommandWindow& w, HDC dc) {
  const auto [top, bottom] = FaceColours(w.state.FaceReversed);
  TRIVERTEX vertices[2] = {};
  vertices[0].x = 0;
  vertices[0].y = 0;
  vertices[0].Red = GradientChannel(top.red);
  vertices[0].Green = GradientChannel(top.green);
  vertices[0].Blue = GradientChannel(top.blue);
  vertices[1].x = w.width - 1;
  vertices[1].y = w.height - 1;
  vertices[1].Red = GradientChannel(bottom.red);
  vertices[1].Green = GradientChannel(bottom.green);
  vertices[1].Blue = GradientChannel(bottom.blue);
  GRADIENT_RECT mesh = {0, 1};
  GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
}

// Draws the state picture's frame over the face onto the surface, then asks for a repaint.
void PaintState(CommandWindow& w, HWND hwnd, ButtonPicture picture) {
  ChooseFaceDirection(w.state);
  HDC screen = GetDC(hwnd);
  if (!screen) return;
  HDC dc = CreateCompatibleDC(screen);
  const int dpiX = DpiX(screen), dpiY = DpiY(screen);
  if (!w.surface) w.surface = CreateCompatibleBitmap(screen, w.width, w.height);
  ReleaseDC(hwnd, screen);
  if (!dc || !w.surface) {
    if (dc) DeleteDC(dc);
    return;
  }
  HGDIOBJ oldSurface = SelectObject(dc, w.surface);
  RECT all{0, 0, w.width, w.height};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  PaintFace(w, dc);

  if (HBITMAP source = Picture(picture)) {
    HDC pictureDc = CreateCompatibleDC(dc);
    if (pictureDc) {
      HGDIOBJ oldPicture = SelectObject(pictureDc, source);
      SetStretchBltMode(dc, COLORONCOLOR);
      // The pieces are laid out in twips; the picture's own grid is 15 twips to a pixel, the
      // control's is the screen's.
      const int twipsW = MulDiv(w.width, 1440, dpiX), twipsH = MulDiv(w.height, 1440, dpiY);
      for (const BorderPiece& piece : BorderPieces(twipsW, twipsH)) {
        const TwipRect& s = piece.source;
        const TwipRect& t = piece.target;
        const int left = MulDiv(t.x, dpiX, 1440), right = MulDiv(t.x + t.width, dpiX, 1440);
        const int top = MulDiv(t.y, dpiY, 1440), bottom = MulDiv(t.y + t.height, dpiY, 1440);
        if (right <= left || bottom <= top) continue;
        StretchBlt(dc, left, top, right - left, bottom - top, pictureDc, s.x / 15, s.y / 15,
                   s.width / 15, s.height / 15, SRCCOPY);
      }
      SelectObject(pictureDc, oldPicture);
      DeleteDC(pictureDc);
    }
  }
  SelectObject(dc, oldSurface);
  DeleteDC(dc);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void Apply(CommandWindow& w, HWND hwnd, const ButtonReaction& r) {
  if (r.captionEnabled >= 0) w.captionEnabled = r.captionEnabled == 1;
  if (r.captionBlack) w.colour = RGB(0, 0, 0);
  if (r.paint) PaintState(w, hwnd, r.picture);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void OnPaint(CommandWindow& w, HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  // Composed off screen so that the caption never flickers over a bare face.
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP canvas = CreateCompatibleBitmap(dc, w.width, w.height);
  if (memory && canvas) {
    HGDIOBJ oldCanvas = SelectObject(memory, canvas);
    if (w.opaque && w.surface) {
      HDC surfaceDc = CreateCompatibleDC(dc);
      if (surfaceDc) {
        HGDIOBJ old = SelectObject(surfaceDc, w.surface);
        BitBlt(memory, 0, 0, w.width, w.height, surfaceDc, 0, 0, SRCCOPY);
        SelectObject(surfaceDc, old);
        DeleteDC(surfaceDc);
      }
    } else {
      // Transparent: whatever the parent shows beneath the control.
      POINT origin{0, 0};
      MapWindowPoints(hwnd, GetParent(hwnd), &origin, 1);
      SetViewportOrgEx(memory, -origin.x, -origin.y, nullptr);
      SendMessageW(GetParent(hwnd), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
      SetViewportOrgEx(memory, 0, 0, nullptr);
    }
    HGDIOBJ oldFont = SelectObject(memory, w.font ? w.font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, w.captionEnabled ? w.colour : GetSysColor(COLOR_GRAYTEXT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(memory, &metrics);
    const int dpiY = DpiY(dc);
    const int top = MulDiv(
        CaptionTop(MulDiv(w.height, 1440, dpiY), MulDiv(metrics.tmHeight, 1440, dpiY)), dpiY, 1440);
    RECT text{0, top, w.width, w.height};
    DrawTextW(memory, w.caption.c_str(), static_cast<int>(w.caption.size()), &text,
              DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(memory, oldFont);
    BitBlt(dc, 0, 0, w.width, w.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldCanvas);
  }
  if (canvas) DeleteObject(canvas);
  if (memory) DeleteDC(memory);
  EndPaint(hwnd, &ps);
}

MouseButton Which(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return MouseButton::Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return MouseButton::Right;
    default:
      return MouseButton::Middle;
  }
}

void PollCursor(CommandWindow& w, HWND hwnd) {
  POINT cursor;
  if (!GetCursorPos(&cursor)) return;
  // The caption has no window of its own, so over it the window found is the control's.
  if (WindowFromPoint(cursor) != hwnd) Apply(w, hwnd, LeaveButton(w.state));
}

// Applies saved properties in their reading order, then RefreshButton. Runs in WM_CREATE, so
// the first WM_SIZE (ApplyEnabled) already sees them.
void ReadSaved(CommandWindow& w, HWND hwnd, const PropertyBag& saved) {
  const CommandProperties p = ReadProperties(saved);
  w.state.Enabled = p.Enabled;
  w.caption = p.Caption;
  std::wstring face;
  double points = 0;
  if (!p.Font.empty() && ParseFontSpec(p.Font, face, points)) {
    HDC screen = GetDC(hwnd);
    const int dpiY = DpiY(screen);
    if (screen) ReleaseDC(hwnd, screen);
    // A face of Japanese captions needs the Japanese stand-ins when it is missing.
    const bool japanese = !face.empty() && face[0] > 0x7F;
    w.font = CreateUiFont(face.c_str(), points, dpiY, japanese);
    w.ownsFont = w.font != nullptr;
  }
  if (!w.font) w.font = reinterpret_cast<HFONT>(SendMessageW(GetParent(hwnd), WM_GETFONT, 0, 0));
  w.state.FirstRun = p.FirstRun;
  w.colour = p.FontColour & 0x00FFFFFF;
  w.opaque = p.Visible;
  EnableWindow(hwnd, w.state.Enabled != 0);
  Apply(w, hwnd, RefreshButton(w.state));
}

LRESULT CALLBACK CommandProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* w = new (std::nothrow) CommandWindow;
    if (!w) return FALSE;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  CommandWindow* w = Data(hwnd);
  if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);

  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      w->width = create->cx;
      w->height = create->cy;
      if (const auto* saved = static_cast<const PropertyBag*>(create->lpCreateParams))
        ReadSaved(*w, hwnd, *saved);
      SetWindowTextW(hwnd, w->caption.c_str());
      return 0;
    }
    case WM_NCDESTROY:
      if (w->surface) DeleteObject(w->surface);
      if (w->ownsFont) DeleteObject(w->font);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete w;
      return 0;
    case WM_SIZE:
      if (w->surface) DeleteObject(w->surface);
      w->surface = nullptr;
      w->width = LOWORD(lParam);
      w->height = HIWORD(lParam);
      Apply(*w, hwnd, varenko::ApplyEnabled(w->state));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint(*w, hwnd);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // The control keeps the mouse until the release, wherever the cursor goes.
      SetCapture(hwnd);
      Apply(*w, hwnd, MouseDown(w->state, Which(message)));
      if (message == WM_LBUTTONDOWN && w->state.Enabled != 0) SetFocus(hwnd);
      return 0;
    case WM_MOUSEMOVE:
      Apply(*w, hwnd, MouseMove(w->state));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
      const ButtonReaction r = MouseUp(w->state, Which(message));
      Apply(*w, hwnd, r);
      // Last: the parent may destroy this control while handling the click.
      if (r.click)
        SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd));
      return 0;
    }
    case WM_SETFOCUS:
      Apply(*w, hwnd, GotFocus(w->state));
      return 0;
    case WM_KILLFOCUS:
      Apply(*w, hwnd, LostFocus(w->state));
      return 0;
    case WM_TIMER:
      if (wParam == TmrMouse) PollCursor(*w, hwnd);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(w->font);
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

// ----------------------------------------------------------------------------------------------
// Functions
// ----------------------------------------------------------------------------------------------

bool RegisterCommandClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  if (GetClassInfoExW(instance, CommandClassName, &wc)) return true;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = CommandProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = CommandClassName;
  return RegisterClassExW(&wc) != 0;
}

HWND CreateCommand(HWND parent, int id, const RECT& pixels, const PropertyBag& saved) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterCommandClass(instance)) return nullptr;
  HWND hwnd =
      CreateWindowExW(0, CommandClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, pixels.left,
                      pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                      const_cast<PropertyBag*>(&saved));
  return hwnd;
}

bool IsCommand(HWND window) {
  wchar_t name[32] = {};
  return GetClassNameW(window, name, 32) > 0 && std::wstring(name) == CommandClassName;
}

void InitializeCommand(HWND button) {
  CommandWindow* w = IsCommand(button) ? Data(button) : nullptr;
  if (!w) return;
  Initialize(w->state);
  SetTimer(button, TmrMouse, TmrMouseInterval, nullptr);
}

void SetCommandEnabled(HWND button, std::int16_t value) {
  CommandWindow* w = IsCommand(button) ? Data(button) : nullptr;
  if (!w) return;
  EnableWindow(button, value != 0);
  Apply(*w, button, WriteEnabled(w->state, value));
}

std::int16_t GetCommandEnabled(HWND button) {
  CommandWindow* w = IsCommand(button) ? Data(button) : nullptr;
  if (!w) return 0;
  std::int16_t value = 0;
  Apply(*w, button, ReadEnabled(w->state, value));
  EnableWindow(button, value != 0);
  return value;
}

}  // namespace varenko

// The settings dialog's size: the DPI it is laid out at, which shrinks where the dialog would
// not fit the work area of its monitor, and its fonts, which shrink where a caption would not fit
// its room.
#include <algorithm>
#include <string>

#include "frontend/settings/dialog_font_win32.h"
#include "frontend/settings/dialog_win32.h"
#include "frontend/settings/texts.h"

namespace varenko::dialog_win32 {

namespace {

// How much wider than its room the widest caption is in a font (1 or less: all fit). The room is
// the caption's English place, which holds the Japanese one.
double WidestCaption(HFONT font) {
  HDC dc = GetDC(dialog.hwnd);
  if (!dc || !font) {
    if (dc) ReleaseDC(dialog.hwnd, dc);
    return 1;
  }
  HGDIOBJ old = SelectObject(dc, font);
  double widest = 0;
  for (const LabelLayout* label : AllLabels) {
    const std::wstring text = Text(label->text);
    const RECT room = Place(label->container, LabelPlace(*label, Language::English));
    SIZE size{};
    if (room.right > room.left &&
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
      widest = std::max(widest, static_cast<double>(size.cx) / (room.right - room.left));
  }
  SelectObject(dc, old);
  ReleaseDC(dialog.hwnd, dc);
  return widest;
}

}  // namespace

// The work area of the monitor the dialog opens on (the whole screen where that is unknown).
RECT WorkArea() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  HMONITOR monitor = MonitorFromWindow(dialog.hwnd, MONITOR_DEFAULTTOPRIMARY);
  if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The screen's DPI and the fonts; where the dialog would not fit the work area at the screen's
// DPI, everything is laid out at the largest smaller one at which it does.
void ChooseScale(DWORD style) {
  int dpiX = 96, dpiY = 96;
  // Twips are physical: on a scaled desktop the real DPI keeps the dialog's size.
  if (HDC screen = GetDC(nullptr)) {
    dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  if (dpiX <= 0 || dpiY <= 0 || dpiX > 4800 || dpiY > 4800) dpiX = dpiY = 96;
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const RECT work = WorkArea();
  const int fit = FitDialogDpi(dpiY, work.right - work.left, work.bottom - work.top,
                               frame.right - frame.left, frame.bottom - frame.top);
  dialog.screenDpiY = dpiY;
  dialog.dpiY = fit;
  dialog.dpiX = std::max(1, MulDiv(dpiX, fit, dpiY));

  // Buttons size their font by the screen's DPI, so theirs is given in points scaled to the fit.
  double points = LabelPoints;
  std::wstring face = LabelFace;
  double scale = 1;
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (dialog.labelFont) DeleteObject(dialog.labelFont);
    dialog.labelFont = dialog.view.language == Language::English
                           ? CreateMessageFont(dpiY, fit, scale, face, points)
                           : CreateUiFont(LabelFace, LabelPoints * scale, fit, true);
    const double wider = WidestCaption(dialog.labelFont);
    if (wider <= 1) break;
    scale /= wider * 1.02;
  }
  dialog.buttonFont = face + L"," + std::to_wstring(points * fit / dpiY);
  dialog.panelFont = CreateUiFont(PanelFace, PanelPoints, fit, false);
}

}  // namespace varenko::dialog_win32

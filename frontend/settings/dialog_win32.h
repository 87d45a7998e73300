// The settings dialog's window state and pixel geometry, shared by its window code and its
// painting. Internal to the dialog's Win32 files.
#pragma once

// windows.h must come first: the other system headers build on it.
// clang-format off
#include <windows.h>
// clang-format on

#include <string>

#include "frontend/settings/dialog_layout.h"
#include "frontend/settings/dialog_model.h"

namespace varenko::dialog_win32 {

// The one dialog of the process.
struct DialogState {
  HWND hwnd = nullptr;
  bool closed = false;
  int dpiX = 96, dpiY = 96;  // the layout's: the screen's, or less where the dialog must shrink
  int screenDpiY = 96;       // the screen's, by which the buttons size their fonts
  HFONT labelFont = nullptr;
  std::wstring buttonFont;  // the buttons' saved "Font": the labels' face and size
  HFONT panelFont = nullptr;
  HBITMAP backdrop = nullptr;  // shading of the dialog and its panels, drawn on resize
  HBITMAP markOff = nullptr, markOn = nullptr;
  HWND bars[BarCount] = {};
  HWND repeat = nullptr;
  HWND cmdBgm = nullptr;
  HWND groups[3] = {};  // the option groups: weather, illumination, music
  DialogView view = DesignView();
};
extern DialogState dialog;

inline DialogScale Scale() { return {dialog.dpiX, dialog.dpiY}; }
inline int PixelsX(int twips) { return TwipsToPixels(twips, dialog.dpiX); }
inline int PixelsY(int twips) { return TwipsToPixels(twips, dialog.dpiY); }

inline RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

inline RECT PanelOuter(const TwipRect& panel) {
  return ToRect(varenko::PanelOuter(panel, Scale()));
}
inline RECT PanelInner(const TwipRect& panel) {
  return ToRect(varenko::PanelInner(panel, Scale()));
}

// A rectangle laid out in twips inside a container, in the dialog's client pixels.
inline RECT Place(Container container, const TwipRect& place) {
  return ToRect(PlaceControl(container, place, Scale()));
}

// Where a label lies and what it says in the dialog's language.
inline RECT PlaceLabel(const LabelLayout& label) {
  return Place(label.container, LabelPlace(label, dialog.view.language));
}

// The work area of the monitor the dialog opens on (the whole screen where that is unknown).
RECT WorkArea();
// The DPI the dialog is laid out at and its fonts, for a window of that style.
void ChooseScale(DWORD style);

// Carries out what a change asks: the music controls' enabled state, a repaint of the marks.
void ShowChange(const DialogChange& change);

// The window of an option group over the rectangle laid out in the container; it takes the
// focus from Tab, shows the focus mark, and turns Space and the arrow keys into choices.
bool RegisterOptionGroupClass(HINSTANCE instance);
HWND CreateOptionGroup(OptionGroup group, Container container, const TwipRect& place, int id);

// The backdrop's bitmap for a client area of width x height; the window's paint; the windowless
// contents drawn into any device context.
void PaintBackdrop(int width, int height);
void OnPaint(HWND hwnd);
void PaintContents(HDC dc);

// Paints a window composed off screen, so that a change never flickers: `paint` draws the whole
// client area into the device context it is given (the window's own when no bitmap can be made).
void PaintOffScreen(HWND hwnd, void (*paint)(HWND hwnd, HDC dc, const RECT& client));

}  // namespace varenko::dialog_win32

// The settings dialog's windowless face: the shaded backdrop, the labels and numbers, the option
// marks and the frame of the music title, painted from the dialog's view.
#include <string>

#include "frontend/app/wide.h"
#include "frontend/settings/dialog_win32.h"
#include "frontend/settings/texts.h"

namespace varenko::dialog_win32 {

namespace {

// The shading's lines, each a pixel high, inside the area.
void Shade(HDC dc, const RECT& area, Rgb add) {
  for (const BackdropLine& line :
       BackdropLines({area.left, area.top, area.right, area.bottom}, add)) {
    HBRUSH brush = CreateSolidBrush(RGB(line.colour.red, line.colour.green, line.colour.blue));
    if (!brush) continue;
    const RECT row = ToRect(line.row);
    FillRect(dc, &row, brush);
    DeleteObject(brush);
  }
}

}  // namespace

// `PaintBackdrop`: bluish shading on the dialog, grey shading on each panel. Kept in a bitmap
// so that every later paint shows it.
void PaintBackdrop(int width, int height) {
  if (dialog.backdrop) DeleteObject(dialog.backdrop);
  dialog.backdrop = nullptr;
  HDC screen = GetDC(dialog.hwnd);
  if (!screen) return;
  dialog.backdrop = CreateCompatibleBitmap(screen, width, height);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(dialog.hwnd, screen);
  if (!dc || !dialog.backdrop) {
    if (dc) DeleteDC(dc);
    return;
  }
  HGDIOBJ old = SelectObject(dc, dialog.backdrop);
  Shade(dc, RECT{0, 0, width, height}, DialogShadeAdd);
  for (const TwipRect* panel : {&LowerPanelRect, &UpperPanelRect}) {
    RECT outer = PanelOuter(*panel);
    DrawEdge(dc, &outer, EDGE_SUNKEN, BF_RECT);
    Shade(dc, PanelInner(*panel), PanelShadeAdd);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  InvalidateRect(dialog.hwnd, nullptr, FALSE);
}

namespace {

void DrawCaption(HDC dc, const LabelLayout& label, const std::wstring& text, COLORREF colour) {
  RECT r = PlaceLabel(label);
  SetTextColor(dc, colour);
  UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_TOP;
  // A label sized to its text grows with a stand-in font that is wider than the designed one:
  // right-aligned ones grow to the left, as their text ends at the bar.
  if (label.align == Align::Right) format |= DT_RIGHT;
  if (label.align == Align::Centre) format |= DT_CENTER;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

void DrawLabel(HDC dc, const LabelLayout& label, COLORREF colour = RGB(0, 0, 0)) {
  DrawCaption(dc, label, Text(label.text), colour);
}

void DrawMark(HDC dc, HDC source, Container container, const TwipRect& image, OptionMark mark) {
  if (mark == OptionMark::None) return;
  HBITMAP picture = mark == OptionMark::On ? dialog.markOn : dialog.markOff;
  if (!picture) return;
  const RECT r = Place(container, image);
  HGDIOBJ old = SelectObject(source, picture);
  // A 12-pixel picture is 180 twips; it keeps that physical size on a scaled screen.
  StretchBlt(dc, r.left, r.top, PixelsX(180), PixelsY(180), source, 0, 0, 12, 12, SRCCOPY);
  SelectObject(source, old);
}

}  // namespace

// Everything windowless: backdrop, labels, numbers, option marks, the frame of the music title.
void PaintContents(HDC dc) {
  RECT client;
  GetClientRect(dialog.hwnd, &client);
  HDC source = CreateCompatibleDC(dc);
  if (!source) return;
  if (dialog.backdrop) {
    HGDIOBJ old = SelectObject(source, dialog.backdrop);
    BitBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
  } else {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  }

  HGDIOBJ oldFont = SelectObject(dc, dialog.labelFont);
  SetBkMode(dc, TRANSPARENT);
  const COLORREF black = RGB(0, 0, 0);
  for (const LabelLayout& label : UpperLabels) DrawLabel(dc, label);
  for (int i = 0; i < BarCount; ++i) {
    const LabelLayout number{BarContainer(i), TextId::Count, BarLabelRect(i), Align::Right};
    DrawCaption(dc, number, Widen(dialog.view.barLabel[i]), black);
  }
  for (int i = 0; i < 2; ++i) {
    DrawMark(dc, source, Container::UpperPanel, CloudOptions[i].image, dialog.view.cloud[i]);
    DrawLabel(dc, CloudOptions[i].label);
    DrawMark(dc, source, Container::UpperPanel, IlluOptions[i].image, dialog.view.illu[i]);
    DrawLabel(dc, IlluOptions[i].label);
  }
  for (int i = 0; i < 3; ++i) {
    DrawMark(dc, source, Container::LowerPanel, BgmOptions[i].image, dialog.view.bgm[i]);
    DrawLabel(dc, BgmOptions[i].label);
  }

  // `Shape3` framing the opaque title "BGM".
  RECT frame = Place(Container::LowerPanel, BgmFrameRect);
  FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  RECT title = PlaceLabel(BgmTitle);
  FillRect(dc, &title, GetSysColorBrush(COLOR_WINDOW));
  DrawLabel(dc, BgmTitle);
  DrawLabel(dc, RepeatLabel);
  DrawLabel(dc, SoundLabel);

  // `lbl_Fname`: one line; a path too long for it loses its middle, so the file name shows whole.
  const std::wstring path = Widen(dialog.view.fileLabel);
  RECT file = Place(Container::LowerPanel, FileNameRect);
  SetTextColor(dc, black);
  DrawTextW(dc, path.c_str(), static_cast<int>(path.size()), &file,
            DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS | DT_NOPREFIX);

  DrawLabel(dc, CreditLabel, RGB(255, 255, 255));
  SelectObject(dc, oldFont);
  DeleteDC(source);
}

void PaintOffScreen(HWND hwnd, void (*paint)(HWND hwnd, HDC dc, const RECT& client)) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP canvas = CreateCompatibleBitmap(dc, client.right, client.bottom);
  if (memory && canvas) {
    HGDIOBJ old = SelectObject(memory, canvas);
    paint(hwnd, memory, client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
  } else {
    paint(hwnd, dc, client);
  }
  if (canvas) DeleteObject(canvas);
  if (memory) DeleteDC(memory);
  EndPaint(hwnd, &ps);
}

// Composed off screen: a changing number never flickers over the shading.
void OnPaint(HWND hwnd) {
  PaintOffScreen(hwnd, [](HWND, HDC dc, const RECT&) { PaintContents(dc); });
}

}  // namespace varenko::dialog_win32

// The settings dialog `Tamsel_P` on Win32: its window, scroll bars, combo box and skinned
// buttons, its windowless labels and option marks, the shaded backdrop and the modal loop.
// Every decision is dialog_model.cpp's; this file mirrors its view into the controls.
#include "frontend/settings/dialog.h"

// windows.h must come first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <string>

#include "common/settings_keys.h"
#include "frontend/app/entry.h"
#include "frontend/app/wide.h"
#include "frontend/settings/button_win32.h"
#include "frontend/settings/dialog_font_win32.h"
#include "frontend/settings/dialog_model.h"
#include "frontend/settings/dialog_resources.h"
#include "frontend/settings/dialog_win32.h"
#include "frontend/settings/store.h"
#include "frontend/settings/texts.h"

namespace varenko {

// ----------------------------------------------------------------------------------------------
// Types and globals
// ----------------------------------------------------------------------------------------------

namespace dialog_win32 {
DialogState dialog;
}  // namespace dialog_win32

namespace {

using namespace dialog_win32;

constexpr wchar_t DialogClass[] = L"Tamsel_P";

// Control ids. 1 and 2 are left alone: the dialog keyboard handling sends them for Enter and
// Escape; Escape closes the dialog as "Cancel" does.
enum ControlId : int {
  IdBarFirst = 100,  // HS 0..5 are 100..105, the sound bar 106
  IdRepeat = 120,
  IdCmdBgm = 130,
  IdCmdEtc,
  IdCmdInit,
  IdCmdSet,
  IdCmdCan,
  IdGroupFirst = 140,  // the option groups, 140..142
};

// ----------------------------------------------------------------------------------------------
// Internal functions: controls
// ----------------------------------------------------------------------------------------------

// Carries the view's enabled states into the music controls. Writing the button's Enabled
// repaints it, so this runs only where the music source is set: load, choice and reset.
void ShowMusicControls() {
  EnableWindow(dialog.repeat, dialog.view.repeatEnabled);
  SetCommandEnabled(dialog.cmdBgm, dialog.view.bgmButtonEnabled ? -1 : 0);
}

// The dialog and the option groups over it, whose windows show the dialog's face.
void Repaint(const RECT* area) {
  InvalidateRect(dialog.hwnd, area, FALSE);
  for (HWND group : dialog.groups)
    if (group) InvalidateRect(group, nullptr, FALSE);
}

void ShowView() {
  ShowMusicControls();
  Repaint(nullptr);
}

void ShowBars() {
  for (int i = 0; i < BarCount; ++i) SetScrollPos(dialog.bars[i], SB_CTL, dialog.view.bar[i], TRUE);
}

HWND CreateButton(const ButtonLayout& layout, int id) {
  const PropertyBag saved = {{"Caption", Text(layout.text)}, {"Font", dialog.buttonFont}};
  return CreateCommand(dialog.hwnd, id, Place(layout.container, layout.place), saved);
}

void CreateBar(HINSTANCE instance, int i) {
  const RECT r = Place(BarContainer(i), BarRect(i));
  dialog.bars[i] = CreateWindowExW(
      0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, r.left, r.top,
      r.right - r.left, r.bottom - r.top, dialog.hwnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdBarFirst + i)), instance, nullptr);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
  info.nMin = BarRanges[i].minimum;
  info.nMax = BarRanges[i].maximum;
  info.nPage = 0;  // the large change moves by 5 without shortening the range
  info.nPos = BarRanges[i].design;
  SetScrollInfo(dialog.bars[i], SB_CTL, &info, FALSE);
}

// Created in reading order, which is the order Tab visits them.
void CreateControls(HINSTANCE instance) {
  for (int i = 0; i < UpperBarCount; ++i) CreateBar(instance, i);
  dialog.groups[0] =
      CreateOptionGroup(OptionGroup::Cloud, Container::UpperPanel, CloudGroupRect, IdGroupFirst);
  dialog.groups[1] = CreateOptionGroup(OptionGroup::Illumination, Container::UpperPanel,
                                       IlluGroupRect, IdGroupFirst + 1);
  dialog.groups[2] =
      CreateOptionGroup(OptionGroup::Music, Container::LowerPanel, BgmGroupRect, IdGroupFirst + 2);

  // The edit part is 300 twips high; the rest is room for the dropped-down list.
  const RECT r = Place(Container::LowerPanel, RepeatRect);
  dialog.repeat = CreateWindowExW(
      0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, r.left,
      r.top, r.right - r.left, r.bottom - r.top + PixelsY(3000), dialog.hwnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdRepeat)), instance, nullptr);
  if (dialog.repeat) {
    SendMessageW(dialog.repeat, WM_SETFONT, reinterpret_cast<WPARAM>(dialog.panelFont), FALSE);
    // Anything longer cannot be a track number; the limit keeps the save's read bounded.
    SendMessageW(dialog.repeat, CB_LIMITTEXT, 32, 0);
  }
  CreateBar(instance, SoundBar);

  dialog.cmdBgm = CreateButton(CmdBgm, IdCmdBgm);
  CreateButton(CmdEtc, IdCmdEtc);
  CreateButton(CmdInit, IdCmdInit);
  CreateButton(CmdSet, IdCmdSet);
  CreateButton(CmdCan, IdCmdCan);
}

BOOL CALLBACK InitializeButton(HWND child, LPARAM) {
  if (IsCommand(child)) InitializeCommand(child);
  return TRUE;
}

// `Form_Load`.
void FormLoad() {
  RECT window;
  if (GetWindowRect(dialog.hwnd, &window)) {
    const RECT work = WorkArea();
    const auto [left, top] = DialogPosition({work.left, work.top, work.right, work.bottom},
                                            window.right - window.left, window.bottom - window.top);
    SetWindowPos(dialog.hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  EnumChildWindows(dialog.hwnd, InitializeButton, 0);

  LoadDialog(dialog.view, StoredSettings);
  ShowBars();
  ShowView();
  if (dialog.repeat) {
    SetWindowTextW(dialog.repeat, Widen(dialog.view.repeatText).c_str());
    for (const std::string& entry : RepeatList())
      SendMessageW(dialog.repeat, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
  }

  POINT cursor{0, 0};
  if (!GetCursorPos(&cursor)) cursor = {0, 0};
  // The origin table holds 16-bit points; a cursor beyond them zooms from the nearest edge.
  auto clamp16 = [](LONG v) {
    return static_cast<std::int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
  };
  ZoomOrigin[0] = {clamp16(cursor.x), clamp16(cursor.y)};
  ZoomOpen(dialog.hwnd, 0);
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

// `Form_Unload`: the closing zoom, then the window goes.
void Unload() {
  if (dialog.closed) return;
  ZoomClose(dialog.hwnd, 0);
  DestroyWindow(dialog.hwnd);
}

void ChooseFile() {
  // The filter is one description and one pattern, each NUL-terminated, then a final NUL.
  std::wstring filter = Text(TextId::ChooserFilter);
  filter += L'\0';
  filter += FileFilterPattern;
  filter += L'\0';
  wchar_t file[FileBufferLength + 1] = {};
  wchar_t title[FileBufferLength + 1] = {};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  ofn.hwndOwner = dialog.hwnd;
  ofn.hInstance = GetModuleHandleW(nullptr);
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = FileBufferLength;
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = FileBufferLength;
  ofn.lpstrTitle = Text(TextId::ChooserTitle);
  if (!GetOpenFileNameW(&ofn)) return;
  file[FileBufferLength] = L'\0';
  ChooseFile(dialog.view, StoredSettings, Narrow(file));
  Repaint(nullptr);
}

void Save() {
  if (dialog.repeat) {
    wchar_t text[64] = {};
    GetWindowTextW(dialog.repeat, text, 64);
    dialog.view.repeatText = Narrow(text);
  }
  const auto texts = SaveDialog(dialog.view, StoredSettings);
  // A failed write loses that key only; the dialog closes all the same.
  for (std::size_t i = 0; i < texts.size(); ++i) SaveSettingText(SettingsValueNames[i], texts[i]);
  Unload();
}

void Reset() {
  ResetDialog(dialog.view, StoredSettings);
  ShowBars();
  ShowView();
}

// The home page, or while the project has none its guide: beside the programs, else installed.
std::wstring HomePageTarget() {
  if (HomePageAddress[0] != L'\0') return HomePageAddress;
  const std::wstring beside = ProgramFolder() + L"\\" + GuideFileName;
  if (GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
  wchar_t installed[MAX_PATH] = {};
  const DWORD got = ExpandEnvironmentStringsW(InstalledGuidePath, installed, MAX_PATH);
  return got > 0 && got <= MAX_PATH ? std::wstring(installed) : beside;
}

void OpenHomePage() {
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
  const std::wstring target = HomePageTarget();
  ShellExecuteW(dialog.hwnd, L"open", target.c_str(), L"", L"", SW_SHOWNORMAL);
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

void OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDCANCEL:  // Escape
      Unload();
      break;
    case IdCmdBgm:
      ChooseFile();
      break;
    case IdCmdSet:
      Save();
      break;
    case IdCmdCan:
      Unload();
      break;
    case IdCmdInit:
      Reset();
      break;
    case IdCmdEtc:
      OpenHomePage();
      break;
    default:
      break;
  }
}

// `HS_Change` and `HS_Scroll`: the bar moves and its number follows at once, while dragging too.
void OnScroll(HWND bar, int code) {
  int i = 0;
  while (i < BarCount && dialog.bars[i] != bar) ++i;
  if (i == BarCount) return;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(bar, SB_CTL, &info)) return;
  int pos = info.nPos;
  switch (code) {
    case SB_LINELEFT:
      pos -= BarSmallChange;
      break;
    case SB_LINERIGHT:
      pos += BarSmallChange;
      break;
    case SB_PAGELEFT:
      pos -= BarLargeChange;
      break;
    case SB_PAGERIGHT:
      pos += BarLargeChange;
      break;
    case SB_LEFT:
      pos = info.nMin;
      break;
    case SB_RIGHT:
      pos = info.nMax;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = info.nTrackPos;
      break;
    default:
      return;
  }
  MoveBar(dialog.view, i, pos);
  SetScrollPos(bar, SB_CTL, dialog.view.bar[i], TRUE);
  const RECT number = Place(BarContainer(i), BarLabelRect(i));
  // The number may have grown past its box to the left with a wide stand-in font.
  RECT dirty = number;
  dirty.left = Place(BarContainer(i), BarRect(i)).right;
  InvalidateRect(dialog.hwnd, &dirty, FALSE);
}

// The option images and their captions react to any mouse button.
void OnMouseDown(POINT p) {
  ShowChange(ClickDialog(dialog.view, StoredSettings, p.x, p.y, Scale()));
}

LRESULT CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      dialog.hwnd = hwnd;  // WM_SIZE comes before CreateWindowExW returns
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) PaintBackdrop(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint(hwnd);
      return 0;
    case WM_PRINTCLIENT:
      PaintContents(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_HSCROLL:
      OnScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      OnMouseDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_CLOSE:
      Unload();
      return 0;  // the title bar's close writes nothing, like Cmd_Can
    case WM_DESTROY:
      dialog.closed = true;
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void Release() {
  if (dialog.labelFont) DeleteObject(dialog.labelFont);
  if (dialog.panelFont) DeleteObject(dialog.panelFont);
  if (dialog.backdrop) DeleteObject(dialog.backdrop);
  if (dialog.markOff) DeleteObject(dialog.markOff);
  if (dialog.markOn) DeleteObject(dialog.markOn);
  dialog = DialogState{};
}

}  // namespace

// ----------------------------------------------------------------------------------------------
// Functions
// ----------------------------------------------------------------------------------------------

void dialog_win32::ShowChange(const DialogChange& change) {
  if (change.musicControls) ShowMusicControls();
  if (change.marks) Repaint(nullptr);
}

void ShowSettingsDialog() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  Release();
  RegisterCommandClass(instance);
  RegisterOptionGroupClass(instance);
  dialog.view.language = CurrentLanguage();

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DialogProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  // The front end's own icon, when its resources carry one.
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.lpszClassName = DialogClass;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;

  dialog.markOff = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_OPTION_MARK_OFF),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  dialog.markOn = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_OPTION_MARK_ON),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  // Created before it is sized: its size depends on the monitor it opens on.
  dialog.hwnd = CreateWindowExW(0, DialogClass, DialogCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                1, 1, nullptr, nullptr, instance, nullptr);
  if (!dialog.hwnd) {
    Release();
    return;
  }
  ChooseScale(style);
  RECT frame{0, 0, PixelsX(DialogClientWidth), PixelsY(DialogClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  SetWindowPos(dialog.hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CreateControls(instance);
  FormLoad();
  ShowWindow(dialog.hwnd, SW_SHOWNORMAL);
  UpdateWindow(dialog.hwnd);
  SetForegroundWindow(dialog.hwnd);
  if (dialog.bars[0]) SetFocus(dialog.bars[0]);

  // Modal: nothing else of the front end runs until the dialog has gone.
  MSG msg;
  while (!dialog.closed && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(dialog.hwnd, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Release();
}

}  // namespace varenko

// What the settings dialog shows and does, apart from its windows: loading StoredSettings into
// the controls, the option pairs, the music-source choice, reset, save, the bar numbers, the
// placement in pixels, the clicks on the option marks and the backdrop shading. dialog_win32.cpp
// mirrors this view into real controls.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "frontend/settings/dialog_layout.h"
#include "frontend/settings/store.h"

namespace varenko {

// An image of an option group: no picture yet, or one of the two marks.
enum class OptionMark : std::uint8_t { None, Off, On };

// The dialog's controls as the user sees them.
struct DialogView {
  Language language = Language::Japanese;      // of the captions, which sets their places
  std::array<int, BarCount> bar{};             // `HS` values, always inside their ranges
  std::array<std::string, BarCount> barLabel;  // `lbl_HS` captions
  std::array<OptionMark, 2> cloud{};           // `Img_Cloud`
  std::array<OptionMark, 2> illu{};            // `Img_Illu`
  std::array<OptionMark, 3> bgm{};             // `Img_BGM`
  bool bgmButtonEnabled = true;                // `Cmd_BGM`
  bool repeatEnabled = true;                   // `BGM_Repeat`
  std::string repeatText;                      // `BGM_Repeat` text, as typed or picked
  std::string fileLabel;                       // `lbl_Fname` caption
};

// What a change to the view asks of the window layer.
struct DialogChange {
  bool marks = false;          // the option marks are to be painted again
  bool musicControls = false;  // `Cmd_BGM` and `BGM_Repeat` take their enabled state again
  friend bool operator==(const DialogChange&, const DialogChange&) = default;
};

// A fresh dialog: bars at their design values, no marks, everything enabled.
DialogView DesignView();

// The load step's value steps over a record: bars, numbers, marks, music controls, track text,
// file path. A stored value past a bar's range shows as the range's end, the value the renderer
// uses; the store keeps it until a save.
void LoadDialog(DialogView& view, const StoredSettingsRecord& record);

// The weather and illumination pairs (index 0 or 1).
DialogChange SelectCloud(DialogView& view, StoredSettingsRecord& record, int index);
DialogChange SelectIllumination(DialogView& view, StoredSettingsRecord& record, int index);

// The music-source group (index 0 to 2): the mode, the marks and which controls are enabled.
DialogChange ChooseMusicSource(DialogView& view, StoredSettingsRecord& record, int index);

// A file the chooser returned (UTF-8).
void ChooseFile(DialogView& view, StoredSettingsRecord& record, const std::string& path);

// `HS_Change` / `HS_Scroll`: bar i moved to `value` (kept inside its range); its number follows.
void MoveBar(DialogView& view, int i, int value);

// `Cmd_Init`: the defaults in the bars (sound off) and pairs, music source none; the track text and
// the file path stay.
DialogChange ResetDialog(DialogView& view, StoredSettingsRecord& record);

// `Cmd_Set`: the texts of "00" to "11" in key order, as they are to be written. Updates
// record.BgmTrack from the track text: a number is rounded (halves to even), a non-number gives
// 0, a number beyond 16 bits keeps the value the record holds.
std::array<std::string, 12> SaveDialog(const DialogView& view, StoredSettingsRecord& record);

// "##": a number's digits without leading zeros, nothing for 0.
std::string FormatTrack(int value);

// The 31 entries of `BGM_Repeat`'s list: "" then "1" to "30".
std::vector<std::string> RepeatList();

// Brightness c of backdrop row y of an area `height` rows high: 0 at the top, 220 in the
// middle, back to about 0 at the bottom.
int BackdropShade(int y, int height);

// --- Pixels ---------------------------------------------------------------------------------

// The screen's pixels per inch; twips are physical (1440 to the inch), so the dialog keeps its
// size on a scaled desktop.
struct DialogScale {
  int dpiX = 96;
  int dpiY = 96;
};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Twips to pixels, rounded to the nearest pixel (halves away from zero).
int TwipsToPixels(int twips, int dpi);

// The picture boxes have a sunken 3-D edge this many pixels wide; their controls and their
// shading sit inside it.
inline constexpr int PanelEdge = 2;
PixelRect PanelOuter(const TwipRect& panel, const DialogScale& scale);
PixelRect PanelInner(const TwipRect& panel, const DialogScale& scale);

// A rectangle laid out in twips inside a container, in the dialog's client pixels.
PixelRect PlaceControl(Container container, const TwipRect& place, const DialogScale& scale);

// `PaintBackdrop` over one area: one line a pixel high per row, shade c of BackdropShade over the
// area's height, in the colour c plus `add`. The shading's last row (y = height) falls on the
// area's edge, which the area clips, so every line stays inside the area.
struct BackdropLine {
  PixelRect row;
  Rgb colour;
};
std::vector<BackdropLine> BackdropLines(const PixelRect& area, Rgb add);
// The bluish shading of the dialog and the grey one of its panels.
inline constexpr Rgb DialogShadeAdd{0, 0, 30};
inline constexpr Rgb PanelShadeAdd{30, 30, 30};

// Top-left of a window of width x height in a monitor's work area: centred across, a third of
// the free height down, and never above or left of the work area.
std::pair<int, int> DialogPosition(const PixelRect& work, int windowWidth, int windowHeight);

// The dots per inch at which the dialog is laid out: the screen's, or where the client area at
// that size and the window's frame (frameWidth x frameHeight, which does not scale) would not
// fit the work area, the largest smaller one at which they do. Never below MinDialogDpi.
inline constexpr int MinDialogDpi = 24;
int FitDialogDpi(int dpi, int workWidth, int workHeight, int frameWidth, int frameHeight);

// A mouse button pressed at client pixel (x, y): the option mark or caption under it selects its
// option (any button does). A press anywhere else changes nothing.
DialogChange ClickDialog(DialogView& view, StoredSettingsRecord& record, int x, int y,
                         const DialogScale& scale);

// The keyboard on a focused option group.
enum class OptionGroup : std::uint8_t { Cloud, Illumination, Music };
enum class OptionKey : std::uint8_t { Space, Previous, Next };
// Space takes the next option (round the group), Previous and Next the neighbour in reading order
// (the music group reads "音楽CD", "無し", "MP3、WAV" from the top), stopping at the ends. With
// no option chosen, every key takes the first.
DialogChange KeyOption(DialogView& view, StoredSettingsRecord& record, OptionGroup group,
                       OptionKey key);

}  // namespace varenko

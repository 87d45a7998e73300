// What the settings dialog shows and does, apart from its windows: loading StoredSettings into
// the controls, the option pairs, the music-source choice, reset, save, the bar numbers, the
// placement and the backdrop shading. dialog_win32.cpp mirrors this view into real controls.
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

// A fresh dialog: bars at their design values, no marks, everything enabled.
DialogView DesignView();

// The load step's value steps over a record: bars, numbers, marks, music controls, track text,
// file path.
void LoadDialog(DialogView& view, const StoredSettingsRecord& record);

// The weather and illumination pairs (index 0 or 1).
void SelectCloud(DialogView& view, StoredSettingsRecord& record, int index);
void SelectIllumination(DialogView& view, StoredSettingsRecord& record, int index);

// The music-source group (index 0 to 2): the mode, the marks and which controls are enabled.
void ChooseMusicSource(DialogView& view, StoredSettingsRecord& record, int index);

// A file the chooser returned (UTF-8).
void ChooseFile(DialogView& view, StoredSettingsRecord& record, const std::string& path);

// `HS_Change` / `HS_Scroll`: bar i moved to `value` (kept inside its range); its number follows.
void MoveBar(DialogView& view, int i, int value);

// `Cmd_Init`: the defaults in the bars and pairs, music source none; the track text and the file
// path stay.
void ResetDialog(DialogView& view, StoredSettingsRecord& record);

// `Cmd_Set`: the texts of "00" to "10" in key order, as they are to be written. Updates
// record.BgmTrack from the track text: a number is rounded (halves to even), a non-number gives
// 0, a number beyond 16 bits keeps the value the record holds.
std::array<std::string, 11> SaveDialog(const DialogView& view, StoredSettingsRecord& record);

// "##": a number's digits without leading zeros, nothing for 0.
std::string FormatTrack(int value);

// The 31 entries of `BGM_Repeat`'s list: "" then "1" to "30".
std::vector<std::string> RepeatList();

// Top-left of the dialog: centred across, a third of the free height down (integer division,
// truncated toward zero, as on a screen smaller than the dialog).
std::pair<int, int> DialogPosition(int screenWidth, int screenHeight, int windowWidth,
                                   int windowHeight);

// Brightness c of backdrop row y of an area `height` rows high: 0 at the top, 220 in the
// middle, back to about 0 at the bottom.
int BackdropShade(int y, int height);

}  // namespace varenko

// The settings dialog `Tamsel_P` as laid out: its size, its panels and every control's place and
// caption, in twips relative to its container. Shared by the window code and the tests.
#pragma once

#include <array>

#include "common/settings_table.h"
#include "common/version.h"
#include "common/window_titles.h"
#include "frontend/settings/button.h"

namespace varenko {

inline constexpr const wchar_t* DialogCaption = DialogWindowTitle;
inline constexpr int DialogClientWidth = 7200;  // twips
inline constexpr int DialogClientHeight = 7605;

// Opened by `Cmd_Etc`: the project's home page, the one place to set it once there is one. While
// it is empty the button opens the guide, GuideFileName, beside the programs (the zip and the build
// tree put it there), else the copy in the installer's folder.
inline constexpr wchar_t HomePageAddress[] = L"";
inline constexpr wchar_t GuideFileName[] = L"README.txt";
inline constexpr wchar_t InstalledGuidePath[] = L"%ProgramFiles%\\Varenko\\README.txt";
// `lbl` 7, white on the backdrop at the foot of the dialog.
inline constexpr wchar_t CreditText[] = L"Varenko   Ver " VARENKO_VERSION;

// The label font, and the lower panel's own font (which the combo box takes).
inline constexpr wchar_t LabelFace[] = L"ＭＳ Ｐゴシック";
inline constexpr double LabelPoints = 9.75;
// The same font as a button's saved "Font".
inline constexpr wchar_t LabelFontSpec[] = L"ＭＳ Ｐゴシック,9.75";
inline constexpr wchar_t PanelFace[] = L"Tahoma";
inline constexpr double PanelPoints = 8.25;

// Containers of the controls: the dialog itself and the two panels `Pic_C` 0 (lower) and 1 (upper).
enum class Container { Dialog, LowerPanel, UpperPanel };

inline constexpr TwipRect UpperPanelRect{180, 180, 6795, 3795};
inline constexpr TwipRect LowerPanelRect{180, 4080, 6795, 2535};

enum class Align { Left, Right, Centre };

struct LabelLayout {
  Container container;
  const wchar_t* caption;
  TwipRect place;
  Align align;
};

// `lbl` of the upper panel: the captions of the six bars and the two option pairs.
inline constexpr std::array<LabelLayout, 8> UpperLabels = {{
    {Container::UpperPanel, L"同時に打ち上げる花火の最大数", {240, 600, 2640, 195}, Align::Right},
    {Container::UpperPanel, L"煙の消滅スパン", {1560, 960, 1320, 195}, Align::Right},
    {Container::UpperPanel, L"風速", {2460, 1320, 390, 195}, Align::Right},
    {Container::UpperPanel, L"周囲の明るさ", {1800, 1680, 1095, 195}, Align::Right},
    {Container::UpperPanel, L"星の描画密度", {1680, 2040, 1170, 195}, Align::Right},
    {Container::UpperPanel, L"レンズフレアの明るさ", {1140, 2400, 1725, 195}, Align::Right},
    {Container::UpperPanel, L"天気", {2460, 2760, 390, 195}, Align::Right},
    {Container::UpperPanel, L"イルミネーション効果", {1140, 3120, 1695, 195}, Align::Right},
}};

inline constexpr int BarCount = 6;
// `HS` i and the number `lbl_HS` i beside it.
constexpr TwipRect BarRect(int i) { return {3060, 540 + 360 * i, 1455, 255}; }
constexpr TwipRect BarLabelRect(int i) { return {4620, 600 + 360 * i, 375, 195}; }

struct BarRange {
  int minimum, maximum, design;  // design: the bar's value before anything is loaded
};
// Bar i edits key "0i" over its settings-table row's range; as designed it stands at its minimum.
inline constexpr std::array<BarRange, BarCount> BarRanges = [] {
  std::array<BarRange, BarCount> ranges{};
  for (int i = 0; i < BarCount; ++i)
    ranges[i] = {SettingsTable[i].minimum, SettingsTable[i].maximum, SettingsTable[i].minimum};
  return ranges;
}();
inline constexpr int BarSmallChange = 1;
inline constexpr int BarLargeChange = 5;

struct OptionLayout {
  TwipRect image;  // where the option mark shows
  LabelLayout label;
};

// `Img_Cloud`/`lbl_Cloud` 0 "星空" and 1 "曇り".
inline constexpr std::array<OptionLayout, 2> CloudOptions = {{
    {{3060, 2760, 195, 195}, {Container::UpperPanel, L"星空", {3300, 2760, 390, 195}, Align::Left}},
    {{3960, 2760, 195, 195}, {Container::UpperPanel, L"曇り", {4200, 2760, 345, 195}, Align::Left}},
}};
// `Img_Illu`/`lbl_Illu` 0 "無" and 1 "有".
inline constexpr std::array<OptionLayout, 2> IlluOptions = {{
    {{3060, 3120, 195, 195}, {Container::UpperPanel, L"無", {3300, 3120, 195, 195}, Align::Left}},
    {{3960, 3120, 195, 195}, {Container::UpperPanel, L"有", {4200, 3120, 195, 195}, Align::Left}},
}};
// `Img_BGM`/`lbl_BGM` 0 "無し", 1 "音楽CD", 2 "MP3、WAV".
inline constexpr std::array<OptionLayout, 3> BgmOptions = {{
    {{300, 1140, 195, 195}, {Container::LowerPanel, L"無し", {540, 1140, 345, 195}, Align::Left}},
    {{300, 840, 195, 195}, {Container::LowerPanel, L"音楽CD", {540, 840, 645, 195}, Align::Left}},
    {{300, 1440, 195, 195},
     {Container::LowerPanel, L"MP3、WAV", {540, 1440, 900, 195}, Align::Left}},
}};

// The rest of the lower panel.
inline constexpr TwipRect BgmFrameRect{300, 300, 1695, 315};  // `Shape3` around the title
inline constexpr LabelLayout BgmTitle{
    Container::LowerPanel, L"BGM", {300, 360, 1665, 195}, Align::Centre};  // `lbl` 15, opaque
inline constexpr TwipRect RepeatRect{1380, 780, 615, 300};                 // `BGM_Repeat`
inline constexpr LabelLayout RepeatLabel{
    Container::LowerPanel, L"曲目をリピート", {2040, 840, 1155, 195}, Align::Left};  // `lbl` 14
inline constexpr TwipRect FileNameRect{1020, 1740, 5355, 435};                       // `lbl_Fname`
inline constexpr int RepeatEntries = 31;  // "" then "1" to "30"

// The custom buttons.
struct ButtonLayout {
  Container container;
  const wchar_t* caption;
  TwipRect place;
};
inline constexpr ButtonLayout CmdBgm{Container::LowerPanel, L"...", {540, 1740, 435, 315}};
inline constexpr ButtonLayout CmdEtc{Container::Dialog, L"URL", {1500, 6780, 1335, 375}};
inline constexpr ButtonLayout CmdInit{Container::Dialog, L"初期設定", {2880, 6780, 1335, 375}};
inline constexpr ButtonLayout CmdSet{Container::Dialog, L"設定", {4260, 6780, 1335, 375}};
inline constexpr ButtonLayout CmdCan{Container::Dialog, L"ｷｬﾝｾﾙ", {5640, 6780, 1335, 375}};

inline constexpr LabelLayout CreditLabel{
    Container::Dialog, CreditText, {4500, 7260, 2475, 195}, Align::Left};

// The file chooser.
inline constexpr wchar_t FileFilterName[] = L"BGMﾌｧｲﾙ (MP3 WAV)";
inline constexpr wchar_t FileFilterPattern[] = L"*.MP3;*.WAV";
inline constexpr wchar_t FileChooserTitle[] = L"ﾌｧｲﾙを開く";
inline constexpr int FileBufferLength = 255;

}  // namespace varenko

// The settings dialog `Tamsel_P` as laid out: its size, its panels and every control's place and
// caption, in twips relative to its container. Shared by the window code and the tests.
#pragma once

#include <array>

#include "common/settings_table.h"
#include "common/version.h"
#include "common/window_titles.h"
#include "frontend/settings/button.h"
#include "frontend/settings/texts.h"

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
// The label font, and the lower panel's own font (which the combo box takes).
inline constexpr wchar_t LabelFace[] = L"ＭＳ Ｐゴシック";
inline constexpr double LabelPoints = 9.75;
// The same font as a button's saved "Font".
inline constexpr wchar_t LabelFontSpec[] = L"ＭＳ Ｐゴシック,9.75";
// English texts take the system's message font instead, at its own size; this one stands in where
// the system names none.
inline constexpr wchar_t EnglishFallbackFace[] = L"Tahoma";
inline constexpr double EnglishFallbackPoints = 8.25;
inline constexpr wchar_t PanelFace[] = L"Tahoma";
inline constexpr double PanelPoints = 8.25;

// Containers of the controls: the dialog itself and the two panels `Pic_C` 0 (lower) and 1 (upper).
enum class Container { Dialog, LowerPanel, UpperPanel };

inline constexpr TwipRect UpperPanelRect{180, 180, 6795, 3795};
inline constexpr TwipRect LowerPanelRect{180, 4080, 6795, 2535};

enum class Align { Left, Right, Centre };

struct LabelLayout {
  Container container;
  TextId text;
  TwipRect place;  // as laid out for the Japanese texts
  Align align;
  TwipRect english{};  // where the English text needs more room; empty: the same place
};

// Where a label lies for the texts of a language. The English place holds the Japanese one and
// grows from the same edge, so it is the room that a caption of either language may take.
constexpr const TwipRect& LabelPlace(const LabelLayout& label, Language language) {
  return language == Language::English && label.english.width > 0 ? label.english : label.place;
}

// `lbl` of the upper panel: the captions of the six bars and the two option pairs.
// English captions are wider and all end where the Japanese ones do, at the bars, so each may
// take the row from the panel's left margin.
inline constexpr std::array<LabelLayout, 8> UpperLabels = {{
    {Container::UpperPanel,
     TextId::MaxShells,
     {240, 600, 2640, 195},
     Align::Right,
     {60, 600, 2820, 195}},
    {Container::UpperPanel,
     TextId::SmokeSpan,
     {1560, 960, 1320, 195},
     Align::Right,
     {240, 960, 2640, 195}},
    {Container::UpperPanel,
     TextId::Wind,
     {2460, 1320, 390, 195},
     Align::Right,
     {240, 1320, 2610, 195}},
    {Container::UpperPanel,
     TextId::Ambient,
     {1800, 1680, 1095, 195},
     Align::Right,
     {240, 1680, 2655, 195}},
    {Container::UpperPanel,
     TextId::Stars,
     {1680, 2040, 1170, 195},
     Align::Right,
     {240, 2040, 2610, 195}},
    {Container::UpperPanel,
     TextId::Flare,
     {1140, 2400, 1725, 195},
     Align::Right,
     {240, 2400, 2625, 195}},
    {Container::UpperPanel,
     TextId::Weather,
     {2460, 2760, 390, 195},
     Align::Right,
     {240, 2760, 2610, 195}},
    {Container::UpperPanel,
     TextId::Illumination,
     {1140, 3120, 1695, 195},
     Align::Right,
     {240, 3120, 2595, 195}},
}};

// The bars: `HS` 0 to 5 in the upper panel, then the sound-effects bar in the lower one, right of
// the music choices.
inline constexpr int BarCount = 7;
inline constexpr int UpperBarCount = 6;
inline constexpr int SoundBar = 6;
constexpr Container BarContainer(int i) {
  return i == SoundBar ? Container::LowerPanel : Container::UpperPanel;
}
// The bar and the number beside it (`HS` i and `lbl_HS` i).
constexpr TwipRect BarRect(int i) {
  return i == SoundBar ? TwipRect{3600, 780, 1935, 255} : TwipRect{3060, 540 + 360 * i, 1455, 255};
}
constexpr TwipRect BarLabelRect(int i) {
  return i == SoundBar ? TwipRect{5640, 840, 375, 195} : TwipRect{4620, 600 + 360 * i, 375, 195};
}
inline constexpr LabelLayout SoundLabel{
    Container::LowerPanel, TextId::SoundEffects, {3600, 480, 2400, 195}, Align::Left};
// The settings-table row a bar edits: "00" to "05", then "11".
constexpr const SettingRow& BarRow(int i) {
  return i == SoundBar ? RowOf(Setting::Sound) : SettingsTable[i];
}

struct BarRange {
  int minimum, maximum, design;  // design: the bar's value before anything is loaded
};
// Bar i edits its settings-table row's range; as designed it stands at its minimum.
inline constexpr std::array<BarRange, BarCount> BarRanges = [] {
  std::array<BarRange, BarCount> ranges{};
  for (int i = 0; i < BarCount; ++i)
    ranges[i] = {BarRow(i).minimum, BarRow(i).maximum, BarRow(i).minimum};
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
    {{3060, 2760, 195, 195},
     {Container::UpperPanel,
      TextId::Clear,
      {3300, 2760, 390, 195},
      Align::Left,
      {3300, 2760, 600, 195}}},
    {{3960, 2760, 195, 195},
     {Container::UpperPanel,
      TextId::Cloudy,
      {4200, 2760, 345, 195},
      Align::Left,
      {4200, 2760, 900, 195}}},
}};
// `Img_Illu`/`lbl_Illu` 0 "無" and 1 "有".
inline constexpr std::array<OptionLayout, 2> IlluOptions = {{
    {{3060, 3120, 195, 195},
     {Container::UpperPanel,
      TextId::IlluOff,
      {3300, 3120, 195, 195},
      Align::Left,
      {3300, 3120, 600, 195}}},
    {{3960, 3120, 195, 195},
     {Container::UpperPanel,
      TextId::IlluOn,
      {4200, 3120, 195, 195},
      Align::Left,
      {4200, 3120, 600, 195}}},
}};
// `Img_BGM`/`lbl_BGM` 0 "無し", 1 "音楽CD", 2 "MP3、WAV".
inline constexpr std::array<OptionLayout, 3> BgmOptions = {{
    {{300, 1140, 195, 195},
     {Container::LowerPanel,
      TextId::MusicNone,
      {540, 1140, 345, 195},
      Align::Left,
      {540, 1140, 800, 195}}},
    {{300, 840, 195, 195},
     {Container::LowerPanel,
      TextId::MusicCd,
      {540, 840, 645, 195},
      Align::Left,
      {540, 840, 800, 195}}},
    {{300, 1440, 195, 195},
     {Container::LowerPanel,
      TextId::MusicFile,
      {540, 1440, 900, 195},
      Align::Left,
      {540, 1440, 1300, 195}}},
}};

// The rest of the lower panel.
inline constexpr TwipRect BgmFrameRect{300, 300, 1695, 315};  // `Shape3` around the title
inline constexpr LabelLayout BgmTitle{Container::LowerPanel,
                                      TextId::Music,
                                      {300, 360, 1665, 195},
                                      Align::Centre};       // `lbl` 15, opaque
inline constexpr TwipRect RepeatRect{1380, 780, 615, 300};  // `BGM_Repeat`
inline constexpr LabelLayout RepeatLabel{Container::LowerPanel,
                                         TextId::RepeatTrack,
                                         {2040, 840, 1155, 195},
                                         Align::Left,
                                         {2040, 840, 1400, 195}};  // `lbl` 14
inline constexpr TwipRect FileNameRect{1020, 1740, 5355, 435};     // `lbl_Fname`
inline constexpr int RepeatEntries = 31;                           // "" then "1" to "30"

// The keyboard's option groups: each a window over its marks and captions that takes the focus,
// shows the focus mark and turns keys into choices. The music group stops short of the track box.
inline constexpr TwipRect CloudGroupRect{3000, 2730, 2160, 255};
inline constexpr TwipRect IlluGroupRect{3000, 3090, 2160, 255};
inline constexpr TwipRect BgmGroupRect{240, 810, 1100, 855};

// The custom buttons.
struct ButtonLayout {
  Container container;
  TextId text;
  TwipRect place;
};
inline constexpr ButtonLayout CmdBgm{Container::LowerPanel, TextId::Browse, {540, 1740, 435, 315}};
inline constexpr ButtonLayout CmdEtc{Container::Dialog, TextId::About, {1500, 6780, 1335, 375}};
inline constexpr ButtonLayout CmdInit{Container::Dialog, TextId::Defaults, {2880, 6780, 1335, 375}};
inline constexpr ButtonLayout CmdSet{Container::Dialog, TextId::Ok, {4260, 6780, 1335, 375}};
inline constexpr ButtonLayout CmdCan{Container::Dialog, TextId::Cancel, {5640, 6780, 1335, 375}};

inline constexpr LabelLayout CreditLabel{
    Container::Dialog, TextId::Credit, {4500, 7260, 2475, 195}, Align::Left};

// Every caption drawn in the label font.
inline constexpr std::array<const LabelLayout*, 19> AllLabels = {&UpperLabels[0],
                                                                 &UpperLabels[1],
                                                                 &UpperLabels[2],
                                                                 &UpperLabels[3],
                                                                 &UpperLabels[4],
                                                                 &UpperLabels[5],
                                                                 &UpperLabels[6],
                                                                 &UpperLabels[7],
                                                                 &CloudOptions[0].label,
                                                                 &CloudOptions[1].label,
                                                                 &IlluOptions[0].label,
                                                                 &IlluOptions[1].label,
                                                                 &BgmOptions[0].label,
                                                                 &BgmOptions[1].label,
                                                                 &BgmOptions[2].label,
                                                                 &BgmTitle,
                                                                 &RepeatLabel,
                                                                 &SoundLabel,
                                                                 &CreditLabel};

// The file chooser; its title and its filter's description are texts.
inline constexpr wchar_t FileFilterPattern[] = L"*.MP3;*.WAV";
inline constexpr int FileBufferLength = 255;

}  // namespace varenko

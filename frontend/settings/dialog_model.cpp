// The settings dialog's decisions over StoredSettings, kept apart from its windows.
#include "frontend/settings/dialog_model.h"

#include <cmath>

#include "common/settings_table.h"

namespace varenko {

namespace {

// Lights the mark of `index` and clears the others; an index outside the group lights none.
template <std::size_t N>
void Mark(std::array<OptionMark, N>& group, int index) {
  for (std::size_t i = 0; i < N; ++i)
    group[i] = static_cast<int>(i) == index ? OptionMark::On : OptionMark::Off;
}

// An on/off pair is set by the value's own image and the one of value XOR 1. Outside 0 and 1
// neither image exists, so both keep what they had: no picture at all on a fresh dialog.
void MarkPair(std::array<OptionMark, 2>& pair, int value) {
  if (value == 0 || value == 1) Mark(pair, value);
}

// The music controls follow the mode at every moment: the track box for the CD, the file
// button for a file.
void EnableMusicControls(DialogView& view, int mode) {
  view.repeatEnabled = mode == 1;
  view.bgmButtonEnabled = mode == 2;
}

bool InRange(int i, int value) {
  return value >= BarRanges[i].minimum && value <= BarRanges[i].maximum;
}

}  // namespace

DialogView DesignView() {
  DialogView view;
  for (int i = 0; i < BarCount; ++i) {
    view.bar[i] = BarRanges[i].design;
    view.barLabel[i] = "999";
  }
  return view;
}

void LoadDialog(DialogView& view, const StoredSettingsRecord& record) {
  for (int i = 0; i < BarCount; ++i) {
    // A bar cannot take a value outside its range and keeps what it had; the number beside it
    // still shows the stored value, and a save writes the bar's value back in range.
    if (InRange(i, record.Values[i])) view.bar[i] = record.Values[i];
    view.barLabel[i] = FormatSettingNumber(record.Values[i]);
  }
  MarkPair(view.cloud, record.Values[6]);
  MarkPair(view.illu, record.Values[7]);
  Mark(view.bgm, record.BgmMode);
  EnableMusicControls(view, record.BgmMode);
  view.repeatText = FormatTrack(record.BgmTrack);
  view.fileLabel = record.BgmFile;
}

DialogChange SelectCloud(DialogView& view, StoredSettingsRecord& record, int index) {
  if (index < 0 || index > 1) return {};
  record.Values[6] = static_cast<std::int16_t>(index);
  Mark(view.cloud, index);
  return {true, false};
}

DialogChange SelectIllumination(DialogView& view, StoredSettingsRecord& record, int index) {
  if (index < 0 || index > 1) return {};
  record.Values[7] = static_cast<std::int16_t>(index);
  Mark(view.illu, index);
  return {true, false};
}

DialogChange ChooseMusicSource(DialogView& view, StoredSettingsRecord& record, int index) {
  if (index < 0 || index > 2) return {};
  record.BgmMode = static_cast<std::int16_t>(index);
  Mark(view.bgm, index);
  EnableMusicControls(view, index);
  return {true, true};
}

void ChooseFile(DialogView& view, StoredSettingsRecord& record, const std::string& path) {
  record.BgmFile = path;
  view.fileLabel = path;
}

void MoveBar(DialogView& view, int i, int value) {
  if (i < 0 || i >= BarCount) return;
  if (value < BarRanges[i].minimum) value = BarRanges[i].minimum;
  if (value > BarRanges[i].maximum) value = BarRanges[i].maximum;
  view.bar[i] = value;
  view.barLabel[i] = FormatSettingNumber(value);
}

DialogChange ResetDialog(DialogView& view, StoredSettingsRecord& record) {
  for (int i = 0; i < BarCount; ++i) MoveBar(view, i, SettingsTable[i].fallback);
  SelectCloud(view, record, RowOf(Setting::Clouds).fallback);
  SelectIllumination(view, record, RowOf(Setting::Illumination).fallback);
  return ChooseMusicSource(view, record, 0);
}

std::array<std::string, 11> SaveDialog(const DialogView& view, StoredSettingsRecord& record) {
  std::array<std::string, 11> texts;
  for (int i = 0; i < BarCount; ++i) texts[i] = FormatSettingNumber(view.bar[i]);
  texts[6] = FormatSettingNumber(record.Values[6]);
  texts[7] = FormatSettingNumber(record.Values[7]);
  texts[8] = FormatSettingNumber(record.BgmMode);
  if (!ParseDecimalNumber(view.repeatText)) {
    record.BgmTrack = 0;
  } else if (const auto track = TextToInt16Rounded(view.repeatText)) {
    record.BgmTrack = *track;
  }
  // A number too big for 16 bits leaves BgmTrack as loaded.
  texts[9] = FormatSettingNumber(record.BgmTrack);
  texts[10] = record.BgmFile;
  return texts;
}

std::string FormatTrack(int value) { return value == 0 ? std::string() : std::to_string(value); }

std::vector<std::string> RepeatList() {
  std::vector<std::string> list;
  for (int i = 0; i < RepeatEntries; ++i) list.push_back(FormatTrack(i));
  return list;
}

std::pair<int, int> DialogPosition(int screenWidth, int screenHeight, int windowWidth,
                                   int windowHeight) {
  return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 3};
}

int BackdropShade(int y, int height) {
  if (height <= 0) return 0;
  const double k = height / 3.142;
  return static_cast<int>(std::nearbyint(std::fabs(std::sin(y / k) * 220.0)));
}

int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = scaled < 0 ? -720 : 720;
  return static_cast<int>((scaled + half) / 1440);
}

PixelRect PanelOuter(const TwipRect& panel, const DialogScale& scale) {
  return {TwipsToPixels(panel.x, scale.dpiX), TwipsToPixels(panel.y, scale.dpiY),
          TwipsToPixels(panel.x + panel.width, scale.dpiX),
          TwipsToPixels(panel.y + panel.height, scale.dpiY)};
}

PixelRect PanelInner(const TwipRect& panel, const DialogScale& scale) {
  const PixelRect r = PanelOuter(panel, scale);
  return {r.left + PanelEdge, r.top + PanelEdge, r.right - PanelEdge, r.bottom - PanelEdge};
}

PixelRect PlaceControl(Container container, const TwipRect& place, const DialogScale& scale) {
  int left = 0, top = 0;
  if (container != Container::Dialog) {
    const PixelRect inner =
        PanelInner(container == Container::UpperPanel ? UpperPanelRect : LowerPanelRect, scale);
    left = inner.left;
    top = inner.top;
  }
  return {left + TwipsToPixels(place.x, scale.dpiX), top + TwipsToPixels(place.y, scale.dpiY),
          left + TwipsToPixels(place.x + place.width, scale.dpiX),
          top + TwipsToPixels(place.y + place.height, scale.dpiY)};
}

std::vector<BackdropLine> BackdropLines(const PixelRect& area, Rgb add) {
  std::vector<BackdropLine> lines;
  const int h = area.bottom - area.top;
  for (int y = 0; y < h; ++y) {
    const int c = BackdropShade(y, h);
    const Rgb colour{static_cast<std::uint8_t>(c + add.red),
                     static_cast<std::uint8_t>(c + add.green),
                     static_cast<std::uint8_t>(c + add.blue)};
    lines.push_back({{area.left, area.top + y, area.right, area.top + y + 1}, colour});
  }
  return lines;
}

namespace {

bool Hit(const PixelRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The option's mark or its caption.
bool HitOption(const OptionLayout& option, int x, int y, const DialogScale& scale) {
  return Hit(PlaceControl(option.label.container, option.image, scale), x, y) ||
         Hit(PlaceControl(option.label.container, option.label.place, scale), x, y);
}

DialogChange Either(DialogChange a, DialogChange b) {
  return {a.marks || b.marks, a.musicControls || b.musicControls};
}

}  // namespace

DialogChange ClickDialog(DialogView& view, StoredSettingsRecord& record, int x, int y,
                         const DialogScale& scale) {
  DialogChange change;
  for (int i = 0; i < 2; ++i) {
    if (HitOption(CloudOptions[i], x, y, scale))
      change = Either(change, SelectCloud(view, record, i));
    if (HitOption(IlluOptions[i], x, y, scale))
      change = Either(change, SelectIllumination(view, record, i));
  }
  for (int i = 0; i < 3; ++i) {
    if (HitOption(BgmOptions[i], x, y, scale))
      change = Either(change, ChooseMusicSource(view, record, i));
  }
  return change;
}

}  // namespace varenko

// The settings dialog's decisions over StoredSettings, kept apart from its windows.
#include "frontend/settings/dialog_model.h"

#include <algorithm>
#include <cmath>
#include <span>

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

int ClampToBar(int i, int value) {
  return std::clamp(value, BarRanges[i].minimum, BarRanges[i].maximum);
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
    const int stored = i == SoundBar ? record.SoundVolume : record.Values[i];
    view.bar[i] = ClampToBar(i, stored);
    view.barLabel[i] = FormatSettingNumber(view.bar[i]);
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
  for (int i = 0; i < BarCount; ++i) MoveBar(view, i, BarRow(i).fallback);
  SelectCloud(view, record, RowOf(Setting::Clouds).fallback);
  SelectIllumination(view, record, RowOf(Setting::Illumination).fallback);
  return ChooseMusicSource(view, record, 0);
}

std::array<std::string, 12> SaveDialog(const DialogView& view, StoredSettingsRecord& record) {
  std::array<std::string, 12> texts;
  for (int i = 0; i < UpperBarCount; ++i) texts[i] = FormatSettingNumber(view.bar[i]);
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
  texts[11] = FormatSettingNumber(view.bar[SoundBar]);
  return texts;
}

std::string FormatTrack(int value) { return value == 0 ? std::string() : std::to_string(value); }

std::vector<std::string> RepeatList() {
  std::vector<std::string> list;
  for (int i = 0; i < RepeatEntries; ++i) list.push_back(FormatTrack(i));
  return list;
}

std::pair<int, int> DialogPosition(const PixelRect& work, int windowWidth, int windowHeight) {
  const int width = work.right - work.left, height = work.bottom - work.top;
  return {work.left + std::max(0, (width - windowWidth) / 2),
          work.top + std::max(0, (height - windowHeight) / 3)};
}

int FitDialogDpi(int dpi, int workWidth, int workHeight, int frameWidth, int frameHeight) {
  int fit = std::max(dpi, MinDialogDpi);
  while (fit > MinDialogDpi && (TwipsToPixels(DialogClientWidth, fit) + frameWidth > workWidth ||
                                TwipsToPixels(DialogClientHeight, fit) + frameHeight > workHeight))
    --fit;
  return fit;
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
bool HitOption(const OptionLayout& option, Language language, int x, int y,
               const DialogScale& scale) {
  return Hit(PlaceControl(option.label.container, option.image, scale), x, y) ||
         Hit(PlaceControl(option.label.container, LabelPlace(option.label, language), scale), x, y);
}

DialogChange Either(DialogChange a, DialogChange b) {
  return {a.marks || b.marks, a.musicControls || b.musicControls};
}

}  // namespace

DialogChange ClickDialog(DialogView& view, StoredSettingsRecord& record, int x, int y,
                         const DialogScale& scale) {
  DialogChange change;
  for (int i = 0; i < 2; ++i) {
    if (HitOption(CloudOptions[i], view.language, x, y, scale))
      change = Either(change, SelectCloud(view, record, i));
    if (HitOption(IlluOptions[i], view.language, x, y, scale))
      change = Either(change, SelectIllumination(view, record, i));
  }
  for (int i = 0; i < 3; ++i) {
    if (HitOption(BgmOptions[i], view.language, x, y, scale))
      change = Either(change, ChooseMusicSource(view, record, i));
  }
  return change;
}

DialogChange KeyOption(DialogView& view, StoredSettingsRecord& record, OptionGroup group,
                       OptionKey key) {
  // The options in reading order, and the one chosen now.
  static constexpr int pair[] = {0, 1};
  static constexpr int music[] = {1, 0, 2};
  const std::span<const int> order =
      group == OptionGroup::Music ? std::span<const int>(music) : std::span<const int>(pair);
  const int chosen = group == OptionGroup::Cloud          ? record.Values[6]
                     : group == OptionGroup::Illumination ? record.Values[7]
                                                          : record.BgmMode;
  const int n = static_cast<int>(order.size());
  int at = static_cast<int>(std::find(order.begin(), order.end(), chosen) - order.begin());
  if (at == n) {
    at = 0;
  } else if (key == OptionKey::Space) {
    at = (at + 1) % n;
  } else {
    at = std::clamp(at + (key == OptionKey::Next ? 1 : -1), 0, n - 1);
  }
  switch (group) {
    case OptionGroup::Cloud:
      return SelectCloud(view, record, order[at]);
    case OptionGroup::Illumination:
      return SelectIllumination(view, record, order[at]);
    case OptionGroup::Music:
      return ChooseMusicSource(view, record, order[at]);
  }
  return {};
}

}  // namespace varenko

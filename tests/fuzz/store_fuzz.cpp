// The settings store's number conversions, its load step over a store whose every read answers
// from the input, and the settings dialog's track text saved through them.
#include <cmath>
#include <string>

#include "frontend/settings/dialog_model.h"
#include "frontend/settings/store.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  FuzzInput in{data, size};
  const std::string text = in.Text();
  const auto number = ParseDecimalNumber(text);
  const auto rounded = TextToInt16Rounded(text);
  const auto floored = TextToInt16Floor(text);
  Check(number || (!rounded && !floored), "a conversion of no number");
  if (rounded) {
    Check(std::nearbyint(*number) == *rounded, "rounding differs from round-half-even");
    Check(TextToInt16Rounded(FormatSettingNumber(*rounded)) == rounded, "format round trip");
  }
  if (floored) Check(std::floor(*number) == *floored, "floor");

  StoredSettingsRecord record{};
  SettingsAccess access;
  access.read = [&in](std::string_view) -> SettingRead {
    const int how = in.Byte() % 3;
    return how == 0 ? SettingRead() : how == 1 ? std::string() : in.Text();
  };
  access.write = [](std::string_view, std::string_view) { return true; };
  access.fileExists = [&in](const std::string&) { return (in.Byte() & 1) != 0; };
  LoadSettingsFrom(access, record);
  Check(record.BgmMode != 2 || !record.BgmFile.empty(), "file source without a file");

  // The dialog over what was loaded, with the first text typed as the track.
  DialogView view = DesignView();
  LoadDialog(view, record);
  for (int i = 0; i < BarCount; ++i) {
    Check(view.bar[i] >= BarRanges[i].minimum && view.bar[i] <= BarRanges[i].maximum, "bar");
  }
  view.repeatText = text;
  const std::int16_t loaded = record.BgmTrack;
  const std::array<std::string, 12> saved = SaveDialog(view, record);
  for (int i = 0; i < 10; ++i) Check(TextToInt16Rounded(saved[i]).has_value(), "saved number");
  Check(record.BgmTrack == (rounded ? *rounded : number ? loaded : 0), "track from its text");
  Check(TextToInt16Rounded(saved[9]) == record.BgmTrack, "saved track");
  return 0;
}

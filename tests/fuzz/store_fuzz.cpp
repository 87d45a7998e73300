// The settings store's number conversions and its load step: one text through every conversion,
// then the load step over a store whose every read answers from the input.
#include <cmath>
#include <string>

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
    const std::uint8_t how = in.Byte();
    if (how % 3 == 0) return std::nullopt;
    if (how % 3 == 1) return std::string();
    return in.Text();
  };
  access.write = [](std::string_view, std::string_view) { return true; };
  access.fileExists = [&in](const std::string&) { return (in.Byte() & 1) != 0; };
  LoadSettingsFrom(access, record);
  Check(record.BgmMode != 2 || !record.BgmFile.empty(), "file source without a file");
  return 0;
}

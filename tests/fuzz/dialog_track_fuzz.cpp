// The settings dialog's track text: loaded from any record, typed over with any text, saved. The
// saved texts must be what the store reads back to the same values.
#include <string>

#include "frontend/settings/dialog_model.h"
#include "frontend/settings/store.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  FuzzInput in{data, size};
  StoredSettingsRecord record{};
  for (std::int16_t& v : record.Values) v = static_cast<std::int16_t>(in.Word());
  record.BgmMode = static_cast<std::int16_t>(in.Word());
  record.BgmTrack = static_cast<std::int16_t>(in.Word());
  DialogView view = DesignView();
  LoadDialog(view, record);
  for (int i = 0; i < BarCount; ++i) {
    Check(view.bar[i] >= BarRanges[i].minimum && view.bar[i] <= BarRanges[i].maximum, "bar range");
  }
  Check(FormatTrack(record.BgmTrack).size() <= 6, "track text");
  view.repeatText = in.Text();
  const std::int16_t before = record.BgmTrack;
  const std::array<std::string, 11> texts = SaveDialog(view, record);
  for (int i = 0; i < 10; ++i) Check(TextToInt16Rounded(texts[i]).has_value(), "saved number");
  Check(TextToInt16Rounded(texts[9]) == record.BgmTrack, "saved track");
  if (!ParseDecimalNumber(view.repeatText)) Check(record.BgmTrack == 0, "no number gives 0");
  if (!TextToInt16Rounded(view.repeatText) && ParseDecimalNumber(view.repeatText)) {
    Check(record.BgmTrack == before, "a number beyond 16 bits keeps the track");
  }
  return 0;
}

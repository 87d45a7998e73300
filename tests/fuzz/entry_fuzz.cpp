// The front end's command line and preview handle: a full process command line (bytes widen one
// to one, a byte from 0xF0 up joins the next two into one wide character) through CommandTail
// and PlanEntry.
#include <string>

#include "frontend/app/entry.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  FuzzInput in{data, size};
  std::wstring line;
  while (in.size > 0) {
    const unsigned b = in.Byte(), high = b < 0xF0 ? 0 : in.Byte();
    line += static_cast<wchar_t>(b < 0xF0 ? b : high << 8 | in.Byte());
  }
  const std::wstring_view tail = CommandTail(line);
  Check(tail.size() <= line.size(), "tail longer than the line");
  const EntryPlan plan = PlanEntry(tail);
  const bool preview = SwitchOf(tail) == L'P';
  Check((plan.mode == EntryMode::Preview) == preview, "preview mode without its switch");
  Check(plan.loadSettings == !preview && plan.checkRenderer == !preview, "steps of the mode");
  Check(!plan.hideCursor || plan.mode == EntryMode::Run, "cursor hidden outside a run");
  Check(preview ? plan.previewHandle == ParsePreviewHandle(tail) : plan.previewHandle == 0,
        "preview handle");
  return 0;
}

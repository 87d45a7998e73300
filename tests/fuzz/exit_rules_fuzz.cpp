// The saver window's exit rules over any sequence of events: a close is granted only after a key,
// a button or a mouse move past the first, and a move asks for one only past the threshold.
#include <cstdlib>

#include "renderer/host/exit_rules.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  FuzzInput in{data, size};
  const auto at = [&in] { return static_cast<int>(in.Word()); };
  SaverWindowState s{};
  StartExitRules(s, at(), at());
  bool asked = false;
  while (in.size > 0) {
    const int kind = in.Byte() % 5, x = at(), y = at();
    const SaverWindowState before = s;
    if (kind == 0) asked |= OnUserInput(s);
    if (kind == 1 && OnMouseMove(s, x, y)) {
      Check(std::llabs(static_cast<long long>(x) - before.lastCursorX) +
                    std::llabs(static_cast<long long>(y) - before.lastCursorY) >
                MouseTravelThreshold,
            "a small move asked to close");
    }
    if (kind == 1) asked |= before.firstMoveSeen;
    if (kind == 2) Check(OnCloseRequest(s) == CloseDecision::Refuse || asked, "close unasked");
    if (kind == 3) OnPasswordRefused(s, x, y);
    if (kind == 4) s.passwordDialogOpen = !s.passwordDialogOpen;
  }
  return 0;
}

// The saver window's exit rules over any sequence of events: a close is granted only after a key,
// a button or a mouse move past the first, and a move asks for one only past the threshold.
#include <cstdlib>

#include "renderer/host/exit_rules.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  FuzzInput in{data, size};
  SaverWindowState s{};
  const auto coordinate = [&in] { return static_cast<int>(in.Word()); };
  StartExitRules(s, coordinate(), coordinate());
  bool asked = false;
  while (!in.Empty()) {
    switch (in.Byte() % 5) {
      case 0:
        asked |= OnUserInput(s);
        break;
      case 1: {
        const int x = coordinate();
        const int y = coordinate();
        const SaverWindowState before = s;
        const bool close = OnMouseMove(s, x, y);
        asked |= before.firstMoveSeen;
        if (close) {
          const long long travel = std::llabs(static_cast<long long>(x) - before.lastCursorX) +
                                   std::llabs(static_cast<long long>(y) - before.lastCursorY);
          Check(travel > MouseTravelThreshold, "a small move closed the saver");
        }
        break;
      }
      case 2:
        Check(OnCloseRequest(s) == CloseDecision::Refuse || asked, "close granted unasked");
        break;
      case 3:
        OnPasswordRefused(s, coordinate(), coordinate());
        break;
      default:
        s.passwordDialogOpen = !s.passwordDialogOpen;
        break;
    }
  }
  return 0;
}

// The simulation over arbitrary settings, seeds and frame steps: launches, updates, bursts, ends
// of life and the pool's maintenance. After every frame the pool must be whole: links consistent,
// the count right, live records first, the cursor on the first free one, no NaN key.
#include <algorithm>

#include "common/settings_keys.h"
#include "renderer/host/settings.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/show.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

void CheckPool() {
  using namespace varenko;
  int count = 0;
  PoolNode* firstFree = nullptr;
  for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next) {
    Check(n->next->prev == n && n->prev->next == n && ++count <= MaxPoolRecords, "links or cap");
    const float key = n->particle.depthKey;
    Check(key == FreeKey || (key > FreeKey && !firstFree), "a NaN key, or live after free");
    if (key == FreeKey && !firstFree) firstFree = n;
  }
  Check(count == pool.nodeCount, "node count");
  Check(pool.cursor == (firstFree ? firstFree : &pool.sentinel), "cursor not on the first free");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  FuzzInput in{data, size};
  ApplyDefaults();
  for (int i = 0; i < RendererSettingCount; ++i) {
    const std::uint8_t how = in.Byte();  // odd: any 32-bit value; 2 mod 4: a small one
    if (how & 3) StoreSettingText(i, std::to_string(how & 1 ? int(in.Word()) : in.Byte()));
  }
  const int forced = std::max(NoForcedBurst, in.Byte() % 24 - 2);  // 0 to 21 force a kind
  StartHeadlessShow(in.Word(), 0.02f, forced);
  for (int frame = 0; frame < 48 && in.size > 0; ++frame) {
    const std::uint8_t step = in.Byte();
    // Mostly ordinary steps; the top values are the long steps of a resumed machine.
    dt = step < 250 ? (step + 1) * 0.0008f : static_cast<float>(step - 249) * 2.0f;
    StepSimulation();
    CheckPool();
  }
  ResetShow();
  return 0;
}

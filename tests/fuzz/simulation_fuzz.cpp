// The simulation over arbitrary settings, seeds and frame steps: launches, updates, bursts, ends
// of life and the pool's maintenance. After every frame the pool must be whole: links consistent,
// the count right, live records first, the cursor on the first free one, no NaN key.
#include <algorithm>

#include "common/settings_keys.h"
#include "renderer/host/settings.h"
#include "renderer/sim/director.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/show.h"
#include "renderer/sim/update.h"
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
  ClearPool();
  ApplyDefaults();
  for (int i = 0; i < RendererSettingCount; ++i) {
    const std::uint8_t how = in.Byte();  // odd: any 32-bit value; 2 mod 4: a small one
    if (how & 3) StoreSettingText(i, std::to_string(how & 1 ? int(in.Word()) : in.Byte()));
  }
  BuildSmokeLifeTable();
  smokeGrey = static_cast<float>(settings.ambientLevel) * 0.01f;
  director = {0.0f, 20.0f, 0.0f, 0};
  StartDirector();
  forcedBurstKind = std::max(-1, in.Byte() % 24 - 2);  // -1 chooses; 0 to 21 force a kind
  varenko::srand(in.Word());
  depthEye.Set(0.0f, 400.0f, 3000.0f);
  for (int i = 0; i < 16; ++i) BillboardMatrix[i] = (i % 5 == 0) ? 1.0 : 0.0;
  for (int frame = 0; frame < 48 && in.size > 0; ++frame) {
    const std::uint8_t step = in.Byte();
    // Mostly ordinary steps; the top values are the long steps of a resumed machine.
    dt = step < 250 ? (step + 1) * 0.0008f : static_cast<float>(step - 249) * 2.0f;
    StepSimulation();
    CheckPool();
  }
  forcedBurstKind = -1;
  ClearPool();
  return 0;
}

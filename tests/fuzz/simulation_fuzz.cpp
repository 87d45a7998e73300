// The simulation over arbitrary settings, seeds and frame steps: launches, updates, bursts, ends
// of life and the pool's maintenance. After every frame the pool must be whole: links consistent,
// the count right, live records first, the cursor on the first free one, no NaN key.
#include <cmath>
#include <cstring>

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
  bool freeSeen = false;
  PoolNode* firstFree = &pool.sentinel;
  for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next) {
    Check(n->next->prev == n && n->prev->next == n, "broken links");
    const float key = n->particle.depthKey;
    Check(key == FreeKey || key > FreeKey, "a NaN or sub-free key");
    if (key > FreeKey) {
      Check(!freeSeen, "a live record after a free one");
    } else if (!freeSeen) {
      freeSeen = true;
      firstFree = n;
    }
    Check(++count <= MaxPoolRecords, "pool past its cap");
  }
  Check(count == pool.nodeCount, "node count");
  Check(pool.cursor == firstFree, "cursor not on the first free record");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  FuzzInput in{data, size};
  ClearPool();
  ApplyDefaults();
  for (int i = 0; i < RendererSettingCount; ++i) {
    const std::uint8_t how = in.Byte();
    if (how & 1)
      StoreSettingText(i, std::to_string(static_cast<std::int32_t>(in.Word())));
    else if (how & 2)
      StoreSettingText(i, std::to_string(in.Byte()));
  }
  BuildSmokeLifeTable();
  smokeGrey = static_cast<float>(settings.ambientLevel) * 0.01f;
  director = {0.0f, 20.0f, 0.0f, 0};
  StartDirector();
  forcedBurstKind = in.Byte() % 24 - 2;  // -2 and -1 choose; 0 to 21 force a kind
  if (forcedBurstKind < 0) forcedBurstKind = -1;
  varenko::srand(in.Word());
  depthEye.Set(0.0f, 400.0f, 3000.0f);
  for (int i = 0; i < 16; ++i) BillboardMatrix[i] = (i % 5 == 0) ? 1.0 : 0.0;
  for (int frame = 0; frame < 48 && !in.Empty(); ++frame) {
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

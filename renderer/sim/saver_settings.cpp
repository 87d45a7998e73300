// The settings record both hosts fill at start, and the smoke-puff lifetime table built from it.
#include "renderer/sim/saver_settings.h"

#include <algorithm>

namespace varenko {

SaverSettings settings = {10, 5, 20, 10, 20, 20, 1, 1};
float SmokeLifeTable[8] = {};

void BuildSmokeLifeTable() {
  static constexpr float base[7] = {0.4f, 0.8f, 0.4f, 2.0f, 0.4f, 0.8f, 0.4f};
  const float span = static_cast<float>(settings.smokeSpan);
  for (int i = 0; i < 7; ++i) SmokeLifeTable[i] = std::min(base[i], span);
  SmokeLifeTable[7] = span;
}

}  // namespace varenko

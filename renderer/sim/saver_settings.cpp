// The settings record both hosts fill at start, and the smoke-puff lifetime table built from it.
#include "renderer/sim/saver_settings.h"

#include <algorithm>

namespace varenko {

SaverSettings settings = {10, 5, 20, 10, 20, 20, 1, 1};
float SmokeLifeTable[8] = {};

namespace {

// The largest values the settings dialog sets (1 to 30 shells, 0 to 30 s of smoke, wind 0 to
// 100); a stored value beyond them counts as them.
constexpr int MostShellsHonoured = 30;
constexpr int LongestSmokeHonoured = 30;  // seconds
constexpr int StrongestWindHonoured = 100;

}  // namespace

int ShellCap() { return std::min(settings.maxShells, MostShellsHonoured); }

int WindInUse() {
  return std::clamp(settings.windSpeed, -StrongestWindHonoured, StrongestWindHonoured);
}

int SmokeSpanInUse() { return std::min(settings.smokeSpan, LongestSmokeHonoured); }

void BuildSmokeLifeTable() {
  static constexpr float base[7] = {0.4f, 0.8f, 0.4f, 2.0f, 0.4f, 0.8f, 0.4f};
  const float span = static_cast<float>(SmokeSpanInUse());
  for (int i = 0; i < 7; ++i) SmokeLifeTable[i] = std::min(base[i], span);
  SmokeLifeTable[7] = span;
}

}  // namespace varenko

// The settings record both hosts fill at start, and the smoke-puff lifetime table built from it.
#include "renderer/sim/saver_settings.h"

#include <algorithm>

#include "common/settings_table.h"

namespace varenko {

namespace {

constexpr int DefaultOf(Setting s) { return RowOf(s).fallback; }

// The largest values the settings dialog sets (the table's maxima: 30 shells, 30 s of smoke, wind
// 100); a stored value beyond them counts as them.
constexpr int MostShellsHonoured = RowOf(Setting::MaxShells).maximum;
constexpr int LongestSmokeHonoured = RowOf(Setting::SmokeSpan).maximum;  // seconds
constexpr int StrongestWindHonoured = RowOf(Setting::Wind).maximum;      // either way

int WithinRange(int value, Setting s) {
  return std::clamp(value, RowOf(s).minimum, RowOf(s).maximum);
}

}  // namespace

SaverSettings settings = {
    DefaultOf(Setting::MaxShells), DefaultOf(Setting::SmokeSpan),    DefaultOf(Setting::Wind),
    DefaultOf(Setting::Ambient),   DefaultOf(Setting::Stars),        DefaultOf(Setting::Flare),
    DefaultOf(Setting::Clouds),    DefaultOf(Setting::Illumination), DefaultOf(Setting::Sound)};
float SmokeLifeTable[8] = {};

int ShellCap() { return std::min(settings.maxShells, MostShellsHonoured); }

int WindInUse() {
  return std::clamp(settings.windSpeed, -StrongestWindHonoured, StrongestWindHonoured);
}

int SmokeSpanInUse() { return std::min(settings.smokeSpan, LongestSmokeHonoured); }

int AmbientInUse() { return WithinRange(settings.ambientLevel, Setting::Ambient); }
int StarsInUse() { return WithinRange(settings.starDensity, Setting::Stars); }
int FlareInUse() { return WithinRange(settings.flareBrightness, Setting::Flare); }

void BuildSmokeLifeTable() {
  static constexpr float base[7] = {0.4f, 0.8f, 0.4f, 2.0f, 0.4f, 0.8f, 0.4f};
  const float span = static_cast<float>(SmokeSpanInUse());
  for (int i = 0; i < 7; ++i) SmokeLifeTable[i] = std::min(base[i], span);
  SmokeLifeTable[7] = span;
}

}  // namespace varenko

// The settings store shared by the front end and the renderer: where it lives and the names of
// its values. The renderer settings' names and defaults come from their table.
#pragma once

#include <array>
#include <cstdint>

#include "common/settings_table.h"

namespace varenko {

// Under HKEY_CURRENT_USER. The front end writes it, the renderer reads "00" to "07" and "11".
inline constexpr char SettingsKeyPath[] = "Software\\VB and VBA Program Settings\\Dravin\\Section";

// The string values of the key, in key order: the renderer settings' rows, then the front end's
// music settings "08" (source), "09" (CD track) and "10" (file), then the sound volume "11".
// Index i holds setting "0i"/"1i".
inline constexpr int SettingsValueCount = 12;
inline constexpr std::array<const char*, SettingsValueCount> SettingsValueNames = [] {
  std::array<const char*, SettingsValueCount> names{};
  for (int i = 0; i < 8; ++i) names[i] = SettingsTable[i].key;
  names[8] = "08";
  names[9] = "09";
  names[10] = "10";
  names[11] = SettingsTable[static_cast<int>(Setting::Sound)].key;
  return names;
}();

// The renderer settings (in table order) take these when missing.
inline constexpr std::array<std::int16_t, RendererSettingCount> SettingsDefaults = [] {
  std::array<std::int16_t, RendererSettingCount> defaults{};
  for (int i = 0; i < RendererSettingCount; ++i) defaults[i] = SettingsTable[i].fallback;
  return defaults;
}();

}  // namespace varenko

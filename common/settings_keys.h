// The settings store shared by the front end and the renderer: where it lives, the names of its
// values and the defaults of the eight renderer settings.
#pragma once

#include <array>
#include <cstdint>

namespace varenko {

// Under HKEY_CURRENT_USER. The front end writes it, the renderer reads "00" to "07" from it.
inline constexpr char SettingsKeyPath[] = "Software\\VB and VBA Program Settings\\Dravin\\Section";

// The string values of the key, in key order. Index i holds setting "0i"/"1i".
inline constexpr int SettingsValueCount = 11;
inline constexpr std::array<const char*, SettingsValueCount> SettingsValueNames = {
    "00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10"};

// The eight renderer settings ("00" to "07") take these when missing.
inline constexpr int RendererSettingCount = 8;
inline constexpr std::array<std::int16_t, RendererSettingCount> SettingsDefaults = {10, 5,  20, 10,
                                                                                    20, 20, 1,  1};

}  // namespace varenko

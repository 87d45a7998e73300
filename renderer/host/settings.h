// The renderer's eight settings (common/settings_table.h): their defaults, the reading from the settings store
// (registry on Windows, a settings file on Linux) and the text-to-number conversion both share.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "renderer/sim/saver_settings.h"

namespace varenko {

// Longest value text the renderer accepts, as its 256-byte registry buffer allows. A longer value
// is ignored: the setting keeps its default.
inline constexpr std::size_t MaxSettingTextLength = 255;

// Sets every field to its row's default.
void ApplyDefaults();

// The standard atoi reading (leading white space, optional sign, decimal digits up to the first
// non-digit; no number gives 0), except that values beyond the int range saturate at INT_MIN or
// INT_MAX instead of being undefined.
int SettingTextToInt(std::string_view text);

// Stores the converted text in the field of settings-table row `index` (0..7); other indices are
// ignored.
void StoreSettingText(int index, std::string_view text);

// Reads the settings store over the defaults: the registry on Windows, settingsFilePath on Linux.
void ReadSettings();

// Linux: the settings file ReadSettings reads; DefaultSettingsPath() unless --settings chose one.
extern std::string settingsFilePath;

// ${XDG_CONFIG_HOME:-$HOME/.config}/varenko/settings, or "" when neither variable is set.
std::string DefaultSettingsPath();

// Applies a settings file's NAME=VALUE lines over the current fields. Lines naming "00" to "07"
// with a value of at most MaxSettingTextLength characters count; every other line is ignored, and
// of duplicate lines the last one wins. At most MaxSettingsFileBytes are read, so any file is
// safe. Returns false when the file cannot be opened (the fields are then unchanged).
inline constexpr std::size_t MaxSettingsFileBytes = 64 * 1024;
bool ReadSettingsFile(const std::string& path);

// The line rules of ReadSettingsFile over text already read (its first MaxSettingsFileBytes).
void ApplySettingsText(std::string_view text);

}  // namespace varenko

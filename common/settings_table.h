// The renderer settings as one table: the value name in the settings store, the default,
// the range the settings dialog offers, the Linux option and its help text. The renderer's readers,
// the show's bounds on stored values, the Linux command line and the settings dialog all read it.
#pragma once

#include <array>
#include <cstdint>

namespace varenko {

struct SettingRow {
  const char* key;        // value name in the settings store: "00" to "07", then "11"
  std::int16_t fallback;  // taken when the store has no value (and by the dialog's reset)
  int minimum, maximum;   // the dialog's range; 0 and 1 make an on/off option
  const char* option;     // Linux command-line option
  const char* help;       // what the option sets, as --help says it
  const char* note;       // said in --help after the range, or "" (on/off options show no range)

  constexpr bool OnOff() const { return minimum == 0 && maximum == 1; }
};

// The rows in key order; the renderer maps row i to its field of SaverSettings.
enum class Setting {
  MaxShells,
  SmokeSpan,
  Wind,
  Ambient,
  Stars,
  Flare,
  Clouds,
  Illumination,
  Sound
};

inline constexpr int RendererSettingCount = 9;
// Rows 0 to 7 are the settings dialog's scroll bars and option pairs, keyed "0i"; the sound row
// came after the front end's music values "08" to "10", so its key is "11".
// clang-format off
inline constexpr std::array<SettingRow, RendererSettingCount> SettingsTable = {{
    {"00", 10, 1, 30, "--max-shells", "shells in the air at once", "0 launches none"},
    {"01", 5, 0, 30, "--smoke-span", "longest life of a smoke puff in seconds", "0: no smoke"},
    {"02", 20, 0, 100, "--wind", "wind speed", ""},
    {"03", 10, 0, 30, "--ambient", "brightness of smoke and clouds in hundredths", ""},
    {"04", 20, 0, 100, "--stars", "stars in the sky, 20 per unit", ""},
    {"05", 20, 0, 100, "--flare", "lens-flare brightness", "0: no flare"},
    {"06", 1, 0, 1, "--clouds", "cloudy sky", ""},
    {"07", 1, 0, 1, "--illumination", "bursts light up smoke and clouds", ""},
    {"11", 0, 0, 100, "--sound", "sound-effects volume", "0: silent"},
}};
// clang-format on

constexpr const SettingRow& RowOf(Setting s) { return SettingsTable[static_cast<int>(s)]; }

}  // namespace varenko

// Renderer settings shared by both hosts: defaults, the saturating atoi conversion, the settings
// file reader.
#include "renderer/host/settings.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "common/settings_table.h"

namespace varenko {

std::string settingsFilePath;

namespace {

// The field of each row of the settings table, in key order.
constexpr int SaverSettings::*SettingFields[RendererSettingCount] = {
    &SaverSettings::maxShells,    &SaverSettings::smokeSpan,    &SaverSettings::windSpeed,
    &SaverSettings::ambientLevel, &SaverSettings::starDensity,  &SaverSettings::flareBrightness,
    &SaverSettings::cloudy,       &SaverSettings::illumination, &SaverSettings::soundVolume};

}  // namespace

void ApplyDefaults() {
  for (int i = 0; i < RendererSettingCount; ++i)
    settings.*SettingFields[i] = SettingsTable[i].fallback;
}

int SettingTextToInt(std::string_view text) {
  std::size_t i = 0;
  auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate the magnitude, stopping once it is past the int range in either direction.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) {
      value = limit;
      // keep consuming digits: the result is saturated whatever follows
    }
  }
  return static_cast<int>(negative ? -value : value);
}

void StoreSettingText(int index, std::string_view text) {
  if (index < 0 || index >= RendererSettingCount) return;
  settings.*SettingFields[index] = SettingTextToInt(text);
}

std::string DefaultSettingsPath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] != '\0') return std::string(xdg) + "/varenko/settings";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config/varenko/settings";
  return std::string();
}

bool ReadSettingsFile(const std::string& path) {
  if (path.empty()) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string data(MaxSettingsFileBytes, '\0');
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  data.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  ApplySettingsText(data);
  return true;
}

void ApplySettingsText(std::string_view text) {
  std::string_view rest = text.substr(0, MaxSettingsFileBytes);
  while (!rest.empty()) {
    const std::size_t eol = rest.find('\n');
    std::string_view line = rest.substr(0, eol);
    rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view name = line.substr(0, eq);
    const std::string_view value = line.substr(eq + 1);
    if (value.size() > MaxSettingTextLength) continue;
    for (int i = 0; i < RendererSettingCount; ++i) {
      if (name == SettingsTable[static_cast<std::size_t>(i)].key) StoreSettingText(i, value);
    }
  }
}

}  // namespace varenko

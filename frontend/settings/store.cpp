// The settings store's portable half: the in-memory record, the load step over any store and the
// conversions between stored text and numbers.
#include "frontend/settings/store.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <type_traits>

#include "common/settings_keys.h"

namespace varenko {

StoredSettingsRecord StoredSettings{};

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Counts the digits starting at pos.
std::size_t DigitRun(std::string_view text, std::size_t pos) {
  std::size_t n = 0;
  while (pos + n < text.size() && IsDigit(text[pos + n])) ++n;
  return n;
}

std::optional<std::int16_t> FitInt16(double rounded) {
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;  // also NaN
  return static_cast<std::int16_t>(rounded);
}

}  // namespace

std::optional<double> ParseDecimalNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

  // Check the whole shape first: the C conversion alone would also take "inf", "nan" and hex.
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  const std::size_t whole = DigitRun(text, pos);
  pos += whole;
  std::size_t fraction = 0;
  if (pos < text.size() && text[pos] == '.') {
    fraction = DigitRun(text, pos + 1);
    pos += 1 + fraction;
  }
  if (whole + fraction == 0) return std::nullopt;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t p = pos + 1;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
    const std::size_t exponent = DigitRun(text, p);
    if (exponent == 0) return std::nullopt;
    pos = p + exponent;
  }
  if (pos != text.size()) return std::nullopt;

  // The program never changes the C locale, so "." is the decimal point here.
  const std::string copy(text);
  errno = 0;
  const double value = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int16_t> TextToInt16Rounded(std::string_view text) {
  const auto value = ParseDecimalNumber(text);
  if (!value) return std::nullopt;
  // The default floating-point rounding mode rounds halves to the even neighbour.
  return FitInt16(std::nearbyint(*value));
}

std::optional<std::int16_t> TextToInt16Saturated(std::string_view text) {
  const auto value = ParseDecimalNumber(text);
  if (!value) return std::nullopt;
  return FitInt16(std::clamp(std::nearbyint(*value), -32768.0, 32767.0));
}

std::optional<std::int16_t> TextToInt16Floor(std::string_view text) {
  const auto value = ParseDecimalNumber(text);
  if (!value) return std::nullopt;
  return FitInt16(std::floor(*value));
}

std::string FormatSettingNumber(int value) { return std::to_string(value); }

void LoadSettingsFrom(const SettingsAccess& access, StoredSettingsRecord& record) {
  // Every step runs whatever the earlier ones did: a failed read or write leaves that key alone.
  // The renderer settings: "00" to "07" into Values, "11" into SoundVolume.
  static_assert(RendererSettingCount == std::extent_v<decltype(StoredSettingsRecord::Values)> + 1);
  for (int i = 0; i < RendererSettingCount; ++i) {
    const SettingRow& row = SettingsTable[i];
    std::int16_t& field = i < 8 ? record.Values[i] : record.SoundVolume;
    const SettingRead text = access.read(row.key);
    if (!text) continue;
    if (text->empty()) {
      access.write(row.key, FormatSettingNumber(row.fallback));
      field = row.fallback;
    } else if (const auto value =
                   row.OnOff() ? TextToInt16Rounded(*text) : TextToInt16Saturated(*text)) {
      field = *value;
    }
    // A text that is no number (or, for an on/off value, none of 16 bits) keeps the field and
    // stays in the store as it is.
  }

  std::int16_t* const rounded_down[] = {&record.BgmMode, &record.BgmTrack};
  for (int k = 0; k < 2; ++k) {
    const SettingRead text = access.read(SettingsValueNames[8 + k]);
    if (!text) continue;
    if (text->empty()) {
      *rounded_down[k] = 0;
    } else if (const auto value = TextToInt16Floor(*text)) {
      *rounded_down[k] = *value;
    }
  }

  if (const SettingRead file = access.read(SettingsValueNames[10])) {
    record.BgmFile = *file;
    if (!record.BgmFile.empty() && !access.fileExists(record.BgmFile)) record.BgmFile.clear();
  }

  // A file source without a usable file plays nothing this run; the store keeps its choice.
  if (record.BgmFile.empty() && record.BgmMode == 2) record.BgmMode = 0;
}

}  // namespace varenko

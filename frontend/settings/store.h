// The front end's settings store: the in-memory record of every key, the load step that fills it
// and writes the missing renderer defaults, the write operation and the text-number conversions.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace varenko {

// The front end's copy of the store, one per process, zero and empty at start. The settings
// dialog edits it in place; the saver run and the music player read it.
struct StoredSettingsRecord {
  std::int16_t Values[8];    // "00" to "07", index i holds key "0i"
  std::int16_t BgmMode;      // "08": 0 no music, 1 audio CD, 2 MP3 or WAV file
  std::int16_t BgmTrack;     // "09": audio-CD track to repeat, 0 = none
  std::string BgmFile;       // "10": music file path (UTF-8), empty when none
  std::int16_t SoundVolume;  // "11": the renderer's sound-effects volume, 0 silent
};

extern StoredSettingsRecord StoredSettings;

// What reading one value gives: its text (empty when the key or value is missing), or nothing
// when the read itself failed (a value too long to be a setting, or not a string).
using SettingRead = std::optional<std::string>;

// The store as the load step sees it, so that the decisions run against fake values in tests.
struct SettingsAccess {
  std::function<SettingRead(std::string_view name)> read;
  std::function<bool(std::string_view name, std::string_view text)> write;
  std::function<bool(const std::string& path)> fileExists;
};

// The load step over any store: defaults written for missing or empty "00" to "07" and "11", the
// conversions, the file test on "10" and the fallback of a file source without a file.
void LoadSettingsFrom(const SettingsAccess& access, StoredSettingsRecord& record);

// The load step over the registry into StoredSettings (Windows).
void LoadSettings();

// Writes one value of the key as a string (REG_SZ), creating the key path when it is missing.
// Returns false when the write failed; the text is UTF-8 and reaches ANSI readers converted.
bool SaveSettingText(std::string_view name, std::string_view text);

// Decimal text as the store holds it: "-" for negatives, no leading zeros, no blanks.
std::string FormatSettingNumber(int value);

// A decimal number (blanks around it, a sign, a fraction and an exponent allowed) rounded to the
// nearest integer, halves to the even neighbour; nothing when the text is not a number or the
// result does not fit in 16 bits.
std::optional<std::int16_t> TextToInt16Rounded(std::string_view text);

// The same, but a number past 16 bits counts as the nearest 16-bit value: the renderer counts a
// value past a bar's range as the range's end, and the dialog shows what the renderer uses.
std::optional<std::int16_t> TextToInt16Saturated(std::string_view text);

// The same number rounded down (1.9 gives 1, -1.5 gives -2); nothing when it does not fit.
std::optional<std::int16_t> TextToInt16Floor(std::string_view text);

// The whole text as a decimal number, or nothing. Shared by the conversions above.
std::optional<double> ParseDecimalNumber(std::string_view text);

}  // namespace varenko

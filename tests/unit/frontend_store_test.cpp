// The settings store's load step and conversions, over a fake store.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "frontend/settings/store.h"

namespace varenko {
namespace {

// An in-memory store: values that exist, values whose read fails, and the writes made.
struct FakeStore {
  std::map<std::string, std::string> values;
  std::set<std::string> unreadable;
  std::set<std::string> files;
  std::vector<std::string> writes;  // "name=text", in order

  SettingsAccess Access() {
    SettingsAccess access;
    access.read = [this](std::string_view name) -> SettingRead {
      const std::string key(name);
      if (unreadable.count(key)) return std::nullopt;
      const auto it = values.find(key);
      return it == values.end() ? std::string() : it->second;
    };
    access.write = [this](std::string_view name, std::string_view text) {
      writes.push_back(std::string(name) + "=" + std::string(text));
      values[std::string(name)] = std::string(text);
      return true;
    };
    access.fileExists = [this](const std::string& path) { return files.count(path) > 0; };
    return access;
  }
};

StoredSettingsRecord Load(FakeStore& store) {
  StoredSettingsRecord record{};
  LoadSettingsFrom(store.Access(), record);
  return record;
}

TEST(FrontendStore, FirstStartWritesOnlyTheRendererDefaultsInKeyOrder) {
  FakeStore store;
  const StoredSettingsRecord record = Load(store);
  EXPECT_EQ(store.writes, (std::vector<std::string>{"00=10", "01=5", "02=20", "03=10", "04=20",
                                                    "05=20", "06=1", "07=1", "11=0"}));
  EXPECT_EQ(std::vector<int>(record.Values, record.Values + 8),
            (std::vector<int>{10, 5, 20, 10, 20, 20, 1, 1}));
  EXPECT_TRUE(record.BgmMode == 0 && record.BgmTrack == 0 && record.BgmFile.empty());
  EXPECT_EQ(record.SoundVolume, 0);
}

TEST(FrontendStore, PresentValuesAreConvertedAndNeverRewritten) {
  FakeStore store;
  store.values = {{"00", "abc"}, {"01", "70000"}, {"02", "2.5"},
                  {"03", ""},    {"04", "3.5"},   {"05", "250"},
                  {"06", "-1"},  {"07", "70000"}, {"11", "-99999999999"}};
  StoredSettingsRecord record{};
  record.Values[1] = 7;  // what the fields held before the load
  record.Values[7] = 9;
  LoadSettingsFrom(store.Access(), record);
  // Letters keep the field; a number beyond 16 bits counts as the nearest 16-bit value for a
  // bar's key and keeps the field of an on/off key; 2.5 and 3.5 round to the even neighbour;
  // empty takes the default; 250, outside the dialog's range, is loaded as it is.
  EXPECT_EQ(std::vector<int>(record.Values, record.Values + 8),
            (std::vector<int>{0, 32767, 2, 10, 4, 250, -1, 9}));
  EXPECT_EQ(record.SoundVolume, -32768);
  EXPECT_EQ(store.writes, std::vector<std::string>{"03=10"});
  EXPECT_EQ(store.values["00"], "abc");
}

TEST(FrontendStore, FailedReadLeavesTheKeyAloneAndTheRestGoesOn) {
  FakeStore store;
  store.unreadable = {"00", "08"};
  const StoredSettingsRecord record = Load(store);
  EXPECT_EQ(std::tuple(record.Values[0], record.Values[1]), std::tuple(0, 5));
  EXPECT_EQ(store.writes.size(), 8u);
  EXPECT_EQ(store.writes.front(), "01=5");
}

TEST(FrontendStore, MusicValuesRoundDown) {
  FakeStore store;
  store.values = {{"08", "1.9"}, {"09", "-1.5"}};
  const StoredSettingsRecord rounded = Load(store);
  EXPECT_EQ(std::tuple(rounded.BgmMode, rounded.BgmTrack), std::tuple(1, -2));
  store.values = {{"08", "x"}, {"09", "40000"}};
  const StoredSettingsRecord kept = Load(store);
  EXPECT_EQ(std::tuple(kept.BgmMode, kept.BgmTrack), std::tuple(0, 0));
}

TEST(FrontendStore, FileSourceFallsBackWithoutAUsableFile) {
  FakeStore store;
  store.values = {{"08", "2"}, {"10", "C:\\music\\gone.mp3"}};
  StoredSettingsRecord record = Load(store);
  EXPECT_EQ(std::tie(record.BgmMode, record.BgmFile), std::tuple(0, ""));
  EXPECT_EQ(store.values["08"] + "|" + store.values["10"], "2|C:\\music\\gone.mp3")
      << "the store keeps the choice";
  store.files = {"C:\\music\\gone.mp3"};
  record = Load(store);
  EXPECT_EQ(std::tie(record.BgmMode, record.BgmFile), std::tuple(2, "C:\\music\\gone.mp3"));

  store.values = {{"08", "2"}};
  EXPECT_EQ(Load(store).BgmMode, 0) << "no file at all";
  store.values = {{"08", "1"}};
  EXPECT_EQ(Load(store).BgmMode, 1) << "the CD needs no file";
}

TEST(FrontendStore, NumberConversions) {
  // Rounded halves to even: 32767.5 rounds to 32768, which does not fit; -32768.5 to -32768.
  // clang-format off
  const std::pair<const char*, std::optional<std::int16_t>> rounded[] = {
      {"0.5", 0}, {"1.5", 2}, {"-2.5", -2}, {"2.51", 3}, {"+12", 12}, {"1e2", 100}, {".5", 0},
      {"\t5.\t", 5}, {"1E2", 100}, {"25e-1", 2}, {"32767", 32767}, {"32767.5", {}},
      {"-32768.5", -32768}, {"", {}}, {" ", {}}, {"-", {}}, {".", {}}, {"1e", {}}, {"1e+", {}},
      {"12x", {}}, {"x12", {}}, {"inf", {}}, {"nan", {}}, {"0x10", {}}, {"1 2", {}}, {"1e99999", {}}};
  // clang-format on
  for (const auto& [text, value] : rounded) EXPECT_EQ(TextToInt16Rounded(text), value) << text;
  EXPECT_EQ(TextToInt16Rounded(std::string(100000, '9')), std::nullopt);
  const std::pair<const char*, std::optional<std::int16_t>> floored[] = {
      {"1.9", 1}, {"-0.1", -1}, {"32767.9", 32767}, {"-32768.1", {}}};
  for (const auto& [text, value] : floored) EXPECT_EQ(TextToInt16Floor(text), value) << text;
  const std::pair<const char*, std::optional<std::int16_t>> saturated[] = {
      {"99999999999", 32767}, {"32767.5", 32767}, {"-40000", -32768}, {"2.5", 2}, {"x", {}}};
  for (const auto& [text, value] : saturated) EXPECT_EQ(TextToInt16Saturated(text), value) << text;
  EXPECT_EQ(FormatSettingNumber(-32768), "-32768");
  EXPECT_EQ(FormatSettingNumber(0), "0");
}

}  // namespace
}  // namespace varenko

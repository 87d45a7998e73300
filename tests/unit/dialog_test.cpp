// The settings dialog's decisions: loading stored values into the controls, the option groups,
// the save rules, reset, the track list, placement and the backdrop shading.
#include <gtest/gtest.h>

#include "frontend/settings/dialog_model.h"

namespace varenko {
namespace {

StoredSettingsRecord Defaults() {
  StoredSettingsRecord r{};
  const std::int16_t values[8] = {10, 5, 20, 10, 20, 20, 1, 1};
  for (int i = 0; i < 8; ++i) r.Values[i] = values[i];
  return r;
}

DialogView Loaded(const StoredSettingsRecord& r) {
  DialogView view = DesignView();
  LoadDialog(view, r);
  return view;
}

TEST(DialogLoad, ShowsTheStoredValues) {
  StoredSettingsRecord r = Defaults();
  r.BgmMode = 1;
  r.BgmTrack = 7;
  r.BgmFile = "C:\\Music\\show.mp3";
  const DialogView view = Loaded(r);
  for (int i = 0; i < BarCount; ++i) {
    EXPECT_EQ(view.bar[i], r.Values[i]);
    EXPECT_EQ(view.barLabel[i], std::to_string(r.Values[i]));
  }
  EXPECT_EQ(view.cloud[1], OptionMark::On);
  EXPECT_EQ(view.cloud[0], OptionMark::Off);
  EXPECT_EQ(view.illu[1], OptionMark::On);
  EXPECT_EQ(view.bgm[1], OptionMark::On);
  EXPECT_EQ(view.bgm[0], OptionMark::Off);
  EXPECT_TRUE(view.repeatEnabled);
  EXPECT_FALSE(view.bgmButtonEnabled);
  EXPECT_EQ(view.repeatText, "7");
  EXPECT_EQ(view.fileLabel, "C:\\Music\\show.mp3");
}

TEST(DialogLoad, OutOfRangeValues) {
  StoredSettingsRecord r = Defaults();
  r.Values[0] = 0;  // below bar 0's minimum 1
  r.Values[5] = 250;
  r.Values[6] = 2;
  r.Values[7] = -1;
  r.BgmMode = 5;
  const DialogView view = Loaded(r);
  // The bar keeps its design value; the number shows what is stored.
  EXPECT_EQ(view.bar[0], 1);
  EXPECT_EQ(view.barLabel[0], "0");
  EXPECT_EQ(view.bar[5], 0);
  EXPECT_EQ(view.barLabel[5], "250");
  for (OptionMark m : view.cloud) EXPECT_NE(m, OptionMark::On);
  for (OptionMark m : view.illu) EXPECT_NE(m, OptionMark::On);
  for (OptionMark m : view.bgm) EXPECT_NE(m, OptionMark::On);
  EXPECT_FALSE(view.repeatEnabled);
  EXPECT_FALSE(view.bgmButtonEnabled);

  // Saving writes the bars' values (back in range) and the pairs and mode unchanged.
  StoredSettingsRecord saved = r;
  const auto texts = SaveDialog(view, saved);
  EXPECT_EQ(texts[0], "1");
  EXPECT_EQ(texts[5], "0");
  EXPECT_EQ(texts[6], "2");
  EXPECT_EQ(texts[7], "-1");
  EXPECT_EQ(texts[8], "5");
}

TEST(DialogSave, WritesEveryKeyInOrder) {
  StoredSettingsRecord r = Defaults();
  r.BgmFile = "D:\\a b\\曲.wav";
  DialogView view = Loaded(r);
  MoveBar(view, 2, 55);
  SelectCloud(view, r, 0);
  SelectIllumination(view, r, 0);
  ChooseMusicSource(view, r, 2);
  view.repeatText = "12";
  const auto texts = SaveDialog(view, r);
  const std::array<std::string, 11> expected = {
      "10", "5", "55", "10", "20", "20", "0", "0", "2", "12", "D:\\a b\\曲.wav"};
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(r.BgmTrack, 12);
}

TEST(DialogSave, TrackTextRules) {
  struct Case {
    const char* text;
    std::int16_t loaded;
    const char* saved;
  };
  const Case cases[] = {
      {"", 9, "0"},          // empty
      {"abc", 9, "0"},       // not a number
      {"7", 0, "7"},         //
      {"2.5", 0, "2"},       // halves to the even neighbour
      {"3.5", 0, "4"},       //
      {"45", 0, "45"},       // beyond the list, kept
      {"40000", 13, "13"},   // does not fit in 16 bits: the loaded value stays
      {"-40000", 13, "13"},  //
      {" 30 ", 0, "30"},     // blanks around a number
  };
  for (const Case& c : cases) {
    StoredSettingsRecord r = Defaults();
    r.BgmTrack = c.loaded;
    DialogView view = Loaded(r);
    view.repeatText = c.text;
    EXPECT_EQ(SaveDialog(view, r)[9], c.saved) << "text [" << c.text << "]";
  }
}

TEST(DialogSave, LoadedTrackBeyondTheListIsShownAndKept) {
  StoredSettingsRecord r = Defaults();
  r.BgmTrack = 45;
  DialogView view = Loaded(r);
  EXPECT_EQ(view.repeatText, "45");
  EXPECT_EQ(SaveDialog(view, r)[9], "45");
  r.BgmTrack = 0;
  EXPECT_EQ(Loaded(r).repeatText, "");
}

TEST(DialogMusic, SourceChoiceKeepsTrackAndFile) {
  StoredSettingsRecord r = Defaults();
  DialogView view = Loaded(r);
  ChooseMusicSource(view, r, 2);
  EXPECT_TRUE(view.bgmButtonEnabled);
  EXPECT_FALSE(view.repeatEnabled);
  ChooseFile(view, r, "C:\\x.mp3");
  EXPECT_EQ(view.fileLabel, "C:\\x.mp3");
  view.repeatText = "4";
  ChooseMusicSource(view, r, 0);  // "無し" after a file was picked
  EXPECT_EQ(r.BgmMode, 0);
  EXPECT_FALSE(view.bgmButtonEnabled);
  EXPECT_FALSE(view.repeatEnabled);
  EXPECT_EQ(view.bgm[0], OptionMark::On);
  EXPECT_EQ(view.bgm[2], OptionMark::Off);
  const auto texts = SaveDialog(view, r);
  EXPECT_EQ(texts[8], "0");
  EXPECT_EQ(texts[9], "4");
  EXPECT_EQ(texts[10], "C:\\x.mp3");
}

TEST(DialogReset, DefaultsButTheFileAndTrackStay) {
  StoredSettingsRecord r = Defaults();
  r.BgmMode = 2;
  r.BgmFile = "C:\\y.wav";
  r.Values[6] = 0;
  r.Values[7] = 0;
  DialogView view = Loaded(r);
  for (int i = 0; i < BarCount; ++i) MoveBar(view, i, 0);
  view.repeatText = "3";
  ResetDialog(view, r);
  const int defaults[BarCount] = {10, 5, 20, 10, 20, 20};
  for (int i = 0; i < BarCount; ++i) {
    EXPECT_EQ(view.bar[i], defaults[i]);
    EXPECT_EQ(view.barLabel[i], std::to_string(defaults[i]));
  }
  EXPECT_EQ(r.Values[6], 1);
  EXPECT_EQ(r.Values[7], 1);
  EXPECT_EQ(view.cloud[1], OptionMark::On);
  EXPECT_EQ(view.illu[1], OptionMark::On);
  EXPECT_EQ(r.BgmMode, 0);
  EXPECT_EQ(view.bgm[0], OptionMark::On);
  EXPECT_FALSE(view.bgmButtonEnabled);
  EXPECT_FALSE(view.repeatEnabled);
  EXPECT_EQ(view.fileLabel, "C:\\y.wav");
  EXPECT_EQ(view.repeatText, "3");
  const auto texts = SaveDialog(view, r);
  EXPECT_EQ(texts[10], "C:\\y.wav");
  EXPECT_EQ(texts[8], "0");
}

TEST(DialogBars, MovesStayInRangeAndTheNumberFollows) {
  DialogView view = DesignView();
  MoveBar(view, 0, 0);
  EXPECT_EQ(view.bar[0], 1);
  EXPECT_EQ(view.barLabel[0], "1");
  MoveBar(view, 2, 101);
  EXPECT_EQ(view.barLabel[2], "100");
  MoveBar(view, 6, 5);  // no such bar: nothing happens
  MoveBar(view, -1, 5);
  EXPECT_EQ(view.bar[5], 0);
}

TEST(DialogLayout, RepeatListPlacementAndBackdrop) {
  const auto list = RepeatList();
  ASSERT_EQ(list.size(), 31u);
  EXPECT_EQ(list.front(), "");
  EXPECT_EQ(list[1], "1");
  EXPECT_EQ(list.back(), "30");
  EXPECT_EQ(FormatTrack(-3), "-3");

  // 480 x 533 on 1280 x 720: centred across, a third of the free height down.
  EXPECT_EQ(DialogPosition(1280, 720, 480, 533), (std::pair<int, int>{400, 62}));
  // A screen smaller than the dialog truncates toward zero.
  EXPECT_EQ(DialogPosition(400, 500, 481, 533), (std::pair<int, int>{-40, -11}));

  const int h = 507;
  EXPECT_EQ(BackdropShade(0, h), 0);
  EXPECT_EQ(BackdropShade(h / 2, h), 220);
  EXPECT_LE(BackdropShade(h, h), 1);
  EXPECT_LT(BackdropShade(h / 8, h), BackdropShade(h / 4, h));
  EXPECT_EQ(BackdropShade(5, 0), 0) << "an empty area must not divide by zero";
}

}  // namespace
}  // namespace varenko

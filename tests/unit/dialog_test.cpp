// The settings dialog's decisions: loading stored values into the controls, the option groups,
// the save rules, reset, the track list, placement and the backdrop shading.
#include <gtest/gtest.h>

#include <algorithm>

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
  const std::int16_t top[] = {30, 30, 100, 30, 100, 100, 0, 1};  // every bar at its maximum
  std::copy(std::begin(top), std::end(top), r.Values);
  r.BgmMode = 1;
  r.BgmTrack = 45;  // beyond the list, shown all the same
  r.BgmFile = "C:\\Music\\show.mp3";
  const DialogView view = Loaded(r);
  EXPECT_EQ(view.bar, (std::array{30, 30, 100, 30, 100, 100}));
  EXPECT_EQ(view.barLabel, (std::array<std::string, 6>{"30", "30", "100", "30", "100", "100"}));
  EXPECT_EQ(view.cloud, (std::array{OptionMark::On, OptionMark::Off}));
  EXPECT_EQ(view.illu, (std::array{OptionMark::Off, OptionMark::On}));
  EXPECT_EQ(view.bgm, (std::array{OptionMark::Off, OptionMark::On, OptionMark::Off}));
  EXPECT_TRUE(view.repeatEnabled && !view.bgmButtonEnabled);
  EXPECT_EQ(view.repeatText, "45");
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
  // A pair outside 0 and 1 has no picture in either image; the music group shows three empty
  // marks.
  const std::array<OptionMark, 2> none{OptionMark::None, OptionMark::None};
  EXPECT_EQ(view.cloud, none);
  EXPECT_EQ(view.illu, none);
  EXPECT_EQ(view.bgm,
            (std::array<OptionMark, 3>{OptionMark::Off, OptionMark::Off, OptionMark::Off}));
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

TEST(DialogMusic, SourceChoiceKeepsTrackAndFile) {
  StoredSettingsRecord r = Defaults();
  DialogView view = Loaded(r);
  ChooseMusicSource(view, r, 2);
  EXPECT_TRUE(view.bgmButtonEnabled && !view.repeatEnabled);
  ChooseFile(view, r, "C:\\x.mp3");
  EXPECT_EQ(view.fileLabel, "C:\\x.mp3");
  view.repeatText = "4";
  ChooseMusicSource(view, r, 0);  // "無し" after a file was picked
  EXPECT_FALSE(view.bgmButtonEnabled || view.repeatEnabled);
  EXPECT_EQ(view.bgm, (std::array{OptionMark::On, OptionMark::Off, OptionMark::Off}));
  const auto texts = SaveDialog(view, r);
  EXPECT_EQ((std::array{texts[8], texts[9], texts[10]}),
            (std::array<std::string, 3>{"0", "4", "C:\\x.mp3"}));
}

TEST(DialogReset, DefaultsButTheFileAndTrackStay) {
  StoredSettingsRecord r = Defaults();
  r.BgmMode = 2;
  r.BgmFile = "C:\\y.wav";
  r.Values[6] = r.Values[7] = 0;
  DialogView view = Loaded(r);
  for (int i = 0; i < BarCount; ++i) MoveBar(view, i, 0);
  view.repeatText = "3";
  ResetDialog(view, r);
  EXPECT_EQ(view.barLabel, (std::array<std::string, BarCount>{"10", "5", "20", "10", "20", "20"}));
  EXPECT_EQ(view.cloud, (std::array{OptionMark::Off, OptionMark::On}));
  EXPECT_EQ(view.illu, (std::array{OptionMark::Off, OptionMark::On}));
  EXPECT_EQ(view.bgm, (std::array{OptionMark::On, OptionMark::Off, OptionMark::Off}));
  EXPECT_FALSE(view.bgmButtonEnabled || view.repeatEnabled);
  EXPECT_EQ(view.fileLabel, "C:\\y.wav");
  EXPECT_EQ(SaveDialog(view, r), (std::array<std::string, 11>{"10", "5", "20", "10", "20", "20",
                                                              "1", "1", "0", "3", "C:\\y.wav"}));
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

TEST(DialogLayout, RepeatListAndPlacement) {
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
}

// Every control's place and caption, in the order of the dialog's tables.
TEST(DialogLayout, ControlsAsLaidOut) {
  std::vector<std::pair<std::wstring, TwipRect>> laidOut;
  for (const LabelLayout& l : UpperLabels) laidOut.push_back({l.caption, l.place});
  for (int i = 0; i < BarCount; ++i) {
    laidOut.push_back({L"HS", BarRect(i)});
    laidOut.push_back({L"lbl_HS", BarLabelRect(i)});
  }
  auto options = [&](const auto& group) {
    for (const OptionLayout& o : group) {
      laidOut.push_back({L"image", o.image});
      laidOut.push_back({o.label.caption, o.label.place});
    }
  };
  options(CloudOptions);
  options(IlluOptions);
  options(BgmOptions);
  laidOut.push_back({L"Shape3", BgmFrameRect});
  laidOut.push_back({BgmTitle.caption, BgmTitle.place});
  laidOut.push_back({L"BGM_Repeat", RepeatRect});
  laidOut.push_back({RepeatLabel.caption, RepeatLabel.place});
  laidOut.push_back({L"lbl_Fname", FileNameRect});
  for (const ButtonLayout& b : {CmdBgm, CmdEtc, CmdInit, CmdSet, CmdCan})
    laidOut.push_back({b.caption, b.place});
  laidOut.push_back({L"lbl 7", CreditLabel.place});
  laidOut.push_back({L"Pic_C 1", UpperPanelRect});
  laidOut.push_back({L"Pic_C 0", LowerPanelRect});
  laidOut.push_back({DialogCaption, {0, 0, DialogClientWidth, DialogClientHeight}});

  const std::vector<std::pair<std::wstring, TwipRect>> expected = {
      {L"同時に打ち上げる花火の最大数", {240, 600, 2640, 195}},
      {L"煙の消滅スパン", {1560, 960, 1320, 195}},
      {L"風速", {2460, 1320, 390, 195}},
      {L"周囲の明るさ", {1800, 1680, 1095, 195}},
      {L"星の描画密度", {1680, 2040, 1170, 195}},
      {L"レンズフレアの明るさ", {1140, 2400, 1725, 195}},
      {L"天気", {2460, 2760, 390, 195}},
      {L"イルミネーション効果", {1140, 3120, 1695, 195}},
      {L"HS", {3060, 540, 1455, 255}},
      {L"lbl_HS", {4620, 600, 375, 195}},
      {L"HS", {3060, 900, 1455, 255}},
      {L"lbl_HS", {4620, 960, 375, 195}},
      {L"HS", {3060, 1260, 1455, 255}},
      {L"lbl_HS", {4620, 1320, 375, 195}},
      {L"HS", {3060, 1620, 1455, 255}},
      {L"lbl_HS", {4620, 1680, 375, 195}},
      {L"HS", {3060, 1980, 1455, 255}},
      {L"lbl_HS", {4620, 2040, 375, 195}},
      {L"HS", {3060, 2340, 1455, 255}},
      {L"lbl_HS", {4620, 2400, 375, 195}},
      {L"image", {3060, 2760, 195, 195}},
      {L"星空", {3300, 2760, 390, 195}},
      {L"image", {3960, 2760, 195, 195}},
      {L"曇り", {4200, 2760, 345, 195}},
      {L"image", {3060, 3120, 195, 195}},
      {L"無", {3300, 3120, 195, 195}},
      {L"image", {3960, 3120, 195, 195}},
      {L"有", {4200, 3120, 195, 195}},
      {L"image", {300, 1140, 195, 195}},
      {L"無し", {540, 1140, 345, 195}},
      {L"image", {300, 840, 195, 195}},
      {L"音楽CD", {540, 840, 645, 195}},
      {L"image", {300, 1440, 195, 195}},
      {L"MP3、WAV", {540, 1440, 900, 195}},
      {L"Shape3", {300, 300, 1695, 315}},
      {L"BGM", {300, 360, 1665, 195}},
      {L"BGM_Repeat", {1380, 780, 615, 300}},
      {L"曲目をリピート", {2040, 840, 1155, 195}},
      {L"lbl_Fname", {1020, 1740, 5355, 435}},
      {L"...", {540, 1740, 435, 315}},
      {L"URL", {1500, 6780, 1335, 375}},
      {L"初期設定", {2880, 6780, 1335, 375}},
      {L"設定", {4260, 6780, 1335, 375}},
      {L"ｷｬﾝｾﾙ", {5640, 6780, 1335, 375}},
      {L"lbl 7", {4500, 7260, 2475, 195}},
      {L"Pic_C 1", {180, 180, 6795, 3795}},
      {L"Pic_C 0", {180, 4080, 6795, 2535}},
      {L"Varenko", {0, 0, 7200, 7605}},
  };
  ASSERT_EQ(laidOut.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(laidOut[i].first == expected[i].first) << "row " << i;
    EXPECT_EQ(laidOut[i].second, expected[i].second) << "row " << i;
  }

  // Bar i edits key "0i": minimum, maximum, design value; small change 1, large change 5.
  const std::array<int, 3> ranges[BarCount] = {{1, 30, 1}, {0, 30, 0},  {0, 100, 0},
                                               {0, 30, 0}, {0, 100, 0}, {0, 100, 0}};
  for (int i = 0; i < BarCount; ++i)
    EXPECT_EQ((std::array{BarRanges[i].minimum, BarRanges[i].maximum, BarRanges[i].design}),
              ranges[i])
        << "bar " << i;
  EXPECT_EQ(std::pair(BarSmallChange, BarLargeChange), std::pair(1, 5));
  EXPECT_EQ(RepeatEntries, 31);
  for (const LabelLayout& l : UpperLabels) EXPECT_EQ(l.align, Align::Right);
  EXPECT_EQ(BgmTitle.align, Align::Centre);
  EXPECT_TRUE(std::wstring(LabelFace) == L"ＭＳ Ｐゴシック" && LabelPoints == 9.75);
  EXPECT_TRUE(std::wstring(LabelFontSpec) == L"ＭＳ Ｐゴシック,9.75") << "the buttons' font";
  EXPECT_TRUE(std::wstring(PanelFace) == L"Tahoma" && PanelPoints == 8.25);
  EXPECT_TRUE(std::wstring(FileFilterName) == L"BGMﾌｧｲﾙ (MP3 WAV)");
  EXPECT_TRUE(std::wstring(FileFilterPattern) == L"*.MP3;*.WAV");
  EXPECT_TRUE(std::wstring(FileChooserTitle) == L"ﾌｧｲﾙを開く");
  EXPECT_EQ(FileBufferLength, 255);
}

// Twips are physical: 1440 to the inch, rounded to the nearest pixel.
TEST(DialogPixels, PlacesPanelsAndBackdrop) {
  const DialogScale at96{96, 96}, at120{120, 120};
  const int conversions[][3] = {{7200, 96, 480}, {7605, 96, 507}, {7605, 120, 634}, {7, 96, 0},
                                {8, 96, 1},      {6, 120, 1},     {-6, 120, -1},    {5, 120, 0},
                                {-5, 120, 0},    {719, 1, 0},     {-719, 1, 0}};
  for (const auto& [twips, dpi, pixels] : conversions)
    EXPECT_EQ(TwipsToPixels(twips, dpi), pixels) << twips << " at " << dpi;
  EXPECT_EQ(PanelOuter(UpperPanelRect, at96), (PixelRect{12, 12, 465, 265}));
  EXPECT_EQ(PanelInner(LowerPanelRect, at96), (PixelRect{14, 274, 463, 439}));
  EXPECT_EQ(PlaceControl(Container::UpperPanel, CloudOptions[0].label.place, at96),
            (PixelRect{234, 198, 260, 211}));
  EXPECT_EQ(PlaceControl(Container::LowerPanel, CmdBgm.place, at120),
            (PixelRect{62, 487, 98, 513}));
  EXPECT_EQ(PlaceControl(Container::Dialog, CmdSet.place, at96), (PixelRect{284, 452, 373, 477}));

  // One line per row, inside the area, shade c plus the offsets: c = |sin(y / (h / 3.142)) x 220|.
  struct Area {
    PixelRect area;
    Rgb add;
    std::vector<std::pair<int, int>> rowShade;
  };
  const Area areas[] = {
      {PanelInner(LowerPanelRect, at96),
       PanelShadeAdd,
       {{0, 0}, {1, 4}, {41, 155}, {82, 220}, {164, 4}}},
      {PanelInner(UpperPanelRect, at96), PanelShadeAdd, {{1, 3}, {62, 155}, {124, 220}, {248, 3}}},
      {{0, 0, 480, 507}, DialogShadeAdd, {{1, 1}, {126, 155}, {253, 220}, {506, 1}}},
  };
  for (const Area& a : areas) {
    const auto lines = BackdropLines(a.area, a.add);
    ASSERT_EQ(static_cast<int>(lines.size()), a.area.bottom - a.area.top);
    for (std::size_t y = 0; y < lines.size(); ++y) {
      const PixelRect row{a.area.left, a.area.top + static_cast<int>(y), a.area.right,
                          a.area.top + static_cast<int>(y) + 1};
      ASSERT_EQ(lines[y].row, row) << y;
    }
    for (const auto& [y, c] : a.rowShade) {
      const Rgb want{static_cast<std::uint8_t>(c + a.add.red),
                     static_cast<std::uint8_t>(c + a.add.green),
                     static_cast<std::uint8_t>(c + a.add.blue)};
      EXPECT_EQ(lines[y].colour, want) << "row " << y;
    }
  }
  EXPECT_EQ((std::pair{PanelShadeAdd, DialogShadeAdd}),
            (std::pair{Rgb{30, 30, 30}, Rgb{0, 0, 30}}));
  EXPECT_TRUE(BackdropLines({0, 5, 10, 5}, PanelShadeAdd).empty());
  EXPECT_EQ(BackdropShade(5, 0), 0) << "an empty area must not divide by zero";
}

// A press selects the option under it; only the music choice sets the music controls again, so
// only that repaints `Cmd_BGM`.
TEST(DialogClicks, OptionsUnderThePointer) {
  struct Case {
    int x, y;
    DialogChange change;
    std::array<std::int16_t, 3> weatherIlluMode;
  };
  const Case cases[] = {
      {240, 200, {true, false}, {0, 0, 1}},   // "星空"
      {280, 200, {true, false}, {1, 0, 1}},   // image of "曇り"
      {236, 225, {true, false}, {1, 0, 1}},   // "無"
      {300, 225, {true, false}, {1, 1, 1}},   // "有"
      {38, 350, {true, true}, {1, 0, 0}},     // "無し" at 300, 1140 in the lower panel
      {80, 330, {true, true}, {1, 0, 1}},     // "音楽CD"
      {100, 372, {true, true}, {1, 0, 2}},    // "MP3、WAV"
      {5, 5, {false, false}, {1, 0, 1}},      // the backdrop
      {250, 50, {false, false}, {1, 0, 1}},   // a bar
      {234, 198, {true, false}, {0, 0, 1}},   // the top-left corner of "星空" is in it,
      {231, 205, {false, false}, {1, 0, 1}},  // the right edge of its image is not,
      {260, 205, {false, false}, {1, 0, 1}},  // nor the right edge of "星空",
      {240, 211, {false, false}, {1, 0, 1}},  // nor its bottom edge
  };
  for (const Case& c : cases) {
    StoredSettingsRecord r = Defaults();
    r.Values[7] = 0;
    r.BgmMode = 1;
    DialogView view = Loaded(r);
    EXPECT_EQ(ClickDialog(view, r, c.x, c.y, DialogScale{}), c.change) << c.x << "," << c.y;
    EXPECT_EQ((std::array<std::int16_t, 3>{r.Values[6], r.Values[7], r.BgmMode}), c.weatherIlluMode)
        << c.x << "," << c.y;
    // Each pair lights the chosen image only; a choice in one group leaves the others alone.
    EXPECT_TRUE(view.cloud[r.Values[6]] == OptionMark::On &&
                view.cloud[1 - r.Values[6]] == OptionMark::Off);
    EXPECT_TRUE(view.illu[r.Values[7]] == OptionMark::On &&
                view.illu[1 - r.Values[7]] == OptionMark::Off);
  }
  StoredSettingsRecord r = Defaults();
  DialogView view = Loaded(r);
  EXPECT_EQ(ResetDialog(view, r), (DialogChange{true, true}));
  // Indices outside a group change nothing.
  const StoredSettingsRecord before = r;
  for (const DialogChange& change :
       {SelectCloud(view, r, 2), SelectCloud(view, r, -1), SelectIllumination(view, r, -1),
        SelectIllumination(view, r, 2), ChooseMusicSource(view, r, 3),
        ChooseMusicSource(view, r, -1)})
    EXPECT_EQ(change, (DialogChange{false, false}));
  EXPECT_EQ((std::array{r.Values[6], r.Values[7], r.BgmMode}),
            (std::array{before.Values[6], before.Values[7], before.BgmMode}));
}

}  // namespace
}  // namespace varenko

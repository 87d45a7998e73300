// The settings dialog's decisions: loading stored values into the controls, the option groups,
// the save rules, reset, the track list, placement and the backdrop shading.
#include <gtest/gtest.h>

#include <span>
#include <tuple>

#include "frontend/settings/dialog_model.h"

namespace varenko {
namespace {

using enum OptionMark;
using Texts = std::array<std::string, 12>;

// The defaults, with the music choice given.
StoredSettingsRecord Stored(std::int16_t mode = 0, std::int16_t track = 0, std::string file = "") {
  return {{10, 5, 20, 10, 20, 20, 1, 1}, mode, track, file, 0};
}

DialogView Loaded(const StoredSettingsRecord& r) {
  DialogView view = DesignView();
  LoadDialog(view, r);
  return view;
}

TEST(DialogLoad, ShowsTheStoredValues) {
  // Every bar at its maximum, a track beyond the list, shown all the same.
  const DialogView view =
      Loaded({{30, 30, 100, 30, 100, 100, 0, 1}, 1, 45, "C:\\Music\\show.mp3", 100});
  EXPECT_EQ(view.bar, (std::array{30, 30, 100, 30, 100, 100, 100}));
  EXPECT_EQ(view.barLabel,
            (std::array<std::string, 7>{"30", "30", "100", "30", "100", "100", "100"}));
  EXPECT_EQ(view.cloud, (std::array{On, Off}));
  EXPECT_EQ(view.illu, (std::array{Off, On}));
  EXPECT_EQ(view.bgm, (std::array{Off, On, Off}));
  EXPECT_TRUE(view.repeatEnabled && !view.bgmButtonEnabled);
  EXPECT_EQ(view.repeatText, "45");
  EXPECT_EQ(view.fileLabel, "C:\\Music\\show.mp3");
}

TEST(DialogLoad, OutOfRangeValues) {
  // Bar 0 below its minimum 1, bars 3 to 5 and the sound bar past their maxima (the store reads
  // a number past 16 bits as 32767), the pairs outside 0 and 1.
  StoredSettingsRecord r{{0, 5, 20, 31, 32767, 250, 2, -1}, 5, 0, "", -3};
  const DialogView view = Loaded(r);
  // A bar and its number show the range's end, the value the renderer uses.
  EXPECT_EQ(view.bar, (std::array{1, 5, 20, 30, 100, 100, 0}));
  EXPECT_EQ(view.barLabel, (std::array<std::string, 7>{"1", "5", "20", "30", "100", "100", "0"}));
  // A pair outside 0 and 1 has no picture in either image; the music group shows three empty
  // marks.
  EXPECT_EQ(view.cloud, (std::array{None, None}));
  EXPECT_EQ(view.illu, (std::array{None, None}));
  EXPECT_EQ(view.bgm, (std::array{Off, Off, Off}));
  EXPECT_FALSE(view.repeatEnabled || view.bgmButtonEnabled);
  // Saving writes the bars' values (back in range) and the pairs and mode unchanged.
  EXPECT_EQ(SaveDialog(view, r),
            (Texts{"1", "5", "20", "30", "100", "100", "2", "-1", "5", "0", "", "0"}));
}

TEST(DialogSave, WritesEveryKeyInOrder) {
  StoredSettingsRecord r = Stored(0, 0, "D:\\a b\\曲.wav");
  DialogView view = Loaded(r);
  MoveBar(view, 2, 55);
  MoveBar(view, SoundBar, 35);
  SelectCloud(view, r, 0);
  SelectIllumination(view, r, 0);
  ChooseMusicSource(view, r, 2);
  view.repeatText = "12";
  EXPECT_EQ(SaveDialog(view, r), (Texts{"10", "5", "55", "10", "20", "20", "0", "0", "2", "12",
                                        "D:\\a b\\曲.wav", "35"}));
  EXPECT_EQ(r.BgmTrack, 12);
}

TEST(DialogSave, TrackTextRules) {
  // The text, the track loaded, the track saved. Halves go to the even neighbour; a number that
  // does not fit in 16 bits keeps the loaded value.
  // clang-format off
  const std::tuple<const char*, std::int16_t, const char*> cases[] = {
      {"", 9, "0"}, {"abc", 9, "0"}, {"7", 0, "7"}, {"2.5", 0, "2"}, {"3.5", 0, "4"},
      {"45", 0, "45"}, {"40000", 13, "13"}, {"-40000", 13, "13"}, {" 30 ", 0, "30"}};
  // clang-format on
  for (const auto& [text, loaded, saved] : cases) {
    StoredSettingsRecord r = Stored(0, loaded);
    DialogView view = Loaded(r);
    view.repeatText = text;
    EXPECT_EQ(SaveDialog(view, r)[9], saved) << "text [" << text << "]";
  }
}

TEST(DialogMusic, SourceChoiceKeepsTrackAndFile) {
  StoredSettingsRecord r = Stored();
  DialogView view = Loaded(r);
  ChooseMusicSource(view, r, 2);
  EXPECT_TRUE(view.bgmButtonEnabled && !view.repeatEnabled);
  ChooseFile(view, r, "C:\\x.mp3");
  EXPECT_EQ(view.fileLabel, "C:\\x.mp3");
  view.repeatText = "4";
  ChooseMusicSource(view, r, 0);  // "無し" after a file was picked
  EXPECT_FALSE(view.bgmButtonEnabled || view.repeatEnabled);
  EXPECT_EQ(view.bgm, (std::array{On, Off, Off}));
  EXPECT_EQ(SaveDialog(view, r),
            (Texts{"10", "5", "20", "10", "20", "20", "1", "1", "0", "4", "C:\\x.mp3", "0"}));
}

TEST(DialogReset, DefaultsButTheFileAndTrackStay) {
  StoredSettingsRecord r{{10, 5, 20, 10, 20, 20, 0, 0}, 2, 0, "C:\\y.wav", 60};
  DialogView view = Loaded(r);
  for (int i = 0; i < BarCount; ++i) MoveBar(view, i, 0);
  view.repeatText = "3";
  EXPECT_EQ(ResetDialog(view, r), (DialogChange{true, true}));
  EXPECT_EQ(view.barLabel,
            (std::array<std::string, BarCount>{"10", "5", "20", "10", "20", "20", "0"}));
  EXPECT_EQ(view.cloud, (std::array{Off, On}));
  EXPECT_EQ(view.illu, (std::array{Off, On}));
  EXPECT_EQ(view.bgm, (std::array{On, Off, Off}));
  EXPECT_FALSE(view.bgmButtonEnabled || view.repeatEnabled);
  EXPECT_EQ(view.fileLabel, "C:\\y.wav");
  EXPECT_EQ(SaveDialog(view, r),
            (Texts{"10", "5", "20", "10", "20", "20", "1", "1", "0", "3", "C:\\y.wav", "0"}));
}

TEST(DialogBars, MovesStayInRangeAndTheNumberFollows) {
  DialogView view = DesignView();
  MoveBar(view, 0, 0);
  EXPECT_EQ(std::tie(view.bar[0], view.barLabel[0]), std::tuple(1, "1"));
  MoveBar(view, 2, 101);
  EXPECT_EQ(view.barLabel[2], "100");
  MoveBar(view, SoundBar, 101);
  EXPECT_EQ(view.barLabel[SoundBar], "100");
  MoveBar(view, 7, 5);  // no such bar: nothing happens
  MoveBar(view, -1, 5);
  EXPECT_EQ(view.bar[5], 0);
}

TEST(DialogLayout, RepeatListAndPlacement) {
  const auto list = RepeatList();
  ASSERT_EQ(list.size(), 31u);
  EXPECT_EQ((std::array{list[0], list[1], list[30]}), (std::array<std::string, 3>{"", "1", "30"}));
  EXPECT_EQ(FormatTrack(-3), "-3");
  // 480 x 533 in a work area of 1280 x 720: centred across, a third of the free height down;
  // in a work area that starts elsewhere, the same inside it; never above or left of it.
  EXPECT_EQ(DialogPosition({0, 0, 1280, 720}, 480, 533), (std::pair<int, int>{400, 62}));
  EXPECT_EQ(DialogPosition({-1280, 40, 0, 760}, 480, 533), (std::pair<int, int>{-880, 102}));
  EXPECT_EQ(DialogPosition({0, 0, 400, 500}, 481, 533), (std::pair<int, int>{0, 0}));
}

// Every control's place and caption, in the order of the dialog's tables.
TEST(DialogLayout, ControlsAsLaidOut) {
  std::vector<std::pair<std::wstring, TwipRect>> laidOut;
  const auto ja = [](TextId id) { return std::wstring(Text(id, Language::Japanese)); };
  for (const LabelLayout& l : UpperLabels) laidOut.push_back({ja(l.text), l.place});
  for (int i = 0; i < UpperBarCount; ++i) {
    laidOut.push_back({L"HS", BarRect(i)});
    laidOut.push_back({L"lbl_HS", BarLabelRect(i)});
  }
  for (const auto& group :
       {std::span<const OptionLayout>(CloudOptions), std::span<const OptionLayout>(IlluOptions),
        std::span<const OptionLayout>(BgmOptions)})
    for (const OptionLayout& o : group) {
      laidOut.push_back({L"image", o.image});
      laidOut.push_back({ja(o.label.text), o.label.place});
    }
  // clang-format off
  laidOut.insert(laidOut.end(), {{L"Shape3", BgmFrameRect}, {ja(BgmTitle.text), BgmTitle.place},
      {L"BGM_Repeat", RepeatRect}, {ja(RepeatLabel.text), RepeatLabel.place},
      {L"lbl_Fname", FileNameRect}});
  for (const ButtonLayout& b : {CmdBgm, CmdEtc, CmdInit, CmdSet, CmdCan})
    laidOut.push_back({ja(b.text), b.place});
  laidOut.insert(laidOut.end(), {{L"lbl 7", CreditLabel.place}, {L"Pic_C 1", UpperPanelRect},
      {L"Pic_C 0", LowerPanelRect}, {DialogCaption, {0, 0, DialogClientWidth, DialogClientHeight}}});
  const std::pair<std::wstring, TwipRect> expected[] = {
      {L"同時に打ち上げる花火の最大数", {240, 600, 2640, 195}},
      {L"煙の消滅スパン", {1560, 960, 1320, 195}}, {L"風速", {2460, 1320, 390, 195}},
      {L"周囲の明るさ", {1800, 1680, 1095, 195}}, {L"星の描画密度", {1680, 2040, 1170, 195}},
      {L"レンズフレアの明るさ", {1140, 2400, 1725, 195}}, {L"天気", {2460, 2760, 390, 195}},
      {L"イルミネーション効果", {1140, 3120, 1695, 195}},
      {L"HS", {3060, 540, 1455, 255}}, {L"lbl_HS", {4620, 600, 375, 195}},
      {L"HS", {3060, 900, 1455, 255}}, {L"lbl_HS", {4620, 960, 375, 195}},
      {L"HS", {3060, 1260, 1455, 255}}, {L"lbl_HS", {4620, 1320, 375, 195}},
      {L"HS", {3060, 1620, 1455, 255}}, {L"lbl_HS", {4620, 1680, 375, 195}},
      {L"HS", {3060, 1980, 1455, 255}}, {L"lbl_HS", {4620, 2040, 375, 195}},
      {L"HS", {3060, 2340, 1455, 255}}, {L"lbl_HS", {4620, 2400, 375, 195}},
      {L"image", {3060, 2760, 195, 195}}, {L"星空", {3300, 2760, 390, 195}},
      {L"image", {3960, 2760, 195, 195}}, {L"曇り", {4200, 2760, 345, 195}},
      {L"image", {3060, 3120, 195, 195}}, {L"無", {3300, 3120, 195, 195}},
      {L"image", {3960, 3120, 195, 195}}, {L"有", {4200, 3120, 195, 195}},
      {L"image", {300, 1140, 195, 195}}, {L"無し", {540, 1140, 345, 195}},
      {L"image", {300, 840, 195, 195}}, {L"音楽CD", {540, 840, 645, 195}},
      {L"image", {300, 1440, 195, 195}}, {L"MP3、WAV", {540, 1440, 900, 195}},
      {L"Shape3", {300, 300, 1695, 315}}, {L"BGM", {300, 360, 1665, 195}},
      {L"BGM_Repeat", {1380, 780, 615, 300}}, {L"曲目をリピート", {2040, 840, 1155, 195}},
      {L"lbl_Fname", {1020, 1740, 5355, 435}}, {L"...", {540, 1740, 435, 315}},
      {L"URL", {1500, 6780, 1335, 375}}, {L"初期設定", {2880, 6780, 1335, 375}},
      {L"設定", {4260, 6780, 1335, 375}}, {L"ｷｬﾝｾﾙ", {5640, 6780, 1335, 375}},
      {L"lbl 7", {4500, 7260, 2475, 195}}, {L"Pic_C 1", {180, 180, 6795, 3795}},
      {L"Pic_C 0", {180, 4080, 6795, 2535}}, {L"Varenko", {0, 0, 7200, 7605}}};
  // clang-format on
  ASSERT_EQ(laidOut.size(), std::size(expected));
  for (std::size_t i = 0; i < laidOut.size(); ++i)
    EXPECT_TRUE(laidOut[i] == expected[i]) << "row " << i;

  // Bar i edits key "0i": minimum, maximum, design value; small change 1, large change 5.
  const std::array<int, 3> ranges[BarCount] = {{1, 30, 1},  {0, 30, 0},  {0, 100, 0}, {0, 30, 0},
                                               {0, 100, 0}, {0, 100, 0}, {0, 100, 0}};
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
  EXPECT_TRUE(ja(TextId::ChooserFilter) == L"BGMﾌｧｲﾙ (MP3 WAV)");
  EXPECT_TRUE(std::wstring(FileFilterPattern) == L"*.MP3;*.WAV");
  EXPECT_TRUE(ja(TextId::ChooserTitle) == L"ﾌｧｲﾙを開く");
  EXPECT_TRUE(ja(TextId::MissingRenderer) ==
              L"Varenko.dll が Varenko.scr と同じﾌｫﾙﾀﾞに見つかりません！");
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
  const std::tuple<PixelRect, Rgb, std::vector<std::pair<int, int>>> areas[] = {
      {PanelInner(LowerPanelRect, at96),
       PanelShadeAdd,
       {{0, 0}, {1, 4}, {41, 155}, {82, 220}, {164, 4}}},
      {PanelInner(UpperPanelRect, at96), PanelShadeAdd, {{1, 3}, {62, 155}, {124, 220}, {248, 3}}},
      {{0, 0, 480, 507}, DialogShadeAdd, {{1, 1}, {126, 155}, {253, 220}, {506, 1}}},
  };
  for (const auto& [area, add, rowShade] : areas) {
    const auto lines = BackdropLines(area, add);
    ASSERT_EQ(static_cast<int>(lines.size()), area.bottom - area.top);
    for (int y = 0; y < static_cast<int>(lines.size()); ++y)
      ASSERT_EQ(lines[y].row, (PixelRect{area.left, area.top + y, area.right, area.top + y + 1}))
          << y;
    for (const auto& [y, c] : rowShade) {
      const auto shade = [&](std::uint8_t plus) { return static_cast<std::uint8_t>(c + plus); };
      EXPECT_EQ(lines[y].colour, (Rgb{shade(add.red), shade(add.green), shade(add.blue)}))
          << "row " << y;
    }
  }
  EXPECT_EQ((std::pair{PanelShadeAdd, DialogShadeAdd}),
            (std::pair{Rgb{30, 30, 30}, Rgb{0, 0, 30}}));
  EXPECT_TRUE(BackdropLines({0, 5, 10, 5}, PanelShadeAdd).empty());
  EXPECT_EQ(BackdropShade(5, 0), 0) << "an empty area must not divide by zero";
}

// A press selects the option under it; only the music choice sets the music controls again, so
// only that repaints `Cmd_BGM`. Each pair lights the chosen image only; a choice in one group
// leaves the others alone.
TEST(DialogClicks, OptionsUnderThePointer) {
  // x, y, the change, and weather, illumination and music mode after it.
  const std::tuple<int, int, DialogChange, std::array<std::int16_t, 3>> cases[] = {
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
  for (const auto& [x, y, change, after] : cases) {
    StoredSettingsRecord r{{10, 5, 20, 10, 20, 20, 1, 0}, 1, 0, "", 0};
    DialogView view = Loaded(r);
    EXPECT_EQ(ClickDialog(view, r, x, y, DialogScale{}), change) << x << "," << y;
    EXPECT_EQ((std::array{r.Values[6], r.Values[7], r.BgmMode}), after) << x << "," << y;
    EXPECT_EQ((std::array{view.cloud[r.Values[6]], view.cloud[1 - r.Values[6]],
                          view.illu[r.Values[7]], view.illu[1 - r.Values[7]]}),
              (std::array{On, Off, On, Off}))
        << x << "," << y;
  }
  // Indices outside a group change nothing.
  StoredSettingsRecord r = Stored(1);
  DialogView view = Loaded(r);
  for (const DialogChange& change :
       {SelectCloud(view, r, 2), SelectCloud(view, r, -1), SelectIllumination(view, r, -1),
        SelectIllumination(view, r, 2), ChooseMusicSource(view, r, 3),
        ChooseMusicSource(view, r, -1)})
    EXPECT_EQ(change, (DialogChange{false, false}));
  EXPECT_EQ((std::array{r.Values[6], r.Values[7], r.BgmMode}),
            (std::array<std::int16_t, 3>{1, 1, 1}));
  // Right of "曇り" but inside the wider place of "Cloudy".
  for (Language language : {Language::Japanese, Language::English}) {
    SelectCloud(view, r, 0);
    view.language = language;
    ClickDialog(view, r, 334, 200, DialogScale{});
    EXPECT_EQ(r.Values[6], language == Language::English ? 1 : 0);
  }
}

}  // namespace
}  // namespace varenko

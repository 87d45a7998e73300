// The settings dialog in two languages and at any size: the texts table, the choice of language,
// the English layout beside the Japanese one, the shrinking to a work area and the keyboard on
// the option groups.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "frontend/settings/dialog_model.h"

namespace varenko {
namespace {

TEST(DialogTexts, EveryTextInBothLanguagesAndTheLanguageChoice) {
  for (int i = 0; i < static_cast<int>(TextId::Count); ++i) {
    const std::wstring ja = Text(static_cast<TextId>(i), Language::Japanese);
    const std::wstring en = Text(static_cast<TextId>(i), Language::English);
    EXPECT_FALSE(ja.empty() || en.empty()) << "text " << i;
    // English texts must show in a font without Japanese glyphs.
    for (wchar_t c : en) EXPECT_LT(static_cast<unsigned>(c), 0x80u) << "text " << i;
  }
  EXPECT_TRUE(std::wstring(Text(TextId::Count, Language::English)).empty());
  // Any Japanese sub-language is Japanese; everything else, the neutral language included, is
  // English.
  const std::pair<std::uint16_t, Language> ids[] = {
      {0x0411, Language::Japanese}, {0x0811, Language::Japanese}, {0x0011, Language::Japanese},
      {0x0409, Language::English},  {0x0804, Language::English},  {0x0000, Language::English},
      {0x0412, Language::English}};
  for (const auto& [id, language] : ids) EXPECT_EQ(LanguageForLangId(id), language) << id;
}

PixelRect Pixels(Container c, const TwipRect& r, int dpi) { return PlaceControl(c, r, {dpi, dpi}); }

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Every label, number, bar, mark and control of each panel, at every scale and in both
// languages: none overlaps another, and all lie inside their panel.
TEST(DialogLayout, NothingOverlapsInEitherLanguageAtAnyScale) {
  for (Language language : {Language::Japanese, Language::English}) {
    std::vector<std::tuple<std::string, Container, TwipRect>> parts;
    auto label = [&](const std::string& name, const LabelLayout& l) {
      parts.push_back({name, l.container, LabelPlace(l, language)});
    };
    for (std::size_t i = 0; i < UpperLabels.size(); ++i)
      label("lbl " + std::to_string(i), UpperLabels[i]);
    for (int i = 0; i < BarCount; ++i) {
      parts.push_back({"HS " + std::to_string(i), BarContainer(i), BarRect(i)});
      parts.push_back({"lbl_HS " + std::to_string(i), BarContainer(i), BarLabelRect(i)});
    }
    for (const auto* group : {&CloudOptions[0], &IlluOptions[0]})
      for (int i = 0; i < 2; ++i) {
        parts.push_back({"image", Container::UpperPanel, group[i].image});
        label("option", group[i].label);
      }
    for (const OptionLayout& o : BgmOptions) {
      parts.push_back({"image", Container::LowerPanel, o.image});
      label("music option", o.label);
    }
    parts.push_back({"Shape3", Container::LowerPanel, BgmFrameRect});
    parts.push_back({"BGM_Repeat", Container::LowerPanel, RepeatRect});
    label("lbl 14", RepeatLabel);
    label("sound", SoundLabel);
    parts.push_back({"lbl_Fname", Container::LowerPanel, FileNameRect});
    parts.push_back({"Cmd_BGM", Container::LowerPanel, CmdBgm.place});

    for (int dpi : {48, 96, 120, 130, 144, 192}) {
      for (std::size_t a = 0; a < parts.size(); ++a) {
        const auto& [name, container, place] = parts[a];
        const PixelRect r = Pixels(container, place, dpi);
        const PixelRect panel = PanelInner(
            container == Container::UpperPanel ? UpperPanelRect : LowerPanelRect, {dpi, dpi});
        EXPECT_TRUE(r.left >= panel.left && r.right <= panel.right && r.top >= panel.top &&
                    r.bottom <= panel.bottom)
            << name << " at " << dpi;
        for (std::size_t b = a + 1; b < parts.size(); ++b) {
          const auto& [other, container2, place2] = parts[b];
          if (container2 != container) continue;
          EXPECT_FALSE(Overlap(r, Pixels(container2, place2, dpi)))
              << name << " and " << other << " at " << dpi << " dpi, language "
              << static_cast<int>(language);
        }
      }
    }
  }
}

TEST(DialogScaling, ShrinksToTheWorkArea) {
  // dpi, work area, frame, the DPI laid out at. A frame of 6 x 29 pixels is Wine's caption and
  // borders at 96 DPI.
  const std::tuple<int, int, int, int, int, int> cases[] = {
      {96, 1280, 720, 6, 29, 96},     // fits: the screen's own
      {144, 1280, 720, 6, 29, 130},   // 761 rows would not fit 720
      {192, 1366, 768, 6, 29, 140},   // 1014 rows would not fit 768
      {192, 3840, 2160, 6, 29, 192},  // a large screen keeps the scale
      {144, 1280, 720, 6, 29, 130},   // the largest that fits, not a round step
      {96, 300, 200, 6, 29, 32},          {96, 100, 100, 6, 29, MinDialogDpi},
      {0, 1280, 720, 6, 29, MinDialogDpi}};
  for (const auto& [dpi, w, h, fw, fh, fit] : cases) {
    EXPECT_EQ(FitDialogDpi(dpi, w, h, fw, fh), fit) << dpi << " on " << w << "x" << h;
    if (fit > MinDialogDpi && fit < dpi) {
      EXPECT_GT(TwipsToPixels(DialogClientHeight, fit + 1) + fh, h) << "one more would not fit";
    }
  }
}

// What Space and the arrows do to each group, from each starting choice.
TEST(DialogKeyboard, KeysChangeTheFocusedGroup) {
  using enum OptionGroup;
  using enum OptionKey;
  // group, value before, key, value after.
  const std::tuple<OptionGroup, int, OptionKey, int> cases[] = {
      {Cloud, 0, Space, 1}, {Cloud, 1, Space, 0},        {Cloud, 0, Next, 1},
      {Cloud, 1, Next, 1},  {Cloud, 1, Previous, 0},     {Cloud, 0, Previous, 0},
      {Cloud, 7, Next, 0},  {Illumination, 1, Space, 0}, {Illumination, -1, Space, 0},
      {Music, 1, Next, 0},  {Music, 0, Next, 2},         {Music, 2, Next, 2},
      {Music, 2, Space, 1}, {Music, 0, Previous, 1},     {Music, 9, Previous, 1}};
  for (const auto& [group, before, key, after] : cases) {
    StoredSettingsRecord r{{10, 5, 20, 10, 20, 20, 1, 1}, 0, 0, "", 0};
    std::int16_t& value = group == Cloud          ? r.Values[6]
                          : group == Illumination ? r.Values[7]
                                                  : r.BgmMode;
    value = static_cast<std::int16_t>(before);
    DialogView view = DesignView();
    LoadDialog(view, r);
    const DialogChange change = KeyOption(view, r, group, key);
    EXPECT_EQ(value, after) << static_cast<int>(group) << " from " << before;
    EXPECT_EQ(change, (DialogChange{true, group == Music}));
    if (group == Music) {
      EXPECT_EQ(view.bgm[after], OptionMark::On);
    }
  }
}

// English captions are wider: their wider places take the clicks.
TEST(DialogClicks, EnglishCaptionsTakeTheirWiderPlaces) {
  for (Language language : {Language::Japanese, Language::English}) {
    StoredSettingsRecord r{{10, 5, 20, 10, 20, 20, 0, 1}, 0, 0, "", 0};
    DialogView view = DesignView();
    view.language = language;
    LoadDialog(view, r);
    // Right of "曇り" but inside "Cloudy"'s place (4200 + 900 twips).
    ClickDialog(view, r, 14 + 4800 / 15, 14 + 2800 / 15, DialogScale{});
    EXPECT_EQ(r.Values[6], language == Language::English ? 1 : 0);
  }
}

}  // namespace
}  // namespace varenko

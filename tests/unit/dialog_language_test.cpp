// The settings dialog in two languages and at any size: the choice of language, the captions'
// rooms beside the controls, the shrinking to a work area and the keyboard on the option groups.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "frontend/settings/dialog_model.h"

namespace varenko {
namespace {

TEST(DialogTexts, LanguageChoiceAndEnglishInAnyFont) {
  // Any Japanese sub-language is Japanese; anything else, the neutral language included, English.
  const std::pair<std::uint16_t, Language> ids[] = {
      {0x0411, Language::Japanese}, {0x0811, Language::Japanese}, {0x0409, Language::English},
      {0x0804, Language::English},  {0x0000, Language::English},  {0x0412, Language::English}};
  for (const auto& [id, language] : ids) EXPECT_EQ(LanguageForLangId(id), language) << id;
  // The English captions as prescribed, in the order of the texts table.
  const wchar_t* const english[] = {L"Fireworks at once",
                                    L"Smoke lasts (s)",
                                    L"Wind",
                                    L"Ambient light",
                                    L"Stars",
                                    L"Lens flare",
                                    L"Weather",
                                    L"Lit smoke",
                                    L"Clear",
                                    L"Cloudy",
                                    L"Off",
                                    L"On",
                                    L"Music",
                                    L"None",
                                    L"Audio CD",
                                    L"MP3 or WAV",
                                    L"Repeat track",
                                    L"Sound effects",
                                    L"...",
                                    L"About",
                                    L"Defaults",
                                    L"OK",
                                    L"Cancel"};
  for (int i = 0; i < static_cast<int>(std::size(english)); ++i)
    EXPECT_TRUE(std::wstring(Text(static_cast<TextId>(i), Language::English)) == english[i]) << i;
  EXPECT_TRUE(
      std::wstring(Text(TextId::Credit, Language::English)).starts_with(L"Varenko, version "));
  // English texts must show in a font without Japanese glyphs.
  for (int i = 0; i < static_cast<int>(TextId::Count); ++i)
    for (const wchar_t* c = Text(static_cast<TextId>(i), Language::English); *c; ++c)
      EXPECT_LT(static_cast<unsigned>(*c), 0x80u) << "text " << i;
}

// Every caption's room (its English place, which holds the Japanese one), bar, number, mark and
// control, at every scale: none overlaps another, and all lie inside their panel or the dialog.
TEST(DialogLayout, NothingOverlapsAtAnyScale) {
  std::vector<std::pair<Container, TwipRect>> parts;
  for (const LabelLayout* l : AllLabels)
    parts.push_back({l->container, LabelPlace(*l, Language::English)});
  for (int i = 0; i < BarCount; ++i) {
    parts.push_back({BarContainer(i), BarRect(i)});
    parts.push_back({BarContainer(i), BarLabelRect(i)});
  }
  for (const auto& o : {CloudOptions[0], CloudOptions[1], IlluOptions[0], IlluOptions[1]})
    parts.push_back({Container::UpperPanel, o.image});
  for (const OptionLayout& o : BgmOptions) parts.push_back({Container::LowerPanel, o.image});
  for (const TwipRect& r : {RepeatRect, FileNameRect}) parts.push_back({Container::LowerPanel, r});
  for (const ButtonLayout& b : {CmdBgm, CmdEtc, CmdInit, CmdSet, CmdCan})
    parts.push_back({b.container, b.place});

  for (int dpi : {48, 96, 120, 130, 144, 192}) {
    const DialogScale s{dpi, dpi};
    for (std::size_t a = 0; a < parts.size(); ++a) {
      const PixelRect r = PlaceControl(parts[a].first, parts[a].second, s);
      const PixelRect in =
          parts[a].first == Container::Dialog
              ? PixelRect{0, 0, TwipsToPixels(DialogClientWidth, dpi),
                          TwipsToPixels(DialogClientHeight, dpi)}
              : PanelInner(
                    parts[a].first == Container::UpperPanel ? UpperPanelRect : LowerPanelRect, s);
      EXPECT_TRUE(r.left >= in.left && r.right <= in.right && r.top >= in.top &&
                  r.bottom <= in.bottom)
          << "part " << a << " at " << dpi;
      for (std::size_t b = a + 1; b < parts.size(); ++b) {
        const PixelRect o = PlaceControl(parts[b].first, parts[b].second, s);
        EXPECT_FALSE(parts[b].first == parts[a].first && r.left < o.right && o.left < r.right &&
                     r.top < o.bottom && o.top < r.bottom)
            << "parts " << a << " and " << b << " at " << dpi;
      }
    }
  }
}

TEST(DialogScaling, ShrinksToTheWorkArea) {
  // dpi, work area, frame (6 x 29 is Wine's at 96 DPI), the DPI laid out at.
  const std::tuple<int, int, int, int, int, int> cases[] = {
      {96, 1280, 720, 6, 29, 96},         {144, 1280, 720, 6, 29, 130},
      {192, 1366, 768, 6, 29, 140},       {192, 3840, 2160, 6, 29, 192},
      {96, 300, 200, 6, 29, 32},          {96, 100, 100, 6, 29, MinDialogDpi},
      {0, 1280, 720, 6, 29, MinDialogDpi}};
  for (const auto& [dpi, w, h, fw, fh, fit] : cases)
    EXPECT_EQ(FitDialogDpi(dpi, w, h, fw, fh), fit) << dpi << " on " << w << "x" << h;
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
    EXPECT_EQ(KeyOption(view, r, group, key), (DialogChange{true, group == Music}));
    EXPECT_EQ(value, after) << static_cast<int>(group) << " from " << before;
  }
}

}  // namespace
}  // namespace varenko

// The skinned push button: its state table driven through whole gestures, the frame pieces for
// the dialog's two button sizes, the face colours and the saved properties.
#include "frontend/settings/button.h"

#include <gtest/gtest.h>

#include <tuple>

namespace varenko {
namespace {

constexpr int None = -1, Normal = 0, HighLight = 1, HighLightSelect = 2, Selected = 3, Pressed = 4,
              Disable = 5;

CommandState Started(std::int16_t enabled = -1) {
  CommandState b;
  b.Enabled = enabled;
  Initialize(b);
  return b;
}

// What a reaction asks for: the picture painted (None without a paint), the caption state, a
// black caption, a Click.
std::tuple<int, int, bool, bool> Seen(const ButtonReaction& r) {
  return {r.paint ? static_cast<int>(r.picture) : None, r.captionEnabled, r.captionBlack, r.click};
}

enum class Event { DownLeft, DownRight, Move, UpLeft, UpRight, Focus, Blur, Leave };

ButtonReaction Fire(CommandState& b, Event e) {
  using H = ButtonReaction (*)(CommandState&);
  const H handlers[] = {[](CommandState& s) { return MouseDown(s, MouseButton::Left); },
                        [](CommandState& s) { return MouseDown(s, MouseButton::Right); },
                        MouseMove,
                        [](CommandState& s) { return MouseUp(s, MouseButton::Left); },
                        [](CommandState& s) { return MouseUp(s, MouseButton::Right); },
                        GotFocus,
                        LostFocus,
                        LeaveButton};
  return handlers[static_cast<int>(e)](b);
}

// The control's event table, one row per case: the state, Enabled and the left button (1 down)
// before, the event, the state and the left button after, the picture painted and Click (1 raised).
TEST(ButtonStates, EventTable) {
  using enum Event;
  // clang-format off
  const std::tuple<int, int, int, Event, int, int, int, int> rows[] = {
      {1, -1, 0, DownLeft, 1, 1, Pressed, 0},  {2, -1, 0, DownRight, 2, 0, None, 0},
      {1, -1, 0, Move, 2, 0, HighLight, 0},
      {1, 1, 0, Move, 2, 0, HighLight, 0},     // 1 is not 0: it reacts
      {2, -1, 0, Move, 2, 0, None, 0},         {3, -1, 0, Move, 4, 0, HighLightSelect, 0},
      {3, -1, 1, Move, 3, 1, None, 0},         // held while the poll saw it leave
      {4, -1, 0, Move, 4, 0, None, 0},
      {2, -1, 1, UpLeft, 2, 0, Normal, 1},     // Normal until the cursor leaves
      {4, -1, 1, UpLeft, 4, 0, HighLightSelect, 1},
      {3, -1, 1, UpLeft, 3, 0, None, 0},       // released off the button: no Click
      {1, -1, 0, UpLeft, 1, 0, None, 1},
      {2, -1, 0, UpRight, 2, 0, None, 1},      // any button clicks
      {3, -1, 0, UpRight, 3, 0, None, 0},
      {4, 1, 1, UpLeft, 4, 0, HighLightSelect, 0},  // only -1 clicks
      {2, -1, 0, Focus, 4, 0, Pressed, 0},     {1, -1, 0, Focus, 3, 0, Selected, 0},
      {4, -1, 0, Focus, 3, 0, Selected, 0},    {4, -1, 0, Blur, 1, 0, Normal, 0},
      {3, -1, 0, Blur, 1, 0, Normal, 0},       {1, -1, 0, Blur, 1, 0, None, 0},
      {2, -1, 0, Leave, 1, 0, Normal, 0},      {4, -1, 0, Leave, 3, 0, Selected, 0},
      {3, -1, 0, Leave, 3, 0, None, 0},        {1, -1, 0, Leave, 1, 0, None, 0}};
  // clang-format on
  for (const auto& row : rows) {
    const auto& [state, enabled, leftDown, event, stateAfter, leftDownAfter, picture, click] = row;
    CommandState b{static_cast<std::int16_t>(enabled), 1, static_cast<std::uint8_t>(state),
                   leftDown != 0};
    const ButtonReaction r = Fire(b, event);
    EXPECT_EQ(std::tuple(int{b.ButtonState}, int{b.LeftDown}),
              std::tuple(stateAfter, leftDownAfter))
        << "row " << &row - rows;
    EXPECT_EQ(Seen(r), std::tuple(picture, -1, false, click != 0)) << "row " << &row - rows;
  }
  // A disabled control ignores every event.
  for (int state = 1; state <= 4; ++state)
    for (Event e : {DownLeft, Move, UpLeft, UpRight, Focus, Blur, Leave}) {
      CommandState b{0, 1, static_cast<std::uint8_t>(state)};
      const ButtonReaction r = Fire(b, e);
      EXPECT_FALSE(r.paint || r.click || b.LeftDown || b.ButtonState != state) << state;
    }
  CommandState off = Started(0);
  EXPECT_FALSE(RefreshButton(off).paint);
  EXPECT_EQ(Seen(ApplyEnabled(off)), std::tuple(Disable, 0, false, false));
}

TEST(ButtonStates, EnabledWrittenAndRead) {
  // Writing repaints but keeps the state.
  CommandState b = Started();
  MouseMove(b);
  GotFocus(b);
  ASSERT_EQ(b.ButtonState, 4);
  EXPECT_EQ(Seen(WriteEnabled(b, 0)), std::tuple(Disable, 0, false, false));
  EXPECT_EQ(Seen(WriteEnabled(b, -1)), std::tuple(Normal, 1, false, false));
  EXPECT_EQ(b.ButtonState, 4);

  // Reading completes a control never saved: enabled, with a black caption when it was enabled.
  std::int16_t value = 1;
  CommandState never{0, 0, 1};  // disabled and never saved
  EXPECT_EQ(Seen(ReadEnabled(never, value)), std::tuple(Normal, 1, false, false));
  EXPECT_EQ(std::tuple(value, never.FirstRun), std::tuple(-1, 1));
  CommandState fresh{-1, 0, 1};
  EXPECT_EQ(Seen(ReadEnabled(fresh, value)), std::tuple(Normal, 1, true, false));
  CommandState saved = Started(0);
  EXPECT_EQ(Seen(ReadEnabled(saved, value)), std::tuple(Disable, 0, false, false));
  EXPECT_EQ(std::tuple(value, saved.FirstRun), std::tuple(0, 1));
}

TEST(ButtonStates, RefreshAndFoldedReactions) {
  // A saved control keeps its caption colour.
  EXPECT_EQ(Seen(RefreshButton(Started())), std::tuple(Normal, 1, false, false));
  // Folding keeps the last picture and caption state, and any click or black caption; -1 leaves
  // the caption alone.
  ButtonReaction first = RefreshButton(Started());
  first.click = first.captionBlack = true;
  EXPECT_EQ(Seen(first.Then(ApplyEnabled(Started(0)))), std::tuple(Disable, 0, true, true));
  EXPECT_EQ(Seen(ButtonReaction{}.Then(first)), std::tuple(Normal, 1, true, true));
  EXPECT_EQ(Seen(first.Then(ButtonReaction{})), std::tuple(Normal, 1, true, true));
}

TEST(ButtonStates, FaceFlipsWhileHovered) {
  // States 0 to 4 from a plain and from a reversed face: 1 and 3 plain, 2 reversed, 0 and 4 keep.
  const bool after[5][2] = {
      {false, true}, {false, false}, {true, true}, {false, false}, {false, true}};
  for (int state = 0; state < 5; ++state)
    for (bool reversed : {false, true}) {
      CommandState b{-1, 1, static_cast<std::uint8_t>(state), false, reversed};
      ChooseFaceDirection(b);
      EXPECT_EQ(b.FaceReversed, after[state][reversed]) << state << reversed;
    }
  EXPECT_EQ(FaceColours(false), (std::pair{Rgb{255, 255, 255}, Rgb{198, 197, 215}}));
  EXPECT_EQ(FaceColours(true), (std::pair{Rgb{198, 197, 215}, Rgb{255, 255, 255}}));
  EXPECT_EQ(GradientChannel(0xC6), 0xC600);
}

// The eight pieces in painting order (top-left, top, top-right, right, bottom-right, bottom,
// bottom-left, left) for the dialog's row of buttons and for `Cmd_BGM`: edges stretched along
// their length, corners at their own size.
TEST(ButtonFrame, PiecesOfBothButtonSizes) {
  const TwipRect source[8] = {{0, 0, 60, 60},     {60, 0, 840, 60},   {900, 0, 60, 60},
                              {900, 60, 60, 255}, {900, 315, 60, 60}, {60, 315, 840, 60},
                              {0, 315, 60, 60},   {0, 60, 60, 255}};
  const TwipRect row[8] = {{0, 0, 60, 60},      {60, 0, 1215, 60},   {1275, 0, 60, 60},
                           {1275, 60, 60, 255}, {1275, 315, 60, 60}, {60, 315, 1215, 60},
                           {0, 315, 60, 60},    {0, 60, 60, 255}};
  const TwipRect file[8] = {{0, 0, 60, 60},     {60, 0, 315, 60},   {375, 0, 60, 60},
                            {375, 60, 60, 195}, {375, 255, 60, 60}, {60, 255, 315, 60},
                            {0, 255, 60, 60},   {0, 60, 60, 195}};
  const std::tuple<int, int, const TwipRect*> sizes[] = {{1335, 375, row}, {435, 315, file}};
  for (const auto& [width, height, target] : sizes) {
    const auto pieces = BorderPieces(width, height);
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(pieces[i].source, source[i]) << "piece " << i;
      EXPECT_EQ(pieces[i].target, target[i]) << width << " wide, piece " << i;
    }
  }
  // The caption sits 10 twips above the middle.
  EXPECT_EQ(std::pair(CaptionTop(375, 195), CaptionTop(315, 195)), std::pair(80, 50));
}

// Defaults are not stored and come back; the others are written in their order and read back.
TEST(ButtonProperties, DefaultsAndARoundTrip) {
  EXPECT_TRUE(WriteProperties(CommandProperties{}).empty());
  EXPECT_TRUE(CommandState{}.Enabled == -1 && CommandState{}.ButtonState == 0) << "a new control";
  const CommandProperties a = ReadProperties({});
  EXPECT_EQ(std::tie(a.Enabled, a.Caption, a.FirstRun, a.Font, a.FontColour, a.Visible),
            std::tuple(-1, L"Command", 1, L"", 0u, true));

  const CommandProperties p{0, L"設定", 0, L"Tahoma,8.25", 0xFF, false};
  const PropertyBag bag = WriteProperties(p);
  EXPECT_TRUE(bag == (PropertyBag{{"Enabled", L"0"},
                                  {"Caption", L"設定"},
                                  {"FirstRun", L"0"},
                                  {"Font", L"Tahoma,8.25"},
                                  {"FontColour", L"255"},
                                  {"Visible", L"0"}}));
  const CommandProperties b = ReadProperties(bag);
  EXPECT_TRUE(std::tie(b.Enabled, b.Caption, b.FirstRun, b.Font, b.FontColour, b.Visible) ==
              std::tie(p.Enabled, p.Caption, p.FirstRun, p.Font, p.FontColour, p.Visible));
}

// One saved value at a time: what its field reads, the default when the text cannot be read.
TEST(ButtonProperties, ReadingEachValue) {
  // The name, the text and the field it reads: Enabled, FirstRun, FontColour, or Visible as 0 / 1.
  const std::tuple<const char*, std::wstring, long long> cases[] = {
      {"Enabled", L"-32768", -32768}, {"Enabled", L"32767", 32767},
      {"Enabled", L"+15", 15},        {"Enabled", L"32768", -1},
      {"Enabled", L"-", -1},          {"Enabled", L"", -1},
      {"Enabled", L"1a", -1},         {"Enabled", std::wstring(500, L'9'), -1},
      {"FirstRun", L"0", 0},          {"FirstRun", L"255", 255},
      {"FirstRun", L"256", 1},        {"FontColour", L"4294967295", 4294967295LL},
      {"FontColour", L"-1", 0},       {"FontColour", L"4294967296", 0},
      {"Visible", L"0", 0},           {"Visible", L"1", 1},
      {"Visible", L"2", 1},           {"Visible", L"yes", 1},
  };
  for (const auto& [name, text, field] : cases) {
    const CommandProperties p = ReadProperties({{name, text}});
    const long long fields[] = {p.Enabled, p.FirstRun, p.FontColour, p.Visible};
    const std::string n = name;
    EXPECT_EQ(fields[n == "Enabled"      ? 0
                     : n == "FirstRun"   ? 1
                     : n == "FontColour" ? 2
                                         : 3],
              field)
        << name << " " << text.size() << " characters";
  }
  EXPECT_EQ(ReadProperties({{"Enabled", L"99999"}, {"Enabled", L"0"}}).Enabled, -1)
      << "the first of duplicate names counts, and it does not fit";
  EXPECT_TRUE(ReadProperties({{"Font", L"Tahoma"}}).Font.empty());
}

TEST(ButtonProperties, FontSpecs) {
  const std::wstring longPoints = L"Tahoma," + std::wstring(400, L'9');
  // The text, the face (null: not a "face,points" pair) and the points.
  // clang-format off
  const std::tuple<const wchar_t*, const wchar_t*, double> cases[] = {
      {L"ＭＳ Ｐゴシック,9.75", L"ＭＳ Ｐゴシック", 9.75},
      {L"A,B,8.25", L"A,B", 8.25}, {L"Tahoma,72", L"Tahoma", 72}, {L"Tahoma,1", L"Tahoma", 1},
      {L"Tahoma,10", L"Tahoma", 10}, {L",9", nullptr, 0}, {L"Tahoma,", nullptr, 0},
      {L"Tahoma", nullptr, 0}, {L"Tahoma,0.5", nullptr, 0}, {L"Tahoma,72.5", nullptr, 0},
      {L"Tahoma,9.7.5", nullptr, 0}, {L"Tahoma,1e9", nullptr, 0}, {longPoints.c_str(), nullptr, 0}};
  // clang-format on
  for (const auto& [text, wantFace, wantPoints] : cases) {
    std::wstring face = L"old";
    double points = -1;
    const bool ok = ParseFontSpec(text, face, points);
    EXPECT_EQ(ok, wantFace != nullptr) << std::wstring(text).size() << " characters";
    // A text that is no pair leaves both outputs as they were.
    EXPECT_TRUE(face == (ok ? wantFace : L"old"));
    EXPECT_DOUBLE_EQ(points, ok ? wantPoints : -1);
  }
}

}  // namespace
}  // namespace varenko

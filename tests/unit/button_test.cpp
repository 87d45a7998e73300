// The skinned push button: its state table driven through whole gestures, the frame pieces for
// the dialog's two button sizes, the face colours and the saved properties.
#include "frontend/settings/button.h"

#include <gtest/gtest.h>

#include <tuple>

namespace varenko {
namespace {

CommandState Started(std::int16_t enabled = -1) {
  CommandState b;
  b.Enabled = enabled;
  Initialize(b);
  return b;
}

void ExpectPaint(const ButtonReaction& r, ButtonPicture picture) {
  EXPECT_TRUE(r.paint);
  EXPECT_EQ(r.picture, picture);
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

// The control's event table, one row per case: the state before, the event, the state after,
// the picture painted (none: -1) and whether Click is raised.
TEST(ButtonStates, EventTable) {
  using E = Event;
  constexpr int None = -1, Normal = 0, HighLight = 1, HighLightSelect = 2, Selected = 3,
                Pressed = 4;
  struct Row {
    int state, enabled;
    bool leftDown;
    Event event;
    int stateAfter;
    bool leftDownAfter;
    int picture;
    bool click;
  };
  const Row rows[] = {
      {1, -1, false, E::DownLeft, 1, true, Pressed, false},
      {2, -1, false, E::DownRight, 2, false, None, false},
      {1, -1, false, E::Move, 2, false, HighLight, false},
      {1, 1, false, E::Move, 2, false, HighLight, false},  // 1 is not 0: it reacts
      {2, -1, false, E::Move, 2, false, None, false},
      {3, -1, false, E::Move, 4, false, HighLightSelect, false},
      {3, -1, true, E::Move, 3, true, None, false},  // held while the poll saw it leave
      {4, -1, false, E::Move, 4, false, None, false},
      {2, -1, true, E::UpLeft, 2, false, Normal, true},  // Normal until the cursor leaves
      {4, -1, true, E::UpLeft, 4, false, HighLightSelect, true},
      {3, -1, true, E::UpLeft, 3, false, None, false},  // released off the button: no Click
      {1, -1, false, E::UpLeft, 1, false, None, true},
      {2, -1, false, E::UpRight, 2, false, None, true},  // any button clicks
      {3, -1, false, E::UpRight, 3, false, None, false},
      {4, 1, true, E::UpLeft, 4, false, HighLightSelect, false},  // only -1 clicks
      {2, -1, false, E::Focus, 4, false, Pressed, false},
      {1, -1, false, E::Focus, 3, false, Selected, false},
      {4, -1, false, E::Focus, 3, false, Selected, false},
      {4, -1, false, E::Blur, 1, false, Normal, false},
      {3, -1, false, E::Blur, 1, false, Normal, false},
      {1, -1, false, E::Blur, 1, false, None, false},
      {2, -1, false, E::Leave, 1, false, Normal, false},
      {4, -1, false, E::Leave, 3, false, Selected, false},
      {3, -1, false, E::Leave, 3, false, None, false},
      {1, -1, false, E::Leave, 1, false, None, false},
  };
  for (const Row& row : rows) {
    CommandState b;
    b.ButtonState = static_cast<std::uint8_t>(row.state);
    b.Enabled = static_cast<std::int16_t>(row.enabled);
    b.LeftDown = row.leftDown;
    const ButtonReaction r = Fire(b, row.event);
    const int at = static_cast<int>(&row - rows);
    EXPECT_EQ(b.ButtonState, row.stateAfter) << "row " << at;
    EXPECT_EQ(b.LeftDown, row.leftDownAfter) << "row " << at;
    EXPECT_EQ(r.paint ? static_cast<int>(r.picture) : None, row.picture) << "row " << at;
    EXPECT_EQ(r.click, row.click) << "row " << at;
  }
  // A disabled control ignores every event.
  for (int state = 1; state <= 4; ++state)
    for (E e : {E::DownLeft, E::Move, E::UpLeft, E::UpRight, E::Focus, E::Blur, E::Leave}) {
      CommandState b;
      b.ButtonState = static_cast<std::uint8_t>(state);
      b.Enabled = 0;
      const ButtonReaction r = Fire(b, e);
      EXPECT_FALSE(r.paint || r.click || b.LeftDown || b.ButtonState != state) << state;
    }
  CommandState off = Started(0);
  EXPECT_FALSE(RefreshButton(off).paint);
  const ButtonReaction look = ApplyEnabled(off);
  ExpectPaint(look, ButtonPicture::Disable);
  EXPECT_EQ(look.captionEnabled, 0);
}

TEST(ButtonStates, WritingEnabledRepaintsButKeepsTheState) {
  CommandState b = Started();
  MouseMove(b);
  GotFocus(b);
  ASSERT_EQ(b.ButtonState, 4);
  ExpectPaint(WriteEnabled(b, 0), ButtonPicture::Disable);
  EXPECT_EQ(b.ButtonState, 4);
  const ButtonReaction back = WriteEnabled(b, -1);
  ExpectPaint(back, ButtonPicture::Normal);
  EXPECT_EQ(back.captionEnabled, 1);
  EXPECT_EQ(b.ButtonState, 4);
}

TEST(ButtonStates, ReadingEnabledCompletesAControlNeverSaved) {
  CommandState b = Started(0);
  b.FirstRun = 0;
  std::int16_t value = 1;
  const ButtonReaction r = ReadEnabled(b, value);
  EXPECT_EQ(value, -1);
  EXPECT_EQ(b.FirstRun, 1);
  ExpectPaint(r, ButtonPicture::Normal);
  EXPECT_EQ(r.captionEnabled, 1);
  CommandState fresh = Started();
  fresh.FirstRun = 0;
  EXPECT_TRUE(ReadEnabled(fresh, value).captionBlack) << "an enabled one gets a black caption";

  CommandState saved = Started(0);
  const ButtonReaction kept = ReadEnabled(saved, value);
  EXPECT_FALSE(kept.captionBlack);
  EXPECT_EQ(kept.captionEnabled, 0);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(saved.FirstRun, 1);
}

TEST(ButtonStates, RefreshAndFoldedReactions) {
  const ButtonReaction refresh = RefreshButton(Started());
  ExpectPaint(refresh, ButtonPicture::Normal);
  EXPECT_EQ(refresh.captionEnabled, 1);
  EXPECT_FALSE(refresh.captionBlack) << "a saved control keeps its caption colour";
  // Folding keeps the last picture and caption state, and any click or black caption.
  ButtonReaction first = RefreshButton(Started());
  first.click = first.captionBlack = true;
  const ButtonReaction folded = first.Then(ApplyEnabled(Started(0)));
  ExpectPaint(folded, ButtonPicture::Disable);
  EXPECT_EQ(folded.captionEnabled, 0);
  EXPECT_TRUE(folded.click && folded.captionBlack);
  const ButtonReaction later = ButtonReaction{}.Then(first);
  EXPECT_TRUE(later.click && later.captionBlack && later.paint);
  EXPECT_EQ(first.Then(ButtonReaction{}).captionEnabled, 1) << "-1 leaves the caption alone";
}

TEST(ButtonStates, FaceFlipsWhileHovered) {
  // States 0 to 4 from a plain and from a reversed face: 1 and 3 plain, 2 reversed, 0 and 4 keep.
  const bool after[5][2] = {
      {false, true}, {false, false}, {true, true}, {false, false}, {false, true}};
  for (int state = 0; state < 5; ++state)
    for (bool reversed : {false, true}) {
      CommandState b;
      b.ButtonState = static_cast<std::uint8_t>(state);
      b.FaceReversed = reversed;
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
  EXPECT_EQ(CaptionTop(375, 195), 80);
  EXPECT_EQ(CaptionTop(315, 195), 50);
}

TEST(ButtonProperties, DefaultsAreNotStoredAndComeBack) {
  EXPECT_TRUE(WriteProperties(CommandProperties{}).empty());
  EXPECT_TRUE(CommandState{}.Enabled == -1 && CommandState{}.ButtonState == 0) << "a new control";
  const CommandProperties absent = ReadProperties({});
  EXPECT_EQ(absent.Caption, L"Command");
  EXPECT_EQ(absent.Enabled, -1);
  EXPECT_EQ(absent.FirstRun, 1);
  EXPECT_TRUE(absent.Font.empty());
  EXPECT_EQ(absent.FontColour, 0u);
  EXPECT_TRUE(absent.Visible);
}

TEST(ButtonProperties, RoundTripInTheirOrder) {
  const CommandProperties p{0, L"設定", 0, L"Tahoma,8.25", 0xFF, false};
  const PropertyBag bag = WriteProperties(p);
  EXPECT_TRUE(bag == (PropertyBag{{"Enabled", L"0"},
                                  {"Caption", L"設定"},
                                  {"FirstRun", L"0"},
                                  {"Font", L"Tahoma,8.25"},
                                  {"FontColour", L"255"},
                                  {"Visible", L"0"}}));
  const CommandProperties back = ReadProperties(bag);
  EXPECT_TRUE(back.Enabled == 0 && back.Caption == p.Caption && back.FirstRun == 0 &&
              back.Font == p.Font && back.FontColour == 0xFFu && !back.Visible);
}

// One saved value at a time: what its field reads, the default when the text cannot be read.
TEST(ButtonProperties, ReadingEachValue) {
  struct Case {
    const char* name;
    std::wstring text;
    long long field;  // Enabled, FirstRun, FontColour, or Visible as 0 / 1
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    const CommandProperties p = ReadProperties({{c.name, c.text}});
    const std::string name = c.name;
    const long long fields[] = {p.Enabled, p.FirstRun, p.FontColour, p.Visible};
    const long long field = fields[name == "Enabled"      ? 0
                                   : name == "FirstRun"   ? 1
                                   : name == "FontColour" ? 2
                                                          : 3];
    EXPECT_EQ(field, c.field) << c.name << " " << c.text.size() << " characters";
  }
  EXPECT_EQ(ReadProperties({{"Enabled", L"99999"}, {"Enabled", L"0"}}).Enabled, -1)
      << "the first of duplicate names counts, and it does not fit";
  EXPECT_TRUE(ReadProperties({{"Font", L"Tahoma"}}).Font.empty());
}

TEST(ButtonProperties, FontSpecs) {
  const std::wstring longPoints = L"Tahoma," + std::wstring(400, L'9');
  struct Case {
    const wchar_t* text;
    const wchar_t* face;  // null: not a "face,points" pair
    double points;
  };
  // clang-format off
  const Case cases[] = {
      {L"ＭＳ Ｐゴシック,9.75", L"ＭＳ Ｐゴシック", 9.75},
      {L"A,B,8.25", L"A,B", 8.25}, {L"Tahoma,72", L"Tahoma", 72}, {L"Tahoma,1", L"Tahoma", 1},
      {L"Tahoma,10", L"Tahoma", 10}, {L",9", nullptr, 0}, {L"Tahoma,", nullptr, 0},
      {L"Tahoma", nullptr, 0}, {L"Tahoma,0.5", nullptr, 0}, {L"Tahoma,72.5", nullptr, 0},
      {L"Tahoma,9.7.5", nullptr, 0}, {L"Tahoma,1e9", nullptr, 0}, {longPoints.c_str(), nullptr, 0}};
  // clang-format on
  for (const Case& c : cases) {
    std::wstring face = L"old";
    double points = -1;
    const bool ok = ParseFontSpec(c.text, face, points);
    EXPECT_EQ(ok, c.face != nullptr) << std::wstring(c.text).size() << " characters";
    // A text that is no pair leaves both outputs as they were.
    EXPECT_TRUE(face == (ok ? c.face : L"old"));
    EXPECT_DOUBLE_EQ(points, ok ? c.points : -1);
  }
}

}  // namespace
}  // namespace varenko

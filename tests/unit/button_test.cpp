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

TEST(ButtonStates, ClickWithTheCursorHeldStill) {
  CommandState b = Started();
  ExpectPaint(MouseMove(b), ButtonPicture::HighLight);
  EXPECT_EQ(b.ButtonState, 2);
  ExpectPaint(MouseDown(b, MouseButton::Left), ButtonPicture::Pressed);
  EXPECT_EQ(b.ButtonState, 2);
  ExpectPaint(GotFocus(b), ButtonPicture::Pressed);
  EXPECT_EQ(b.ButtonState, 4);
  EXPECT_FALSE(MouseMove(b).paint) << "a held button keeps its look while the cursor moves";
  const ButtonReaction up = MouseUp(b, MouseButton::Left);
  ExpectPaint(up, ButtonPicture::HighLightSelect);
  EXPECT_TRUE(up.click);
  EXPECT_FALSE(b.LeftDown);
  // The poll then sees the cursor leave: focused look, once.
  ExpectPaint(LeaveButton(b), ButtonPicture::Selected);
  EXPECT_EQ(b.ButtonState, 3);
  EXPECT_FALSE(LeaveButton(b).paint);
}

TEST(ButtonStates, ReleaseAfterThePollSawTheCursorLeaveDoesNotClick) {
  CommandState b = Started();
  MouseMove(b);
  MouseDown(b, MouseButton::Left);
  GotFocus(b);
  ExpectPaint(LeaveButton(b), ButtonPicture::Selected);
  EXPECT_FALSE(MouseMove(b).paint) << "state 3 with the button held does not light up";
  const ButtonReaction up = MouseUp(b, MouseButton::Left);
  EXPECT_FALSE(up.click);
  EXPECT_FALSE(up.paint);
  EXPECT_EQ(b.ButtonState, 3);

  // Released before the poll ran: still a click.
  CommandState quick = Started();
  MouseMove(quick);
  MouseDown(quick, MouseButton::Left);
  GotFocus(quick);
  EXPECT_TRUE(MouseUp(quick, MouseButton::Left).click);
}

TEST(ButtonStates, HoverWithoutFocusAndOtherButtons) {
  CommandState b = Started();
  MouseMove(b);
  EXPECT_FALSE(MouseDown(b, MouseButton::Right).paint);
  EXPECT_FALSE(b.LeftDown);
  // The right button raises Click too, and leaves the picture alone.
  const ButtonReaction right = MouseUp(b, MouseButton::Right);
  EXPECT_TRUE(right.click);
  EXPECT_FALSE(right.paint);
  // A left release in state 2 repaints Normal while the state stays 2 until the cursor leaves.
  ExpectPaint(MouseUp(b, MouseButton::Left), ButtonPicture::Normal);
  EXPECT_EQ(b.ButtonState, 2);
  ExpectPaint(LeaveButton(b), ButtonPicture::Normal);
  EXPECT_EQ(b.ButtonState, 1);
}

TEST(ButtonStates, FocusRows) {
  CommandState b = Started();
  ExpectPaint(GotFocus(b), ButtonPicture::Selected);
  EXPECT_EQ(b.ButtonState, 3);
  ExpectPaint(MouseMove(b), ButtonPicture::HighLightSelect);
  EXPECT_EQ(b.ButtonState, 4);
  ExpectPaint(LostFocus(b), ButtonPicture::Normal);
  EXPECT_EQ(b.ButtonState, 1);
  EXPECT_FALSE(LostFocus(b).paint) << "state 1 losing the focus again repaints nothing";
}

TEST(ButtonStates, EnabledOneReactsButNeverClicks) {
  CommandState b = Started(1);
  ExpectPaint(MouseMove(b), ButtonPicture::HighLight);
  ExpectPaint(MouseDown(b, MouseButton::Left), ButtonPicture::Pressed);
  ExpectPaint(GotFocus(b), ButtonPicture::Pressed);
  const ButtonReaction up = MouseUp(b, MouseButton::Left);
  ExpectPaint(up, ButtonPicture::HighLightSelect);
  EXPECT_FALSE(up.click);
  EXPECT_FALSE(MouseUp(b, MouseButton::Right).click);
  ExpectPaint(ApplyEnabled(b), ButtonPicture::Normal);
}

TEST(ButtonStates, DisabledIgnoresEverything) {
  CommandState b = Started(0);
  const CommandState before = b;
  for (const ButtonReaction& r :
       {MouseMove(b), MouseDown(b, MouseButton::Left), GotFocus(b), MouseUp(b, MouseButton::Left),
        MouseUp(b, MouseButton::Right), LostFocus(b), LeaveButton(b), RefreshButton(b)}) {
    EXPECT_FALSE(r.paint);
    EXPECT_FALSE(r.click);
  }
  EXPECT_EQ(b.ButtonState, before.ButtonState);
  EXPECT_FALSE(b.LeftDown);
  const ButtonReaction look = ApplyEnabled(b);
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
  EXPECT_FALSE(ReadEnabled(saved, value).captionBlack);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(saved.FirstRun, 1);
}

TEST(ButtonStates, FaceFlipsWhileHovered) {
  CommandState b = Started();
  ChooseFaceDirection(b);
  EXPECT_FALSE(b.FaceReversed);
  MouseMove(b);
  ChooseFaceDirection(b);
  EXPECT_TRUE(b.FaceReversed);
  GotFocus(b);  // state 4 keeps whatever the face was
  ChooseFaceDirection(b);
  EXPECT_TRUE(b.FaceReversed);
  LeaveButton(b);  // state 3
  ChooseFaceDirection(b);
  EXPECT_FALSE(b.FaceReversed);

  const auto [top, bottom] = FaceColours(false);
  EXPECT_EQ(top, (Rgb{255, 255, 255}));
  EXPECT_EQ(bottom, (Rgb{198, 197, 215}));
  const auto [rtop, rbottom] = FaceColours(true);
  EXPECT_EQ(rtop, bottom);
  EXPECT_EQ(rbottom, top);
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
  const CommandProperties absent = ReadProperties({});
  EXPECT_EQ(absent.Caption, L"Command");
  EXPECT_EQ(absent.Enabled, -1);
  EXPECT_EQ(absent.FirstRun, 1);
  EXPECT_TRUE(absent.Font.empty());
  EXPECT_EQ(absent.FontColour, 0u);
  EXPECT_TRUE(absent.Visible);
}

TEST(ButtonProperties, RoundTripInTheirOrder) {
  CommandProperties p;
  p.Enabled = 0;
  p.Caption = L"設定";
  p.FirstRun = 0;
  p.Font = L"Tahoma,8.25";
  p.FontColour = 0xFF;
  p.Visible = false;
  const PropertyBag bag = WriteProperties(p);
  ASSERT_EQ(bag.size(), 6u);
  const char* order[] = {"Enabled", "Caption", "FirstRun", "Font", "FontColour", "Visible"};
  for (std::size_t i = 0; i < bag.size(); ++i) EXPECT_EQ(bag[i].first, order[i]);
  const CommandProperties back = ReadProperties(bag);
  EXPECT_EQ(back.Enabled, 0);
  EXPECT_EQ(back.Caption, L"設定");
  EXPECT_EQ(back.FirstRun, 0);
  EXPECT_EQ(back.Font, L"Tahoma,8.25");
  EXPECT_EQ(back.FontColour, 0xFFu);
  EXPECT_FALSE(back.Visible);
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
  struct Case {
    std::wstring text;
    const wchar_t* face;  // null: not a "face,points" pair
    double points;
  };
  const Case cases[] = {
      {L"ＭＳ Ｐゴシック,9.75", L"ＭＳ Ｐゴシック", 9.75},
      {L"A,B,8.25", L"A,B", 8.25},
      {L"Tahoma,72", L"Tahoma", 72},
      {L"Tahoma,1", L"Tahoma", 1},
      {L"Tahoma,10", L"Tahoma", 10},
      {L",9", nullptr, 0},
      {L"Tahoma,", nullptr, 0},
      {L"Tahoma", nullptr, 0},
      {L"Tahoma,0.5", nullptr, 0},
      {L"Tahoma,72.5", nullptr, 0},
      {L"Tahoma,9.7.5", nullptr, 0},
      {L"Tahoma,1e9", nullptr, 0},
      {L"Tahoma," + std::wstring(400, L'9'), nullptr, 0},
  };
  for (const Case& c : cases) {
    std::wstring face = L"old";
    double points = -1;
    const bool ok = ParseFontSpec(c.text, face, points);
    EXPECT_EQ(ok, c.face != nullptr) << c.text.size() << " characters";
    // A text that is no pair leaves both outputs as they were.
    EXPECT_TRUE(face == (ok ? c.face : L"old"));
    EXPECT_DOUBLE_EQ(points, ok ? c.points : -1);
  }
}

}  // namespace
}  // namespace varenko

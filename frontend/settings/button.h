// The skinned push button `Command` (Tamsel.Command): its state table, the frame pieces it copies
// from a state picture, its face colours and its saved properties. Pure logic; button_win32.cpp
// draws it and feeds it the window's events.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace varenko {

// ----------------------------------------------------------------------------------------------
// Types
// ----------------------------------------------------------------------------------------------

// The six state pictures, 64 x 25 pixels each, of which only a 4-pixel frame is ever copied.
enum class ButtonPicture : std::uint8_t {
  Normal,
  HighLight,
  HighLightSelect,
  Selected,
  Pressed,
  Disable
};
inline constexpr int ButtonPictureCount = 6;
inline constexpr int ButtonPictureWidth = 64;
inline constexpr int ButtonPictureHeight = 25;

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// One control's state. Valid as declared: a freshly created button before `Initialize`.
struct CommandState {
  std::int16_t Enabled = -1;     // -1 true, 0 false; any other nonzero reacts but never clicks
  std::uint8_t FirstRun = 1;     // 0 until the first read of Enabled on a control never saved
  std::uint8_t ButtonState = 0;  // 0 uninitialised, 1 idle, 2 hovered, 3 focused, 4 both
  bool LeftDown = false;         // left button went down on the control and is not yet up
  bool FaceReversed = false;     // gradient runs lavender-grey to white while hovered
};

// What the window layer must do after an event. Several steps of one event fold into one
// reaction: only the last picture painted stays visible, so only that one is kept.
struct ButtonReaction {
  bool paint = false;  // run PaintState with `picture`
  ButtonPicture picture = ButtonPicture::Normal;
  std::int8_t captionEnabled = -1;  // -1 leave the caption as it is, 0 grey it, 1 normal
  bool captionBlack = false;        // set the caption colour to black
  bool click = false;               // raise Click

  // This reaction followed by `next`.
  ButtonReaction Then(const ButtonReaction& next) const;
};

// A rectangle in twips (15 to a pixel at 96 DPI).
struct TwipRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// One of the eight frame pieces: where it lies in the picture and where it goes on the control.
struct BorderPiece {
  TwipRect source;
  TwipRect target;
};

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The saved properties of one control, as stored with the dialog's layout.
struct CommandProperties {
  std::int16_t Enabled = -1;
  std::wstring Caption = L"Command";
  std::uint8_t FirstRun = 1;
  std::wstring Font;  // "face,points" (for example "Tahoma,8.25"); empty = the container's font
  std::uint32_t FontColour = 0;  // 0x00BBGGRR; 0 is black
  bool Visible = true;           // opaque background; false leaves only the caption visible
};

// Saved properties by name, in the order they were stored.
using PropertyBag = std::vector<std::pair<std::string, std::wstring>>;

// ----------------------------------------------------------------------------------------------
// Functions
// ----------------------------------------------------------------------------------------------

// Starts the control: state 1. The window layer also starts the 100 ms cursor poll.
void Initialize(CommandState& button);

// Repaints with Normal or Disable and enables or greys the caption; the state is kept.
ButtonReaction ApplyEnabled(const CommandState& button);
// Nothing while disabled; otherwise normal caption (black on a control never saved) and Normal.
ButtonReaction RefreshButton(const CommandState& button);
// The Enabled property: writing stores the value and applies it; reading first completes the
// set-up of a control that was never saved, then applies the value it returns.
ButtonReaction WriteEnabled(CommandState& button, std::int16_t value);
ButtonReaction ReadEnabled(CommandState& button, std::int16_t& value);

// The mouse, focus and timer rows of the control's event table.
ButtonReaction MouseDown(CommandState& button, MouseButton which);
ButtonReaction MouseMove(CommandState& button);
ButtonReaction MouseUp(CommandState& button, MouseButton which);
ButtonReaction GotFocus(CommandState& button);
ButtonReaction LostFocus(CommandState& button);
// The cursor poll found the cursor outside the control.
ButtonReaction LeaveButton(CommandState& button);

// First step of PaintState: the face direction follows the state (1 and 3 plain, 2 reversed).
void ChooseFaceDirection(CommandState& button);

// The eight frame pieces for a control of width x height twips, in painting order: top-left,
// top, top-right, right, bottom-right, bottom, bottom-left, left.
std::array<BorderPiece, 8> BorderPieces(int width, int height);

// Top and bottom colours of the face gradient.
std::pair<Rgb, Rgb> FaceColours(bool reversed);
// A colour channel as GradientFill takes it: the 8-bit value in the high byte.
constexpr std::uint16_t GradientChannel(std::uint8_t value) {
  return static_cast<std::uint16_t>(value << 8);
}

// Top of the caption label in twips: centred across and 10 twips above the vertical middle.
int CaptionTop(int controlHeight, int captionHeight);

// Saved properties: writing leaves out values equal to their defaults and keeps the order
// Enabled, Caption, FirstRun, Font, FontColour, Visible; reading takes any bag, however odd,
// and falls back to the default for each property that is absent or unreadable.
PropertyBag WriteProperties(const CommandProperties& properties);
CommandProperties ReadProperties(const PropertyBag& bag);

// Splits a saved font "face,points" (points as a decimal number, 1 to 72) into its parts.
// False when the text is not such a pair.
bool ParseFontSpec(const std::wstring& text, std::wstring& face, double& points);

}  // namespace varenko

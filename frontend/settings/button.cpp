// The skinned push button's state table, frame pieces, face colours and saved properties.
#include "frontend/settings/button.h"

#include <optional>

namespace varenko {

// ----------------------------------------------------------------------------------------------
// Internal functions
// ----------------------------------------------------------------------------------------------

namespace {

ButtonReaction Paint(ButtonPicture picture) {
  ButtonReaction r;
  r.paint = true;
  r.picture = picture;
  return r;
}

// A whole decimal number with an optional sign and nothing else, within [low, high].
std::optional<long long> ParseWhole(const std::wstring& text, long long low, long long high) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  if (i == text.size()) return std::nullopt;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
    value = value * 10 + (text[i] - L'0');
    // Stop long before the accumulator could overflow; anything this long is out of range.
    if (value > 1'000'000'000'000LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < low || value > high) return std::nullopt;
  return value;
}

const std::wstring* Find(const PropertyBag& bag, const char* name) {
  for (const auto& [key, value] : bag)
    if (key == name) return &value;
  return nullptr;
}

}  // namespace

// ----------------------------------------------------------------------------------------------
// Functions
// ----------------------------------------------------------------------------------------------

ButtonReaction ButtonReaction::Then(const ButtonReaction& next) const {
  ButtonReaction r = *this;
  if (next.paint) {
    r.paint = true;
    r.picture = next.picture;
  }
  if (next.captionEnabled >= 0) r.captionEnabled = next.captionEnabled;
  r.captionBlack = r.captionBlack || next.captionBlack;
  r.click = r.click || next.click;
  return r;
}

void Initialize(CommandState& button) { button.ButtonState = 1; }

ButtonReaction ApplyEnabled(const CommandState& button) {
  ButtonReaction r = Paint(button.Enabled != 0 ? ButtonPicture::Normal : ButtonPicture::Disable);
  r.captionEnabled = button.Enabled != 0 ? 1 : 0;
  return r;
}

ButtonReaction RefreshButton(const CommandState& button) {
  if (button.Enabled == 0) return {};
  ButtonReaction r = Paint(ButtonPicture::Normal);
  r.captionEnabled = 1;
  r.captionBlack = button.FirstRun == 0;
  return r;
}

ButtonReaction WriteEnabled(CommandState& button, std::int16_t value) {
  button.Enabled = value;
  return ApplyEnabled(button);
}

ButtonReaction ReadEnabled(CommandState& button, std::int16_t& value) {
  ButtonReaction r;
  if (button.FirstRun == 0) {
    r = RefreshButton(button);
    button.FirstRun = 1;
    button.Enabled = -1;
  }
  value = button.Enabled;
  return r.Then(ApplyEnabled(button));
}

ButtonReaction MouseDown(CommandState& button, MouseButton which) {
  if (button.Enabled == 0 || which != MouseButton::Left) return {};
  button.LeftDown = true;
  return Paint(ButtonPicture::Pressed);
}

ButtonReaction MouseMove(CommandState& button) {
  if (button.Enabled == 0) return {};
  if (button.ButtonState == 1) {
    button.ButtonState = 2;
    return Paint(ButtonPicture::HighLight);
  }
  if (button.ButtonState == 3 && !button.LeftDown) {
    button.ButtonState = 4;
    return Paint(ButtonPicture::HighLightSelect);
  }
  return {};
}

ButtonReaction MouseUp(CommandState& button, MouseButton which) {
  if (button.Enabled == 0) return {};
  ButtonReaction r;
  if (which == MouseButton::Left) {
    button.LeftDown = false;
    // State 2 keeps showing Normal until the cursor leaves: the hover look returns only with
    // the next entry.
    if (button.ButtonState == 2) r = Paint(ButtonPicture::Normal);
    if (button.ButtonState == 4) r = Paint(ButtonPicture::HighLightSelect);
  }
  // State 3 means the poll saw the cursor leave while the button was held: no click.
  r.click = button.ButtonState != 3 && button.Enabled == -1;
  return r;
}

ButtonReaction GotFocus(CommandState& button) {
  if (button.Enabled == 0) return {};
  if (button.ButtonState == 2) {
    button.ButtonState = 4;
    return Paint(ButtonPicture::Pressed);
  }
  button.ButtonState = 3;
  return Paint(ButtonPicture::Selected);
}

ButtonReaction LostFocus(CommandState& button) {
  if (button.Enabled == 0 || button.ButtonState == 1) return {};
  button.ButtonState = 1;
  return Paint(ButtonPicture::Normal);
}

ButtonReaction LeaveButton(CommandState& button) {
  if (button.Enabled == 0) return {};
  if (button.ButtonState == 2) {
    button.ButtonState = 1;
    return Paint(ButtonPicture::Normal);
  }
  if (button.ButtonState == 4) {
    button.ButtonState = 3;
    return Paint(ButtonPicture::Selected);
  }
  return {};
}

void ChooseFaceDirection(CommandState& button) {
  if (button.ButtonState == 1 || button.ButtonState == 3) button.FaceReversed = false;
  if (button.ButtonState == 2) button.FaceReversed = true;
}

std::array<BorderPiece, 8> BorderPieces(int w, int h) {
  // The picture is 960 x 375 twips; its frame is 60 twips (4 pixels) wide. Corners keep their
  // size, edges stretch along their length.
  return {{
      {{0, 0, 60, 60}, {0, 0, 60, 60}},
      {{60, 0, 840, 60}, {60, 0, w - 120, 60}},
      {{900, 0, 60, 60}, {w - 60, 0, 60, 60}},
      {{900, 60, 60, 255}, {w - 60, 60, 60, h - 120}},
      {{900, 315, 60, 60}, {w - 60, h - 60, 60, 60}},
      {{60, 315, 840, 60}, {60, h - 60, w - 120, 60}},
      {{0, 315, 60, 60}, {0, h - 60, 60, 60}},
      {{0, 60, 60, 255}, {0, 60, 60, h - 120}},
  }};
}

std::pair<Rgb, Rgb> FaceColours(bool reversed) {
  const Rgb white{255, 255, 255};
  const Rgb lavender{198, 197, 215};
  return reversed ? std::pair{lavender, white} : std::pair{white, lavender};
}

int CaptionTop(int controlHeight, int captionHeight) {
  return (controlHeight - captionHeight - 20) / 2;
}

PropertyBag WriteProperties(const CommandProperties& p) {
  const CommandProperties defaults;
  PropertyBag bag;
  if (p.Enabled != defaults.Enabled) bag.emplace_back("Enabled", std::to_wstring(p.Enabled));
  if (p.Caption != defaults.Caption) bag.emplace_back("Caption", p.Caption);
  if (p.FirstRun != defaults.FirstRun) bag.emplace_back("FirstRun", std::to_wstring(p.FirstRun));
  if (p.Font != defaults.Font) bag.emplace_back("Font", p.Font);
  if (p.FontColour != defaults.FontColour)
    bag.emplace_back("FontColour", std::to_wstring(p.FontColour));
  if (p.Visible != defaults.Visible) bag.emplace_back("Visible", p.Visible ? L"1" : L"0");
  return bag;
}

CommandProperties ReadProperties(const PropertyBag& bag) {
  CommandProperties p;
  if (const auto* v = Find(bag, "Enabled"))
    if (auto n = ParseWhole(*v, INT16_MIN, INT16_MAX)) p.Enabled = static_cast<std::int16_t>(*n);
  if (const auto* v = Find(bag, "Caption")) p.Caption = *v;
  if (const auto* v = Find(bag, "Font")) {
    std::wstring face;
    double points = 0;
    if (ParseFontSpec(*v, face, points)) p.Font = *v;
  }
  if (const auto* v = Find(bag, "FirstRun"))
    if (auto n = ParseWhole(*v, 0, 255)) p.FirstRun = static_cast<std::uint8_t>(*n);
  if (const auto* v = Find(bag, "FontColour"))
    if (auto n = ParseWhole(*v, 0, 0xFFFFFFFFLL)) p.FontColour = static_cast<std::uint32_t>(*n);
  if (const auto* v = Find(bag, "Visible"))
    if (auto n = ParseWhole(*v, 0, 1)) p.Visible = *n == 1;
  return p;
}

bool ParseFontSpec(const std::wstring& text, std::wstring& face, double& points) {
  const auto comma = text.rfind(L',');
  if (comma == std::wstring::npos || comma == 0 || comma + 1 == text.size()) return false;
  // Hand-parsed so that the user's locale (a decimal comma) cannot change the reading.
  double value = 0, scale = 0;
  for (std::size_t i = comma + 1; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'.' && scale == 0) {
      scale = 1;
    } else if (c >= L'0' && c <= L'9') {
      if (scale == 0) {
        value = value * 10 + (c - L'0');
      } else {
        scale /= 10;
        value += (c - L'0') * scale;
      }
      if (value > 72) return false;
    } else {
      return false;
    }
  }
  if (value < 1) return false;
  face = text.substr(0, comma);
  points = value;
  return true;
}

}  // namespace varenko

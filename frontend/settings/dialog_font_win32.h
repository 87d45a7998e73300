// Fonts of the settings dialog and its buttons, with a fallback where a face is not installed.
#pragma once

#include <windows.h>

namespace varenko {

// A font of `points` size for a screen of dpiY dots per inch. When `face` is not installed, a
// Japanese text face takes its place if `japanese` is set and one exists, else the face of the
// default GUI font. Never fails short of GDI itself failing (then nullptr).
HFONT CreateUiFont(const wchar_t* face, double points, int dpiY, bool japanese);

}  // namespace varenko

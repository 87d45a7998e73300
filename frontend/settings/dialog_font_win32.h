// Fonts of the settings dialog and its buttons, with a fallback where a face is not installed.
#pragma once

#include <windows.h>

#include <string>

namespace varenko {

// A font of `points` size for a screen of dpiY dots per inch. When `face` is not installed, a
// Japanese text face takes its place if `japanese` is set and one exists, else the face of the
// default GUI font. Never fails short of GDI itself failing (then nullptr).
HFONT CreateUiFont(const wchar_t* face, double points, int dpiY, bool japanese);

// The system's message font at dpiY dots per inch, for a screen of screenDpiY (the DPI at which
// the system reports its metrics). Also gives its face and its size in points at screenDpiY, so
// that a button can create it again. Tahoma 8.25 pt where the system names no font. `scale`
// shrinks it.
HFONT CreateMessageFont(int screenDpiY, int dpiY, double scale, std::wstring& face, double& points);

}  // namespace varenko

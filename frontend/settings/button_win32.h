// The skinned push button `Command` as a window class of its own ("Tamsel.Command"). A Click is
// sent to the parent as WM_COMMAND with BN_CLICKED and the control's id.
#pragma once

#include <windows.h>

#include <cstdint>

#include "frontend/settings/button.h"

namespace varenko {

inline constexpr wchar_t CommandClassName[] = L"Tamsel.Command";

// Registers the window class (once per process); false when that fails.
bool RegisterCommandClass(HINSTANCE instance);

// Creates a button on `parent` at a rectangle of its client area in pixels, reading its saved
// properties from `saved` (then RefreshButton, as every button does on creation). The button
// sits idle (state 0) until InitializeCommand.
HWND CreateCommand(HWND parent, int id, const RECT& pixels, const PropertyBag& saved);

// Whether a window is one of these buttons.
bool IsCommand(HWND window);

// `Initialize`: state 1 and the 100 ms cursor poll.
void InitializeCommand(HWND button);

// The `Enabled` property. A button with Enabled 0 also refuses the focus and the mouse.
void SetCommandEnabled(HWND button, std::int16_t value);
std::int16_t GetCommandEnabled(HWND button);

}  // namespace varenko

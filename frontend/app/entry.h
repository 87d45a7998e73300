// The front end's entry: the screen-saver command line and its modes, the file test and the
// window zoom animation that the other front-end windows share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varenko {

// --- Decisions on the command line (portable) ----------------------------------------------------

// The argument text of a full process command line: the program name (quoted or not) and the
// blanks after it removed.
std::wstring_view CommandTail(std::wstring_view fullCommandLine);

// The switch: the second character upper-cased, or 0 when the text is shorter. The first
// character ("/" or "-" normally) is never looked at.
wchar_t SwitchOf(std::wstring_view commandLine);

// The preview's parent handle: the text from the fourth character on read as a decimal number
// (blanks, tabs and line feeds ignored, the number ending at the first character that cannot
// belong to it), rounded to the nearest 32-bit integer. Empty, non-numeric or out of range: 0.
std::int32_t ParsePreviewHandle(std::wstring_view commandLine);

enum class EntryMode {
  Preview,    // "P": the preview picture, no settings and no renderer check
  Configure,  // "C": the settings dialog, then end
  Run,        // "S" or an empty command line: the saver run
  End,        // any other switch: end after the settings and renderer steps
};

struct EntryPlan {
  EntryMode mode;
  bool loadSettings;   // LoadSettings runs (every mode but preview)
  bool checkRenderer;  // the renderer must lie beside the front end (every mode but preview)
  bool hideCursor;     // "S" only; an empty command line leaves the cursor alone
  std::int32_t previewHandle;
};

EntryPlan PlanEntry(std::wstring_view commandLine);

// A path with one trailing "\" removed, as the file test takes it.
std::string_view WithoutTrailingBackslash(std::string_view path);

// --- Windows ------------------------------------------------------------------------------------

// Runs once at process start; returns when a window of the front end keeps the process alive,
// and ends the process itself otherwise.
void Main();

// True when the file (UTF-8 path, one trailing "\" ignored) can be opened for reading. Folders,
// missing files and bad names answer false; it never fails.
bool FileExists(const std::string& path);

// The front end's folder (no trailing separator) and the renderer file beside it.
std::wstring ProgramFolder();
std::wstring RendererPath();

// The current command line's argument text.
std::wstring CurrentCommandLine();

// Origin points of the zoom animation in screen pixels; slot 0 belongs to the settings dialog.
struct ZoomPoint {
  std::int16_t x;
  std::int16_t y;
};
extern ZoomPoint ZoomOrigin[2];

// Animate the window (an HWND) opening from, or closing to, the origin point of the slot. A slot
// outside 0..1 draws nothing and answers false, the bounds error of the caller.
bool ZoomOpen(void* window, int slot);
bool ZoomClose(void* window, int slot);

}  // namespace varenko

// The window titles by which the front end and the renderer find each other across processes.
// They are the same in every interface language.
#pragma once

namespace varenko {

// The renderer's saver window once it runs (the front end waits for it and watches it).
inline constexpr char RendererWindowTitle[] = "VarenkoVC";
inline constexpr wchar_t RendererWindowTitleW[] = L"VarenkoVC";
// The front end's hidden run window, and its settings dialog.
inline constexpr wchar_t RunWindowTitle[] = L"Tamsel_Main";
inline constexpr wchar_t DialogWindowTitle[] = L"Varenko";
// The child window the front end puts into the Display control panel's preview.
inline constexpr wchar_t PreviewWindowTitle[] = L"Preview Window";

}  // namespace varenko

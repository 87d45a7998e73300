// The saver run: the hidden run window that starts the renderer as its own process, plays the
// music and ends the front end once the renderer's window has gone.
#pragma once

#include <string_view>

namespace varenko {

enum class MusicFileKind { Wav, Mp3, Other };

// Chosen by the last three characters of the path, whatever their case.
MusicFileKind MusicFileKindOf(std::string_view path);

// Creates the run window "Tamsel_Main" without showing it; its load step starts the renderer and
// the music, and its timers take over once the message loop runs (Windows).
void LoadRunWindow();

}  // namespace varenko

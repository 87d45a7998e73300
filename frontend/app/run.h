// The saver run: the hidden run window that starts the renderer as its own process, plays the
// music and ends the front end once the renderer's window has gone. Its decisions (which timers
// run at which interval, what each event does and in which order) are here; run_win32.cpp
// carries them out.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "frontend/settings/store.h"

namespace varenko {

enum class MusicFileKind { Wav, Mp3, Other };

// Chosen by the last three characters of the path, whatever their case.
MusicFileKind MusicFileKindOf(std::string_view path);

// The run window's three watchers. The id is the Win32 timer id.
enum class RunTimer : std::uint8_t { Timer1 = 1, Timer2 = 2, Timer3 = 3 };

struct RunTimerSpec {
  RunTimer timer;
  unsigned intervalMs;
  bool enabledAtLoad;
};
inline constexpr std::array<RunTimerSpec, 3> RunTimers = {{
    {RunTimer::Timer1, 1000, false},  // MP3 repeat step
    {RunTimer::Timer2, 200, false},   // audio-CD step
    {RunTimer::Timer3, 50, true},     // renderer watcher
}};

// One thing the run window does, in the order a handler lists them.
enum class RunStep : std::uint8_t {
  StartRenderer,
  StartCd,
  StartWav,
  StartMp3,
  EnableTimer1,
  EnableTimer2,
  EnableTimer3,
  DisableTimer2,
  DisableTimer3,
  Mp3Tick,
  CdTick,  // its answer goes to RunAfterCdTick
  StopCd,
  StopWav,
  StopMp3,
  ShowCursor,
  End,  // the process ends at once; nothing after it runs
};

// Which watchers are running. Zero before the window loads.
struct RunState {
  bool timer1 = false;
  bool timer2 = false;
  bool timer3 = false;
};

// `Form_Load`: the renderer, then the music chosen by the record, then the renderer watcher.
std::vector<RunStep> RunFormLoad(RunState& state, const StoredSettingsRecord& record);
// `Timer1_Timer`: the MP3 repeat step while the MP3 watcher runs.
std::vector<RunStep> RunTimer1(const RunState& state);
// `Timer2_Timer`: the audio-CD step while the CD watcher runs; then, with what `CdTick` answered,
// the watcher stops for good once it is false.
std::vector<RunStep> RunTimer2(const RunState& state);
std::vector<RunStep> RunAfterCdTick(RunState& state, bool keepGoing);
// `Timer3_Timer`: nothing while the renderer's window is there; otherwise the watcher stops and
// the window unloads.
std::vector<RunStep> RunTimer3(RunState& state, bool rendererWindowFound,
                               const StoredSettingsRecord& record, std::wstring_view commandLine);
// `Form_QueryUnload`, for every request to unload: the CD (only while its watcher runs), the
// file music, the cursor (shown again only for the switch "S", which hid it), then the end.
std::vector<RunStep> RunQueryUnload(RunState& state, const StoredSettingsRecord& record,
                                    std::wstring_view commandLine);

// Creates the run window "Tamsel_Main" without showing it; its load step starts the renderer and
// the music, and its timers take over once the message loop runs (Windows).
void LoadRunWindow();

}  // namespace varenko

// The saver run's decisions: the music chosen at load, the watchers' steps and the fixed order of
// the way out.
#include "frontend/app/run.h"

#include "frontend/app/entry.h"

namespace varenko {

MusicFileKind MusicFileKindOf(std::string_view path) {
  if (path.size() < 3) return MusicFileKind::Other;
  std::string_view ending = path.substr(path.size() - 3);
  char up[3];
  for (int i = 0; i < 3; ++i) {
    const char c = ending[i];
    up[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  const std::string_view upper(up, 3);
  if (upper == "WAV") return MusicFileKind::Wav;
  if (upper == "MP3") return MusicFileKind::Mp3;
  return MusicFileKind::Other;
}

std::vector<RunStep> RunFormLoad(RunState& state, const StoredSettingsRecord& record) {
  std::vector<RunStep> steps{RunStep::StartRenderer};
  if (record.BgmMode == 1) {
    steps.push_back(RunStep::StartCd);
    steps.push_back(RunStep::EnableTimer2);
    state.timer2 = true;
  } else if (record.BgmMode == 2) {
    switch (MusicFileKindOf(record.BgmFile)) {
      case MusicFileKind::Wav:
        steps.push_back(RunStep::StartWav);  // loops by itself, no watcher
        break;
      case MusicFileKind::Mp3:
        steps.push_back(RunStep::StartMp3);
        steps.push_back(RunStep::EnableTimer1);
        state.timer1 = true;
        break;
      case MusicFileKind::Other:
        break;
    }
  }
  steps.push_back(RunStep::EnableTimer3);
  state.timer3 = true;
  return steps;
}

// A tick of a timer that is no longer running (or a stray WM_TIMER) does nothing.
std::vector<RunStep> RunTimer1(const RunState& state) {
  if (!state.timer1) return {};
  return {RunStep::Mp3Tick};
}

std::vector<RunStep> RunTimer2(const RunState& state) {
  if (!state.timer2) return {};
  return {RunStep::CdTick};
}

std::vector<RunStep> RunAfterCdTick(RunState& state, bool keepGoing) {
  if (keepGoing || !state.timer2) return {};
  state.timer2 = false;
  return {RunStep::DisableTimer2};
}

std::vector<RunStep> RunTimer3(RunState& state, bool rendererWindowFound,
                               const StoredSettingsRecord& record, std::wstring_view commandLine) {
  if (!state.timer3 || rendererWindowFound) return {};
  state.timer3 = false;
  std::vector<RunStep> steps = RunQueryUnload(state, record, commandLine);
  steps.insert(steps.begin(), RunStep::DisableTimer3);
  return steps;
}

std::vector<RunStep> RunQueryUnload(RunState& state, const StoredSettingsRecord& record,
                                    std::wstring_view commandLine) {
  std::vector<RunStep> steps;
  // A CD watcher that has given up has left the device alone since; so does the way out.
  if (state.timer2) {
    steps.push_back(RunStep::DisableTimer2);
    steps.push_back(RunStep::StopCd);
    state.timer2 = false;
  }
  if (record.BgmMode == 2) {
    const MusicFileKind kind = MusicFileKindOf(record.BgmFile);
    if (kind == MusicFileKind::Wav) steps.push_back(RunStep::StopWav);
    if (kind == MusicFileKind::Mp3) steps.push_back(RunStep::StopMp3);
  }
  // Only "S" hid the cursor; an empty command line never touched it.
  if (SwitchOf(commandLine) == L'S') steps.push_back(RunStep::ShowCursor);
  steps.push_back(RunStep::End);
  return steps;
}

}  // namespace varenko

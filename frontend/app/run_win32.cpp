// The hidden run window "Tamsel_Main": renderer start, music start, the three watchers and the
// fixed way out.
#include <windows.h>

#include "common/window_titles.h"
#include "frontend/app/entry.h"
#include "frontend/app/run.h"
#include "frontend/music/player.h"
#include "frontend/settings/store.h"

namespace varenko {

namespace {

// How long the load step waits for the renderer to be ready for input. Its window exists by
// then; a renderer that takes longer is found by the watcher as long as its window is up.
constexpr DWORD RendererReadyWaitMs = 15000;

struct RunWindowState {
  HWND window;
  std::wstring rendererPath;
  RunState timers;
};
RunWindowState run{};

void EnableTimer(RunTimer timer) {
  for (const RunTimerSpec& row : RunTimers)
    if (row.timer == timer)
      SetTimer(run.window, static_cast<UINT_PTR>(timer), row.intervalMs, nullptr);
}

void DisableTimer(RunTimer timer) { KillTimer(run.window, static_cast<UINT_PTR>(timer)); }

void StartRenderer() {
  // The whole command line is the path: the renderer takes no arguments.
  std::wstring commandLine = L"\"" + run.rendererPath + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(run.rendererPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    return;  // no renderer, no window: the first watcher tick ends the run
  }
  // The watcher has no grace period, so its first look must not come before the renderer has
  // had the chance to create its window.
  const DWORD started = GetTickCount();
  WaitForInputIdle(process.hProcess, RendererReadyWaitMs);
  // The idle signal alone is not enough: a process can go idle in its own start-up, before its
  // main window exists (Wine's does). Wait on for the window while the renderer is alive.
  while (FindWindowW(nullptr, RendererWindowTitleW) == nullptr &&
         GetTickCount() - started < RendererReadyWaitMs) {
    if (WaitForSingleObject(process.hProcess, 20) != WAIT_TIMEOUT) break;  // it ended
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void Perform(const std::vector<RunStep>& steps);

// Carries out one step; a step that fails is skipped and the next one runs.
void PerformStep(RunStep step) {
  switch (step) {
    case RunStep::StartRenderer:
      StartRenderer();
      break;
    case RunStep::StartCd:
      StartCd();
      break;
    case RunStep::StartWav:
      StartWav();
      break;
    case RunStep::StartMp3:
      StartMp3();
      break;
    case RunStep::EnableTimer1:
      EnableTimer(RunTimer::Timer1);
      break;
    case RunStep::EnableTimer2:
      EnableTimer(RunTimer::Timer2);
      break;
    case RunStep::EnableTimer3:
      EnableTimer(RunTimer::Timer3);
      break;
    case RunStep::DisableTimer2:
      DisableTimer(RunTimer::Timer2);
      break;
    case RunStep::DisableTimer3:
      DisableTimer(RunTimer::Timer3);
      break;
    case RunStep::Mp3Tick:
      Mp3Tick();
      break;
    case RunStep::CdTick:
      Perform(RunAfterCdTick(run.timers, CdTick()));
      break;
    case RunStep::StopCd:
      StopCd();
      break;
    case RunStep::StopWav:
      StopWav();
      break;
    case RunStep::StopMp3:
      StopMp3();
      break;
    case RunStep::ShowCursor:
      ShowCursor(TRUE);
      break;
    case RunStep::End:
      ExitProcess(0);
  }
}

void Perform(const std::vector<RunStep>& steps) {
  for (RunStep step : steps) {
    try {
      PerformStep(step);
    } catch (...) {
      // Skipped; the way out in particular must reach its end.
    }
  }
}

bool RendererWindowFound() { return FindWindowW(nullptr, RendererWindowTitleW) != nullptr; }

LRESULT CALLBACK RunWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    switch (msg) {
      case WM_TIMER:
        if (wParam == static_cast<WPARAM>(RunTimer::Timer1)) Perform(RunTimer1(run.timers));
        if (wParam == static_cast<WPARAM>(RunTimer::Timer2)) Perform(RunTimer2(run.timers));
        if (wParam == static_cast<WPARAM>(RunTimer::Timer3))
          Perform(
              RunTimer3(run.timers, RendererWindowFound(), StoredSettings, CurrentCommandLine()));
        return 0;
      case WM_CLOSE:
      case WM_QUERYENDSESSION:
      case WM_ENDSESSION:
        // Every request to unload ends here, whoever made it; the process never outlives it.
        Perform(RunQueryUnload(run.timers, StoredSettings, CurrentCommandLine()));
        ExitProcess(0);
      default:
        break;
    }
  } catch (...) {
    // A watcher step that failed is skipped; the next tick tries again. A way out that could not
    // even be planned still ends the process.
    if (msg != WM_TIMER) ExitProcess(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void LoadRunWindow() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = RunWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"Tamsel_S";
  RegisterClassW(&windowClass);
  // Never shown; its caption is how a second front end knows that a run is going on.
  run.window = CreateWindowExW(0, L"Tamsel_S", RunWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                               nullptr, nullptr, instance, nullptr);
  if (run.window == nullptr) ExitProcess(0);
  run.rendererPath = RendererPath();
  UseSystemMusic();
  Perform(RunFormLoad(run.timers, StoredSettings));
}

}  // namespace varenko

// The hidden run window "Tamsel_Main": renderer start, music start, the three watchers and the
// fixed way out.
#include <windows.h>

#include "frontend/app/entry.h"
#include "frontend/app/run.h"
#include "frontend/music/player.h"
#include "frontend/settings/store.h"

namespace varenko {

namespace {

constexpr UINT_PTR Timer1 = 1;  // MP3 repeat, 1000 ms
constexpr UINT_PTR Timer2 = 2;  // audio CD, 200 ms
constexpr UINT_PTR Timer3 = 3;  // renderer watcher, 50 ms

// How long the load step waits for the renderer to be ready for input. Its window exists by
// then; a renderer that takes longer is found by the watcher as long as its window is up.
constexpr DWORD RendererReadyWaitMs = 15000;

struct RunWindowState {
  HWND window;
  std::wstring rendererPath;
  bool timer2Enabled;
};
RunWindowState run{};

void SetTimerEnabled(UINT_PTR id, UINT interval) { SetTimer(run.window, id, interval, nullptr); }

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
  while (FindWindowW(nullptr, L"VarenkoVC") == nullptr &&
         GetTickCount() - started < RendererReadyWaitMs) {
    if (WaitForSingleObject(process.hProcess, 20) != WAIT_TIMEOUT) break;  // it ended
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void StartMusic() {
  UseSystemMusic();
  if (StoredSettings.BgmMode == 1) {
    StartCd();
    SetTimerEnabled(Timer2, 200);
    run.timer2Enabled = true;
  } else if (StoredSettings.BgmMode == 2) {
    switch (MusicFileKindOf(StoredSettings.BgmFile)) {
      case MusicFileKind::Wav:
        StartWav();  // loops by itself, no watcher
        break;
      case MusicFileKind::Mp3:
        StartMp3();
        SetTimerEnabled(Timer1, 1000);
        break;
      case MusicFileKind::Other:
        break;
    }
  }
}

void FormLoad() {
  run.rendererPath = RendererPath();
  StartRenderer();
  StartMusic();
  SetTimerEnabled(Timer3, 50);
}

// Every request to unload ends here, whoever made it; the process never outlives it.
[[noreturn]] void FormQueryUnload() {
  try {
    if (run.timer2Enabled) {
      KillTimer(run.window, Timer2);
      run.timer2Enabled = false;
      StopCd();
    }
    if (StoredSettings.BgmMode == 2) {
      switch (MusicFileKindOf(StoredSettings.BgmFile)) {
        case MusicFileKind::Wav:
          StopWav();
          break;
        case MusicFileKind::Mp3:
          StopMp3();
          break;
        case MusicFileKind::Other:
          break;
      }
    }
    if (SwitchOf(CurrentCommandLine()) == L'S') ShowCursor(TRUE);
  } catch (...) {
    // Ending is what matters now.
  }
  ExitProcess(0);
}

void Timer2Tick() {
  if (!CdTick()) {
    KillTimer(run.window, Timer2);
    run.timer2Enabled = false;
  }
}

void Timer3Tick() {
  if (FindWindowW(nullptr, L"VarenkoVC") != nullptr) return;
  KillTimer(run.window, Timer3);
  FormQueryUnload();
}

LRESULT CALLBACK RunWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    switch (msg) {
      case WM_TIMER:
        if (wParam == Timer1) Mp3Tick();
        if (wParam == Timer2) Timer2Tick();
        if (wParam == Timer3) Timer3Tick();
        return 0;
      case WM_CLOSE:
      case WM_QUERYENDSESSION:
      case WM_ENDSESSION:
        FormQueryUnload();
      default:
        break;
    }
  } catch (...) {
    // A watcher step that failed is skipped; the next tick tries again.
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
  run.window = CreateWindowExW(0, L"Tamsel_S", L"Tamsel_Main", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                               nullptr, nullptr, instance, nullptr);
  if (run.window == nullptr) ExitProcess(0);
  FormLoad();
}

}  // namespace varenko

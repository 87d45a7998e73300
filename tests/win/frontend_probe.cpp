// Looks at the front end from outside under Wine: "find TITLE" prints 1 when a top-level window
// (hidden ones included) has exactly that title, else 0; "close TITLE" posts it a close request;
// "kill TITLE" ends the window's process with TerminateProcess, as a crash would, and prints
// GetTickCount after it (the clock of Wine's trace timestamps); "wait TITLE"
// waits for the window's process to end and prints its exit code; "load" runs the front end's load
// step and prints the record it filled, one "name=value" a line.
#include <windows.h>
// CommandLineToArgvW lives in shell32.
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "frontend/app/wide.h"
#include "frontend/settings/store.h"

int main() {
  using namespace varenko;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2) return 2;
  const std::wstring command = argv[1];
  if (command == L"find" && argc == 3) {
    std::printf("%d\n", FindWindowW(nullptr, argv[2]) != nullptr ? 1 : 0);
    return 0;
  }
  if (command == L"close" && argc == 3) {
    const HWND window = FindWindowW(nullptr, argv[2]);
    if (window == nullptr) return 1;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if ((command == L"kill" || command == L"wait") && argc == 3) {
    DWORD pid = 0;
    const HWND window = FindWindowW(nullptr, argv[2]);
    if (window == nullptr || GetWindowThreadProcessId(window, &pid) == 0) return 1;
    const HANDLE process = OpenProcess(
        PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    DWORD out = 0;  // the tick count after the kill, or the exit code
    const bool done =
        process != nullptr &&
        (command == L"kill" ? TerminateProcess(process, 9) && (out = GetTickCount())
                            : WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 &&
                                  GetExitCodeProcess(process, &out));
    std::printf("%lu\n", static_cast<unsigned long>(out));
    return done ? 0 : 1;
  }
  if (command == L"load") {
    LoadSettings();
    for (int i = 0; i < 8; ++i) std::printf("Values%d=%d\n", i, StoredSettings.Values[i]);
    std::printf("BgmMode=%d\nBgmTrack=%d\nBgmFile=%s\n", StoredSettings.BgmMode,
                StoredSettings.BgmTrack, StoredSettings.BgmFile.c_str());
    return 0;
  }
  return 2;
}

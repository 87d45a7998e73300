// Entry of the Windows front end `Varenko.scr`: the entry procedure, then the message loop that
// drives whichever window it left loaded.
#include <windows.h>

#include "frontend/app/entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    varenko::Main();
  } catch (...) {
    // Nothing was left loaded that could end the process later.
    ExitProcess(0);
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

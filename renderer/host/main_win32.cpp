// Entry of the Windows renderer `Varenko.dll` (an executable despite its name). Its command line
// is ignored: it always runs the full-screen saver.
#include <windows.h>

#include "renderer/host/host_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return varenko::RunSaver(instance);
}

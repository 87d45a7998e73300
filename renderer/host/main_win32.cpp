// Entry of the Windows renderer `Varenko.dll` (an executable despite its name).
#include <windows.h>

#include "renderer/host/settings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  varenko::ApplyDefaults();
  varenko::ReadSettings();
  return 0;
}

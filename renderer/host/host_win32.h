// The Windows host of Varenko.dll: the saver window and its class, the message loop around the
// idle tick, the layered window procedure, the password check and the wgl context.
#pragma once

#include <windows.h>

namespace varenko {

// The program's whole run: single-instance rule, window, message loop. Returns the exit code.
int RunSaver(HINSTANCE instance);

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Nonzero when the saver may close: always outside Windows 9x or without the password library.
int VerifyPassword(HWND window);

void InitGraphics(HWND window);
void ShutdownGraphics(HWND window);
void ChoosePixelFormatByScore(HDC deviceContext);

}  // namespace varenko

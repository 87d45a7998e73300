// The OpenGL 1.1 and GLU headers as the scene includes them on both platforms (Windows needs its
// own header first for the calling conventions).
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

// Frames read back from OpenGL and written as PNG pictures: the --screenshot and --record output
// of the Linux renderer.
#pragma once

#include <GL/gl.h>

#include <vector>

namespace varenko {

// A frame's pixels as RGB rows from top to bottom.
struct FrameCapture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;
};

// Reads `buffer` (GL_BACK or GL_FRONT) of a width x height drawable; nothing when it is empty.
void ReadFrame(FrameCapture& capture, GLenum buffer, int width, int height);

// Writes the captured frame as a PNG file; false when there is none or the file fails.
bool WritePng(const FrameCapture& capture, const char* path);

}  // namespace varenko

// The frame-rate readout drawn as seven-segment glyphs in plain OpenGL 1.1 lines.
#include "renderer/scene/fps_readout.h"

#include <GL/gl.h>

#include <algorithm>

namespace varenko {

namespace {

// The seven segments of a digit and of the letters of "FPS": bit 0 top, 1 upper right, 2 lower
// right, 3 bottom, 4 lower left, 5 upper left, 6 middle.
constexpr unsigned char DigitSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                             0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr unsigned char LetterF = 0x71;
constexpr unsigned char LetterP = 0x73;

void DrawSegments(unsigned char segments, float x, float y, float w, float h) {
  const float ends[7][4] = {{0, h, w, h},     {w, h, w, h / 2}, {w, h / 2, w, 0},    {0, 0, w, 0},
                            {0, 0, 0, h / 2}, {0, h / 2, 0, h}, {0, h / 2, w, h / 2}};
  for (int i = 0; i < 7; ++i) {
    if ((segments & (1u << i)) == 0) continue;
    glVertex2f(x + ends[i][0], y + ends[i][1]);
    glVertex2f(x + ends[i][2], y + ends[i][3]);
  }
}

}  // namespace

void DrawFpsReadout(double fps, const int viewport[4], const int restoreViewport[4]) {
  const int tenths = static_cast<int>(std::min(fps, 9999.9) * 10.0 + 0.5);
  unsigned char glyphs[10];
  int n = 0;
  for (int scale = 10000; scale >= 10; scale /= 10)  // whole frames, without leading zeros
    if (tenths >= scale || scale == 10) glyphs[n++] = DigitSegments[tenths / scale % 10];
  const int point = n;
  glyphs[n++] = DigitSegments[tenths % 10];
  glyphs[n++] = 0;
  glyphs[n++] = LetterF;
  glyphs[n++] = LetterP;
  glyphs[n++] = DigitSegments[5];  // S

  const int* v = viewport;
  glViewport(v[0], v[1], v[2], v[3]);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, v[2] > 0 ? v[2] : 1, 0.0, v[3] > 0 ? v[3] : 1, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glColor3f(1.0f, 1.0f, 0.6f);
  glBegin(GL_LINES);
  const float w = 8.0f;
  const float h = 14.0f;
  float x = 10.0f;
  for (int i = 0; i < n; ++i) {
    DrawSegments(glyphs[i], x, 10.0f, w, h);
    if (i + 1 == point) {  // the decimal point after the whole frames
      glVertex2f(x + w + 3.0f, 10.0f);
      glVertex2f(x + w + 3.0f, 12.0f);
    }
    x += w + 6.0f;
  }
  glEnd();
  glEnable(GL_TEXTURE_2D);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glViewport(restoreViewport[0], restoreViewport[1], restoreViewport[2], restoreViewport[3]);
}

}  // namespace varenko

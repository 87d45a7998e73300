// Frames read back from OpenGL (rows turned top to bottom) and written with libpng.
#include "renderer/host/frame_capture_x11.h"

#include <png.h>

#include <algorithm>
#include <cstdio>

namespace varenko {

void ReadFrame(FrameCapture& capture, GLenum buffer, int width, int height) {
  const int w = width;
  const int h = height;
  if (w <= 0 || h <= 0) return;
  glReadBuffer(buffer);
  std::vector<unsigned char> raw(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, raw.data());
  capture.width = w;
  capture.height = h;
  capture.pixels.assign(raw.size(), 0);
  const std::size_t row = static_cast<std::size_t>(w) * 3;
  for (int y = 0; y < h; ++y) {  // OpenGL's rows run bottom to top
    const unsigned char* src = raw.data() + static_cast<std::size_t>(h - 1 - y) * row;
    std::copy(src, src + row, capture.pixels.data() + static_cast<std::size_t>(y) * row);
  }
}

bool WritePng(const FrameCapture& capture, const char* path) {
  const int w = capture.width;
  const int h = capture.height;
  if (capture.pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3 ||
      capture.pixels.empty())
    return false;
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (png != nullptr && info != nullptr) {
    std::vector<png_bytep> rows(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
      rows[static_cast<std::size_t>(y)] =
          const_cast<unsigned char*>(capture.pixels.data()) +
          static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 3;
    // libpng reports errors by longjmp; nothing here owns resources that the jump would skip.
    if (setjmp(png_jmpbuf(png)) == 0) {
      png_init_io(png, file);
      png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                   PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                   PNG_FILTER_TYPE_DEFAULT);
      png_write_info(png, info);
      png_write_image(png, rows.data());
      png_write_end(png, nullptr);
      ok = true;
    }
  }
  png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
  return std::fclose(file) == 0 && ok;
}

}  // namespace varenko

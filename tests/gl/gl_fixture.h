// An OpenGL context for tests and benchmarks: an unmapped GLX window on $DISPLAY (run under
// tools/e2e/with-xvfb) drawn through its back buffer, with the renderer's fixed drawing state and
// a pixel read-back helper.
#pragma once

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <functional>
#include <vector>

namespace varenko::gltest {

class OffscreenContext {
 public:
  OffscreenContext(int width, int height) : width_(width), height_(height) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
      failure_ = "cannot open $DISPLAY";
      return;
    }
    // A plain double-buffered window: drawing goes to the back buffer, which is read back
    // without ever being shown, so nothing on the display can disturb the pixels.
    int attributes[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    XVisualInfo* visual = glXChooseVisual(display_, DefaultScreen(display_), attributes);
    if (visual == nullptr) {
      failure_ = "no double-buffered RGB visual";
      return;
    }
    const Window root = RootWindow(display_, visual->screen);
    XSetWindowAttributes windowAttributes = {};
    windowAttributes.colormap = colormap_ =
        XCreateColormap(display_, root, visual->visual, AllocNone);
    window_ = XCreateWindow(display_, root, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, visual->depth, InputOutput,
                            visual->visual, CWColormap | CWBorderPixel, &windowAttributes);
    context_ = glXCreateContext(display_, visual, nullptr, True);
    XFree(visual);
    if (window_ == 0 || context_ == nullptr) {
      failure_ = "cannot create the window or the GLX context";
      return;
    }
    ready_ = glXMakeCurrent(display_, window_, context_) == True;
    if (!ready_) {
      failure_ = "glXMakeCurrent failed";
      return;
    }
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    ResetState();
  }

  ~OffscreenContext() {
    if (display_ == nullptr) return;
    glXMakeCurrent(display_, None, nullptr);
    if (context_ != nullptr) glXDestroyContext(display_, context_);
    if (window_ != 0) XDestroyWindow(display_, window_);
    if (colormap_ != 0) XFreeColormap(display_, colormap_);
    XCloseDisplay(display_);
  }

  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  bool ready() const { return ready_; }
  const char* failure() const { return failure_; }

  // Draws and reads only the lower-left width x height pixels from now on (at most the size the
  // context was made with).
  void UseSize(int width, int height) {
    width_ = width;
    height_ = height;
    if (ready_) glViewport(0, 0, width_, height_);
  }

  // The renderer's fixed state (texturing on, no depth test, counter-clockwise fronts culled at
  // the back), a black clear colour, the whole viewport and identity matrices.
  void ResetState() {
    glViewport(0, 0, width_, height_);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  // RGBA bytes of the whole drawable, bottom row first.
  std::vector<unsigned char> ReadPixels() const {
    std::vector<unsigned char> pixels(std::size_t{4} * width_ * height_);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

 private:
  int width_, height_;
  Display* display_ = nullptr;
  Window window_ = 0;
  Colormap colormap_ = 0;
  GLXContext context_ = nullptr;
  bool ready_ = false;
  const char* failure_ = "";
};

// The one context of a test program, made on first use and kept until the program ends, so that
// the test suites never race the display by opening and closing connections. Sized for the
// largest picture a test draws; suites pick their own size with UseSize.
inline OffscreenContext& SharedContext() {
  static OffscreenContext context(1280, 720);
  return context;
}

// The shared context at a test's size with the fixed state reset (when it is ready).
inline OffscreenContext& PreparedContext(int width, int height) {
  OffscreenContext& context = SharedContext();
  context.UseSize(width, height);
  if (context.ready()) context.ResetState();
  return context;
}

// One integer of OpenGL's state.
inline GLint Int(GLenum name) {
  GLint value = 0;
  glGetIntegerv(name, &value);
  return value;
}

// One pixel of a ReadPixels() result, x from the left, y from the bottom.
struct Rgba {
  int r, g, b, a;
};
inline Rgba PixelAt(const std::vector<unsigned char>& pixels, int width, int x, int y) {
  const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

// What a draw sends down the pipeline, caught with OpenGL's feedback mode instead of drawn.
struct FedVertex {
  float x, y, z, r, g, b, a, s, t;  // window coordinates, colour, texture coordinate
};
struct Fed {
  int marker;                     // value of a glPassThrough, or -1 for a primitive
  std::vector<FedVertex> vertex;  // one for a point, three for a triangle
};
inline std::vector<Fed> Feedback(const std::function<void()>& draw) {
  std::vector<GLfloat> buffer(1 << 18);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint n = glRenderMode(GL_RENDER);
  std::vector<Fed> out;
  auto vertices = [&](GLint& i, int count, Fed& f) {
    for (int k = 0; k < count && i + 11 <= n; ++k, i += 11) {
      const GLfloat* v = &buffer[static_cast<std::size_t>(i)];
      f.vertex.push_back({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7] / v[10], v[8] / v[10]});
    }
  };
  auto next = [&](GLint& i) { return static_cast<int>(buffer[static_cast<std::size_t>(i++)]); };
  for (GLint i = 0; i < n;) {
    const int token = next(i);
    Fed f{-1, {}};
    if (token == GL_PASS_THROUGH_TOKEN)
      f.marker = next(i);
    else if (token == GL_POLYGON_TOKEN)
      vertices(i, next(i), f);  // the vertex count, then the vertices
    else
      vertices(i, token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN ? 2 : 1, f);
    out.push_back(f);
  }
  return out;
}

// Display lists that stand in for sprites: each passes its marker through and draws three points,
// the sprite's centre and the ends of its half axes, so a feedback shows where the caller put it.
inline unsigned MarkerLists(int count, int firstMarker) {
  const unsigned base = glGenLists(count);
  for (int i = 0; i < count; ++i) {
    glNewList(base + static_cast<unsigned>(i), GL_COMPILE);
    glPassThrough(static_cast<GLfloat>(firstMarker + i));
    glBegin(GL_POINTS);
    const float points[3][2] = {{0.0f, 0.0f}, {0.5f, 0.0f}, {0.0f, 0.5f}};
    for (const auto& p : points) glVertex2fv(p);
    glEnd();
    glEndList();
  }
  return base;
}

// A marker list as fed back: its marker, then its centre, half x axis and half y axis as window
// offsets, and the colour it was drawn in (all -1 when its points fell outside the view).
struct FedSprite {
  int marker;
  float x, y, ax, ay, bx, by, r, g, b, a;
};
inline std::vector<FedSprite> FedSprites(const std::vector<Fed>& fed) {
  std::vector<FedSprite> out;
  for (std::size_t i = 0; i < fed.size(); ++i) {
    if (fed[i].marker < 0) continue;
    FedSprite s{fed[i].marker, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    bool whole = i + 3 < fed.size();
    for (std::size_t k = 1; whole && k <= 3; ++k) whole = fed[i + k].vertex.size() == 1;
    if (whole) {
      const FedVertex &o = fed[i + 1].vertex[0], &a = fed[i + 2].vertex[0],
                      &b = fed[i + 3].vertex[0];
      s = {s.marker, o.x, o.y, a.x - o.x, a.y - o.y, b.x - o.x, b.y - o.y, o.r, o.g, o.b, o.a};
    }
    out.push_back(s);
  }
  return out;
}

}  // namespace varenko::gltest

// Frame time of a seeded show at 1280 x 720 and its split into sky (star dome, cloud ceiling,
// horizon band), particles and flare, with the sky drawn the plain way (reference) and the cheap
// way, in one run. Every pass is timed to glFinish, so the rasterising counts, not only the
// command submission. Needs a display: run under tools/e2e/with-xvfb (on Mesa's software
// renderer: LIBGL_ALWAYS_SOFTWARE=1).
// Usage: sky_draw_bench [FRAMES [SEED]]
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "renderer/host/settings.h"
#include "renderer/scene/camera.h"
#include "renderer/scene/flare.h"
#include "renderer/scene/frame.h"
#include "renderer/scene/particle_draw.h"
#include "renderer/scene/sky.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/saver_settings.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

constexpr int Width = 1280;
constexpr int Height = 720;
constexpr int WarmUpFrames = 60;
constexpr float Step = 1.0f / 60.0f;

double Now() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

template <typename Draw>
double Timed(Draw draw) {
  glFinish();
  const double start = Now();
  draw();
  glFinish();
  return Now() - start;
}

enum Column { FrameTime, Sky, Dome, Clouds, Horizon, Particles, Flare, ColumnCount };
const char* const ColumnName[ColumnCount] = {"frame",   "sky",       "dome", "clouds",
                                             "horizon", "particles", "flare"};

FlareView CurrentFlareView() {
  FlareView view;
  view.eyePos = camera.eyePos;
  view.lookTarget = camera.lookTarget;
  view.savedEye = depthEye;
  std::copy(frameView.savedModelView, frameView.savedModelView + 16, view.modelView);
  std::copy(frameView.savedProjection, frameView.savedProjection + 16, view.projection);
  std::copy(frameView.savedViewport, frameView.savedViewport + 4, view.viewport);
  view.clientWidth = frameView.clientWidth;
  view.clientHeight = frameView.clientHeight;
  view.aspect = frameView.aspect;
  return view;
}

// The sky with only some of its parts: the others switched off for the one draw.
double TimedSkyPart(bool dome, bool clouds, bool horizon) {
  const int stars = settings.starDensity, cloudy = settings.cloudy;
  const bool band = sky.horizonPresent;
  if (!dome) settings.starDensity = 0;
  if (!clouds) settings.cloudy = 0;
  if (!horizon) sky.horizonPresent = false;
  const double ms = Timed([] { DrawScenery(); });
  settings.starDensity = stars;
  settings.cloudy = cloudy;
  sky.horizonPresent = band;
  return ms;
}

// The sky of this frame drawn both ways over a cleared picture: the mean absolute difference per
// channel on a 0..1 scale, and the largest single difference in grey levels.
double SkyDifference(int& worst) {
  std::vector<unsigned char> picture[2];
  for (int way = 0; way < 2; ++way) {
    const bool keep = referenceSkyDraw;
    referenceSkyDraw = way == 0;
    glClear(GL_COLOR_BUFFER_BIT);
    DrawScenery();
    referenceSkyDraw = keep;
    picture[way].resize(std::size_t{4} * Width * Height);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, picture[way].data());
  }
  double sum = 0.0;
  std::size_t n = 0;
  for (std::size_t i = 0; i < picture[0].size(); ++i) {
    if (i % 4 == 3) continue;
    const int d = std::abs(picture[0][i] - picture[1][i]);
    worst = std::max(worst, d);
    sum += d;
    ++n;
  }
  return sum / static_cast<double>(n) / 255.0;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// One show, its frames drawn the reference way and the cheap way by turns (the drawing leaves
// the simulation alone, so both ways see the same show), each whole frame timed, then its passes
// drawn again alone, both ways, and timed. Medians over the frames, so that a busy machine's
// pauses do not weigh on one way more than on the other.
void RunShow(std::uint32_t seed, int frames) {
  SeedShow(seed);
  SetUpScene(Width, Height);
  for (int i = 0; i < WarmUpFrames; ++i) RunFixedStepFrame(Step);
  std::vector<double> time[2][ColumnCount];
  FlareRequestQueue queue = {};
  double mae = 0.0;
  int compared = 0, worst = 0;
  for (int i = 0; i < 2 * frames; ++i) {
    const int way = i % 2;  // 0: reference
    referenceSkyDraw = way == 0;
    time[way][FrameTime].push_back(Timed([] { RunFixedStepFrame(Step); }));
    for (int w = 0; w < 2; ++w) {
      referenceSkyDraw = w == 0;
      glClear(GL_COLOR_BUFFER_BIT);
      time[w][Sky].push_back(Timed([] { DrawScenery(); }));
      time[w][Dome].push_back(TimedSkyPart(true, false, false));
      time[w][Clouds].push_back(TimedSkyPart(false, true, false));
      time[w][Horizon].push_back(TimedSkyPart(false, false, true));
    }
    time[way][Particles].push_back(Timed([] { DrawParticles(); }));
    if (settings.flareBrightness != 0)
      time[way][Flare].push_back(Timed([&] { DrawFlaresFor(CurrentFlareView(), queue); }));
    if (i % 20 == 1) {
      mae = std::max(mae, SkyDifference(worst));
      ++compared;
    }
  }
  const char* const label[2] = {"  reference sky", "  cheap sky"};
  for (int w = 0; w < 2; ++w) {
    std::printf("%-22s", label[w]);
    for (int c = 0; c < ColumnCount; ++c) std::printf(" %9.2f", Median(time[w][c]));
    std::printf("\n");
  }
  std::printf(
      "  sky picture, cheap against reference: MAE %.5f per channel (worst of %d frames), "
      "largest difference %d grey levels\n",
      mae, compared, worst);
  ReleaseScene();
  referenceSkyDraw = false;
}

void Header(const char* title) {
  std::printf("\n%-22s", title);
  for (int c = 0; c < ColumnCount; ++c) std::printf(" %9s", ColumnName[c]);
  std::printf("\n");
}

}  // namespace
}  // namespace varenko

int main(int argc, char** argv) {
  using namespace varenko;
  const int frames = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 100000) : 300;
  const auto seed = static_cast<std::uint32_t>(argc > 2 ? std::atoll(argv[2]) : 5);
  gltest::OffscreenContext context(Width, Height);
  if (!context.ready()) {
    std::fprintf(stderr, "sky_draw_bench: %s\n", context.failure());
    return 1;
  }
  std::printf("%s, %d x %d, seed %u, %d frames each way after %d; median ms (passes drawn alone)\n",
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)), Width, Height, seed, frames,
              WarmUpFrames);
  struct Show {
    const char* title;
    void (*settings)();
  };
  const Show shows[] = {
      {"default show", [] { ApplyDefaults(); }},
      {"heaviest dialog show",
       [] {
         ApplyDefaults();
         settings = {30, 30, 100, 30, 100, 100, 1, 1, settings.soundVolume};
       }},
  };
  for (const Show& show : shows) {
    Header(show.title);
    show.settings();
    RunShow(seed, frames);
  }
  return 0;
}

// The frame driver on a real OpenGL context: set-up state, the saved matrices agreeing with the
// camera, a window changing size, the passes in their order (with stand-in lists for the sky and
// the flare), and a picture drawn over monitor slices matching the picture drawn whole.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "renderer/host/monitor_layout.h"
#include "renderer/host/settings.h"
#include "renderer/scene/camera.h"
#include "renderer/scene/frame.h"
#include "renderer/scene/frame_clock.h"
#include "renderer/scene/sky.h"
#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/sprite_lists.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

// Column-major 4x4 times (x, y, z, 1).
void Transform(const double m[16], const Vec3& p, double out[3]) {
  for (int r = 0; r < 3; ++r) out[r] = m[r] * p.x + m[4 + r] * p.y + m[8 + r] * p.z + m[12 + r];
}

class FrameGl : public ::testing::Test {
 protected:
  void SetUp() override {
    gltest::OffscreenContext& context = gltest::PreparedContext(320, 200);
    ASSERT_TRUE(context.ready()) << context.failure();
    ApplyDefaults();
  }
  void TearDown() override {
    ClearPool();
    ApplyDefaults();
  }
};

TEST_F(FrameGl, SetUpAndSavedViewAgreeWithTheCamera) {
  SeedShow(99);
  SetUpScene(320, 200);
  EXPECT_EQ(frameView.savedViewport[2], 320);
  EXPECT_EQ(frameView.savedViewport[3], 200);
  EXPECT_FLOAT_EQ(frameView.aspect, 1.6f);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  for (GLenum cap : {GL_TEXTURE_2D, GL_CULL_FACE}) EXPECT_TRUE(glIsEnabled(cap)) << cap;
  for (int frame = 0; frame < 30; ++frame) {
    RunFixedStepFrame(0.04f);
    // The simulation saw this frame's step (0.2 when the run is time-warped) and eye.
    ASSERT_EQ(dt, frameClock.dt);
    EXPECT_TRUE(dt == 0.04f || dt == 0.2f) << dt;
    EXPECT_EQ(depthEye.x, camera.eyePos.x);
    EXPECT_EQ(depthEye.z, camera.eyePos.z);
    // 60-degree field of view at the client's aspect.
    EXPECT_NEAR(frameView.savedProjection[5], 1.7320508, 1e-5);
    EXPECT_NEAR(frameView.savedProjection[0], 1.7320508 / 1.6, 1e-5);
    // The view puts the eye at the origin (float matrices, coordinates near 6000) and the
    // look-at point straight ahead (-z).
    double eye[3], target[3];
    Transform(frameView.savedModelView, camera.eyePos, eye);
    Transform(frameView.savedModelView, camera.lookTarget, target);
    const double distance =
        std::hypot(camera.lookTarget.x - camera.eyePos.x, camera.lookTarget.y - camera.eyePos.y,
                   camera.lookTarget.z - camera.eyePos.z);
    for (double c : eye) EXPECT_NEAR(c, 0.0, 0.05);
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(target[i], i == 2 ? -distance : 0.0, 1e-3 * distance) << i;
    // The billboard rotation undoes the view's rotation.
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        double sum = 0.0;
        for (int k = 0; k < 3; ++k)
          sum += frameView.savedModelView[k * 4 + r] * BillboardMatrix[c * 4 + k];
        EXPECT_NEAR(sum, r == c ? 1.0 : 0.0, 1e-5) << r << "," << c;
      }
    }
  }
}

// The next frame's viewport and projection follow the latest shape, whatever it is, and a window
// without area keeps the matrices finite.
TEST_F(FrameGl, EveryFrameUsesTheLatestShape) {
  settings.maxShells = 0;  // the matrices are the point here, not the show
  SeedShow(5);
  SetUpScene(320, 200);
  const int sizes[][2] = {{64, 64}, {1920, 1080}, {300, 700}, {1000, 200}, {1, 4000}, {640, 480}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1]);
    ResizeScene(size[0], size[1]);
    RunFixedStepFrame(0.04f);
    EXPECT_EQ(frameView.clientWidth, size[0]);
    EXPECT_EQ(frameView.clientHeight, size[1]);
    EXPECT_EQ(frameView.savedViewport[2], size[0]);
    EXPECT_EQ(frameView.savedViewport[3], size[1]);
    // The projection really used: 60 degrees up and down, its y scale over its x scale the
    // aspect ratio.
    const double expected = static_cast<double>(size[0]) / size[1];
    EXPECT_NEAR(frameView.savedProjection[5] / frameView.savedProjection[0], expected,
                1e-5 * expected);
    EXPECT_NEAR(frameView.savedProjection[5], 1.7320508, 1e-5);
  }
  for (const auto& size : {std::pair{0, 0}, std::pair{500, 0}, std::pair{-3, 200}}) {
    ResizeScene(size.first, size.second);
    RunFixedStepFrame(0.04f);
    EXPECT_GE(frameView.clientWidth, 1);
    EXPECT_GE(frameView.clientHeight, 1);
    for (const double m : frameView.savedProjection) EXPECT_TRUE(std::isfinite(m));
  }
}

constexpr int Width = 320, Height = 180;
enum Marker { FlareSprites = 1, Dome = 20, Band = 21 };

// A list that passes `marker` through and draws one point at `at`: a stand-in for the star dome or
// the horizon band that shows where and with which view the scenery pass ran.
unsigned PointList(int marker, const Vec3& at) {
  const unsigned list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glPassThrough(static_cast<GLfloat>(marker));
  glBegin(GL_POINTS);
  glVertex3f(at.x, at.y, at.z);
  glEnd();
  glEndList();
  return list;
}

void AddFlash(const Vec3& pos, const Vec3& colour) {
  Particle& p = AllocateParticle();
  p.kind = Flash;
  p.spriteList = GlowSprite;
  p.pos = p.prevPos = pos;
  p.vel = p.heading = Vec3(0, 0, 0);
  p.drag = p.trailCarry = p.emitCarry = 0.0f;
  for (float& a : p.aux) a = 0.0f;
  p.emitsTrail = p.burstKind = 0;
  p.trailIndex = 0;
  p.colour = colour;
  p.alpha = p.lifeFrac = 1.0f;
  p.lifeTotal = p.lifeLeft = 10.0f;
  p.size = 60.0f;
}

// A seeded show without launches, one frame on, the sky's lists and the flare's sprites replaced
// by stand-ins, a white flash ahead of the camera and a red one under the clouds. Returns where the
// stand-in sky lists draw their point.
Vec3 StartStandInShow() {
  gltest::PreparedContext(Width, Height);
  ApplyDefaults();
  settings.maxShells = 0;
  settings.starDensity = 20;
  settings.cloudy = 1;
  settings.flareBrightness = 20;
  ClearPool();
  SeedShow(11);
  SetUpScene(Width, Height);
  RunFixedStepFrame(0.05f);  // the opening flight and the time warp are drawn at the first frame
  const Vec3 ahead = Sum(camera.eyePos, Scaled(Difference(camera.lookTarget, camera.eyePos), 0.5f));
  sky.starDome = PointList(Dome, ahead);
  sky.horizonBand = PointList(Band, ahead);
  sky.horizonPresent = true;
  // The batch draws the flashes from the atlas cell of their list; only the flare calls the lists.
  const unsigned markers = gltest::MarkerLists(4, FlareSprites);
  GlowSprite = markers, DiscSprite = markers + 1, RingSprite = markers + 2;
  SparkleSprite = markers + 3;
  AddFlash(ahead, Vec3(1, 1, 1));
  const CloudVertex& cloud = CloudGrid[CloudGridSize / 2][CloudGridSize / 2];
  AddFlash(Vec3(cloud.x, cloud.y - 300.0f, cloud.z), Vec3(1, 0, 0));
  return ahead;
}

// The passes that drew, in their order: S star dome, H horizon band, F flare, P a run of polygons
// (the clouds after S, the particles after H).
std::string PassTrace(const std::vector<gltest::Fed>& fed) {
  std::string trace;
  for (const gltest::Fed& f : fed) {
    const char c = f.marker == Dome           ? 'S'
                   : f.marker == Band         ? 'H'
                   : f.marker >= FlareSprites ? 'F'
                   : f.vertex.size() >= 3     ? 'P'
                                              : 0;
    if (c != 0 && (trace.empty() || trace.back() != c)) trace += c;
  }
  return trace;
}

TEST_F(FrameGl, PassesRunInTheirOrderEachWithThisFramesView) {
  const Vec3 ahead = StartStandInShow();
  const auto fed = gltest::Feedback([] { RunFixedStepFrame(0.05f); });
  EXPECT_EQ(PassTrace(fed), "SPHPF") << "sky with clouds, horizon, particles, flare";

  // The scenery went through this frame's projection and camera, as the saved view says.
  double want[3];
  gluProject(ahead.x, ahead.y, ahead.z, frameView.savedModelView, frameView.savedProjection,
             frameView.savedViewport, &want[0], &want[1], &want[2]);
  for (std::size_t i = 0; i + 1 < fed.size(); ++i) {
    if (fed[i].marker != Dome) continue;
    ASSERT_EQ(fed[i + 1].vertex.size(), 1u);
    EXPECT_NEAR(fed[i + 1].vertex[0].x, want[0], 1e-2);
    EXPECT_NEAR(fed[i + 1].vertex[0].y, want[1], 1e-2);
  }

  // The clouds were reset, then lit by the red flash in this frame's step, then drawn.
  bool lit = false;
  for (const gltest::Fed& p : fed)
    for (const gltest::FedVertex& v : p.vertex) lit = lit || (p.marker < 0 && v.r > v.g + 0.01f);
  EXPECT_TRUE(lit) << "clouds drawn with the light of this frame's step";
  // The picture is cleared before anything is drawn: what the frame leaves unlit is black.
  settings.cloudy = settings.starDensity = settings.flareBrightness = 0;
  sky.horizonPresent = false;
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 1);
  RunFixedStepFrame(0.05f);
  const auto pixels = gltest::SharedContext().ReadPixels();
  const gltest::Rgba corner = gltest::PixelAt(pixels, Width, 0, 0);
  EXPECT_EQ(corner.r + corner.g + corner.b, 0);
  const auto at =
      gltest::PixelAt(pixels, Width, static_cast<int>(want[0]), static_cast<int>(want[1]));
  EXPECT_GT(at.r + at.g + at.b, 0) << "the flash drawn after the clear";
}

// The flare's elements fed back: how many were drawn and where their visible points fell, in
// hundredths of a pixel.
struct FlarePoints {
  int markers = 0;
  std::multiset<std::pair<long, long>> points;
};
FlarePoints FlarePointsOf(const std::vector<gltest::Fed>& fed) {
  FlarePoints out;
  bool flare = false;
  for (const gltest::Fed& f : fed) {
    if (f.marker >= 0) flare = f.marker >= FlareSprites && f.marker < Dome;
    out.markers += f.marker >= 0 && flare;
    if (f.marker < 0 && flare && f.vertex.size() == 1)
      out.points.insert({std::lround(f.vertex[0].x * 100), std::lround(f.vertex[0].y * 100)});
  }
  return out;
}

TEST_F(FrameGl, MonitorSlicesTogetherShowTheWholeWindowsPicture) {
  // Monitors that cover the window without gaps, in window pixels (y down).
  const struct {
    const char* name;
    std::vector<MonitorRect> rects;
  } layouts[] = {
      {"side by side", {{0, 0, 160, 180}, {160, 0, 160, 180}}},
      {"two by two", {{0, 0, 160, 90}, {160, 0, 160, 90}, {0, 90, 160, 90}, {160, 90, 160, 90}}},
      {"three unequal", {{0, 0, 100, 180}, {100, 0, 130, 180}, {230, 0, 90, 180}}}};
  for (const auto& m : layouts) {
    SCOPED_TRACE(m.name);
    StartStandInShow();
    for (int i = 0; i < 20; ++i) RunFixedStepFrame(0.05f);
    // A step of nothing draws the same frame again: once whole, once over the monitors.
    const auto wholeFed = gltest::Feedback([] { RunFixedStepFrame(0.0f); });
    RunFixedStepFrame(0.0f);
    const auto whole = gltest::SharedContext().ReadPixels();
    const int count = static_cast<int>(m.rects.size());
    frameView.pictureLayout = LayOutPicture(m.rects.data(), count, Width, Height, 0, 0);
    ASSERT_EQ(frameView.pictureLayout.sliceCount, count);
    const auto slicedFed = gltest::Feedback([] { RunFixedStepFrame(0.0f); });
    const FlarePoints w = FlarePointsOf(wholeFed), s = FlarePointsOf(slicedFed);
    EXPECT_GT(w.markers, 0);
    EXPECT_EQ(s.markers, count * w.markers) << "the one queue drawn into every slice";
    EXPECT_EQ(s.points, w.points) << "each ghost where the whole picture has it";
    RunFixedStepFrame(0.0f);
    const auto sliced = gltest::SharedContext().ReadPixels();
    int differing = 0, lit = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
      differing += std::abs(whole[i] - sliced[i]) > 2;
      lit += whole[i] > 8;
    }
    // Edges rasterized from another viewport may round a few pixels apart; a slice showing the
    // wrong part of the view moves everything.
    EXPECT_LE(differing, static_cast<int>(whole.size() / 1000));
    EXPECT_GT(lit, 100) << "a picture to compare";
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], Width) << "the window's viewport again after the slices";
    EXPECT_EQ(viewport[3], Height);
  }
}

}  // namespace
}  // namespace varenko

// The frame driver as a whole on one screen: its passes in their order, caught in feedback mode
// with stand-in lists for the sky and the flare, and one picture drawn over several monitor
// slices matching the picture drawn whole.
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
#include "renderer/scene/sky.h"
#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/sprite_lists.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

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

Particle& AddFlash(const Vec3& pos, const Vec3& colour) {
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
  return p;
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

TEST(FramePasses, RunInTheirOrderEachWithThisFramesView) {
  ASSERT_TRUE(gltest::SharedContext().ready()) << gltest::SharedContext().failure();
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
  ClearPool();
  ApplyDefaults();
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

// Monitors that cover the window without gaps, in window pixels (y down).
struct Monitors {
  const char* name;
  std::vector<MonitorRect> rects;
};

TEST(FrameSlices, MonitorsTogetherShowTheWholeWindowsPicture) {
  ASSERT_TRUE(gltest::SharedContext().ready()) << gltest::SharedContext().failure();
  const Monitors layouts[] = {
      {"side by side", {{0, 0, 160, 180}, {160, 0, 160, 180}}},
      {"two by two", {{0, 0, 160, 90}, {160, 0, 160, 90}, {0, 90, 160, 90}, {160, 90, 160, 90}}},
      {"three unequal", {{0, 0, 100, 180}, {100, 0, 130, 180}, {230, 0, 90, 180}}}};
  for (const Monitors& m : layouts) {
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
  ClearPool();
  ApplyDefaults();
}

}  // namespace
}  // namespace varenko

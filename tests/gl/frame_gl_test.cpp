// The frame driver on a real OpenGL context: the set-up state, the matrices a frame saves for the
// later passes agreeing with the camera, and a window that changes size under the renderer.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "renderer/host/settings.h"
#include "renderer/scene/camera.h"
#include "renderer/scene/frame.h"
#include "renderer/scene/frame_clock.h"
#include "renderer/sim/frame_state.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

// Column-major 4x4 times (x, y, z, 1).
void Transform(const double m[16], const Vec3& p, double out[3]) {
  for (int r = 0; r < 3; ++r) out[r] = m[r] * p.x + m[4 + r] * p.y + m[8 + r] * p.z + m[12 + r];
}

class FrameGl : public ::testing::Test {
 protected:
  // A 320 x 200 window with a seeded show set up on it.
  void SetUp() override {
    gltest::OffscreenContext& context = gltest::PreparedContext(320, 200);
    ASSERT_TRUE(context.ready()) << context.failure();
    ApplyDefaults();
  }
  void TearDown() override { ApplyDefaults(); }
};

TEST_F(FrameGl, SetUpAndSavedViewAgreeWithTheCamera) {
  SeedShow(99);
  SetUpScene(320, 200);
  EXPECT_EQ(frameView.savedViewport[2], 320);
  EXPECT_EQ(frameView.savedViewport[3], 200);
  EXPECT_FLOAT_EQ(frameView.aspect, 1.6f);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
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
    EXPECT_NEAR(target[0], 0.0, 1e-3 * distance);
    EXPECT_NEAR(target[1], 0.0, 1e-3 * distance);
    EXPECT_NEAR(target[2], -distance, 1e-3 * distance);
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

}  // namespace
}  // namespace varenko

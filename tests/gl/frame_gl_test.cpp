// The frame driver on a real OpenGL context: the set-up state, and the matrices a frame saves
// for the later passes agreeing with the camera.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

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

TEST(FrameGl, SetUpAndSavedViewAgreeWithTheCamera) {
  gltest::OffscreenContext& context = gltest::SharedContext();
  ASSERT_TRUE(context.ready()) << context.failure();
  context.UseSize(320, 200);
  context.ResetState();
  ApplyDefaults();
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
    // The simulation saw this frame's step and eye.
    ASSERT_EQ(dt, frameClock.dt);
    EXPECT_TRUE(dt == 0.04f || dt == 0.2f) << dt;  // 0.2 when the run is time-warped
    EXPECT_EQ(depthEye.x, camera.eyePos.x);
    EXPECT_EQ(depthEye.z, camera.eyePos.z);

    // 60-degree field of view at the client's frameView.aspect.
    EXPECT_NEAR(frameView.savedProjection[5], 1.7320508, 1e-5);
    EXPECT_NEAR(frameView.savedProjection[0], 1.7320508 / 1.6, 1e-5);

    // The view puts the eye at the origin and the look-at point straight ahead (-z).
    double eye[3];
    double target[3];
    Transform(frameView.savedModelView, camera.eyePos, eye);
    Transform(frameView.savedModelView, camera.lookTarget, target);
    const double distance = std::sqrt(std::pow(camera.lookTarget.x - camera.eyePos.x, 2) +
                                      std::pow(camera.lookTarget.y - camera.eyePos.y, 2) +
                                      std::pow(camera.lookTarget.z - camera.eyePos.z, 2));
    for (double c : eye) EXPECT_NEAR(c, 0.0, 0.05);  // float matrices, coordinates near 6000
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

}  // namespace
}  // namespace varenko

// A window that changes size under the renderer: the next frame's viewport and projection follow
// it, whatever the shape, and a window without area keeps the matrices finite.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "renderer/host/settings.h"
#include "renderer/scene/frame.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

TEST(ResizeGl, EveryFrameUsesTheLatestShape) {
  gltest::OffscreenContext& context = gltest::SharedContext();
  ASSERT_TRUE(context.ready()) << context.failure();
  context.UseSize(320, 200);
  context.ResetState();
  ApplyDefaults();
  settings.maxShells = 0;  // the matrices are the point here, not the show
  SeedShow(5);
  SetUpScene(320, 200);

  const int sizes[][2] = {{64, 64}, {1920, 1080}, {300, 700}, {1000, 200}, {1, 4000}, {640, 480}};
  for (const auto& size : sizes) {
    ResizeScene(size[0], size[1]);
    RunFixedStepFrame(0.04f);
    EXPECT_EQ(frameView.clientWidth, size[0]);
    EXPECT_EQ(frameView.clientHeight, size[1]);
    EXPECT_EQ(frameView.savedViewport[2], size[0]);
    EXPECT_EQ(frameView.savedViewport[3], size[1]);
    // The projection really used: its y scale over its x scale is the frameView.aspect ratio.
    const double expected = static_cast<double>(size[0]) / size[1];
    EXPECT_NEAR(frameView.savedProjection[5] / frameView.savedProjection[0], expected,
                1e-5 * expected)
        << size[0] << "x" << size[1];
    EXPECT_NEAR(frameView.savedProjection[5], 1.7320508,
                1e-5);  // 60 degrees up and down, whatever the width
  }

  for (const auto& size : {std::pair{0, 0}, std::pair{500, 0}, std::pair{-3, 200}}) {
    ResizeScene(size.first, size.second);
    RunFixedStepFrame(0.04f);
    EXPECT_GE(frameView.clientWidth, 1);
    EXPECT_GE(frameView.clientHeight, 1);
    for (const double m : frameView.savedProjection) EXPECT_TRUE(std::isfinite(m));
  }
  ApplyDefaults();
}

}  // namespace
}  // namespace varenko

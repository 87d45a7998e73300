// The layout rule over monitor rectangles: every monitor covered by slices of one continuous view
// with square pixels, the single-screen picture for one monitor, and hostile layouts.
#include "renderer/host/monitor_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace varenko {
namespace {

const double Tan30 = std::tan(3.14159265358979323846 / 6.0);

struct LayoutCase {
  const char* name;
  std::vector<MonitorRect> monitors;
  int windowWidth, windowHeight;
  bool whole;
  int slices;
  long long coveredPixels;  // the monitors' area inside the window, each pixel once
  double halfWidth, halfHeight;
};

// Name, monitors, window, whole, slices, covered pixels, half width and half height of the view.
// clang-format off
const LayoutCase layoutCases[] = {
    {"one monitor", {{0, 0, 1920, 1080}}, 1920, 1080, true, 1, 1920LL * 1080,
     1920 * Tan30 / 1080, Tan30},
    {"none reported", {}, 800, 600, true, 1, 800LL * 600, 800 * Tan30 / 600, Tan30},
    {"side by side, different sizes", {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}, 3200, 1080,
     false, 2, 1920LL * 1080 + 1280 * 1024, 3200 * Tan30 / 1080, Tan30},
    {"stacked", {{0, 0, 1920, 1080}, {0, 1080, 1920, 1080}}, 1920, 2160, false, 2,
     2LL * 1920 * 1080, 1920 * Tan30 / 2160, Tan30},
    {"portrait beside landscape", {{0, 0, 1080, 1920}, {1080, 420, 1920, 1080}}, 3000, 1920,
     false, 2, 2LL * 1920 * 1080, 3000 * Tan30 / 1920, Tan30},
    // Three in a row pass the widest picture: the width keeps 32:9's field, the height narrows.
    {"three wide", {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}, {3840, 0, 1920, 1080}}, 5760,
     1080, false, 3, 3LL * 1920 * 1080, Tan30 * 32 / 9, Tan30 * 32 / 9 * 1080 / 5760},
    // Negative origins are clipped to the window; empty and repeated monitors are dropped.
    {"hostile", {{-100, 0, 1100, 768}, {0, 0, 0, 768}, {1000, 0, 1024, -5}, {-100, 0, 1100, 768},
                 {1000, 0, 1024, 768}, {5000, 5000, 10, 10}},
     2024, 768, false, 2, 2024LL * 768, 2024 * Tan30 / 768, Tan30},
    {"overlapping (mirrored part)", {{0, 0, 1280, 1024}, {0, 0, 1920, 1080}}, 1920, 1080, false,
     2, 1280LL * 1024 + 1920 * 1080, 1920 * Tan30 / 1080, Tan30},
};
// clang-format on

TEST(MonitorLayout, EveryMonitorShowsItsPartOfOneViewWithSquarePixels) {
  for (const LayoutCase& c : layoutCases) {
    SCOPED_TRACE(c.name);
    const PictureLayout l = LayOutPicture(c.monitors.data(), static_cast<int>(c.monitors.size()),
                                          c.windowWidth, c.windowHeight, 16384, 16384);
    EXPECT_EQ(l.whole, c.whole);
    ASSERT_EQ(l.sliceCount, c.slices);
    EXPECT_NEAR(l.halfWidth, c.halfWidth, 1e-9);
    EXPECT_NEAR(l.halfHeight, c.halfHeight, 1e-9);
    // The view's scale and offset, from the picture's box: every slice must agree with them.
    const double perPixel = 2.0 * l.halfHeight / l.height;
    long long covered = 0;
    for (int i = 0; i < l.sliceCount; ++i) {
      const ViewSlice& s = l.slice[i];
      covered += static_cast<long long>(s.viewport[2]) * s.viewport[3];
      EXPECT_GE(s.viewport[0], 0);
      EXPECT_GE(s.viewport[1], 0);
      EXPECT_LE(s.viewport[0] + s.viewport[2], c.windowWidth);
      EXPECT_LE(s.viewport[1] + s.viewport[3], c.windowHeight);
      EXPECT_NEAR((s.frustum[1] - s.frustum[0]) / s.viewport[2], perPixel, 1e-12);  // square
      EXPECT_NEAR((s.frustum[3] - s.frustum[2]) / s.viewport[3], perPixel, 1e-12);
      // Continuous: a pixel's direction depends on where it is in the window, not on the slice.
      const double x0 = s.frustum[0] - s.viewport[0] * perPixel;
      const double y0 = s.frustum[2] - s.viewport[1] * perPixel;
      const ViewSlice& first = l.slice[0];
      EXPECT_NEAR(x0, first.frustum[0] - first.viewport[0] * perPixel, 1e-9);
      EXPECT_NEAR(y0, first.frustum[2] - first.viewport[1] * perPixel, 1e-9);
      EXPECT_NEAR((s.overlay[1] - s.overlay[0]) * l.height, s.viewport[2], 1e-2);
      EXPECT_NEAR((s.overlay[3] - s.overlay[2]) * l.height, s.viewport[3], 1e-2);
    }
    EXPECT_EQ(covered, c.coveredPixels);
  }
}

TEST(MonitorLayout, ExactSlicesOfTwoMonitorsOfDifferentSizes) {
  const MonitorRect m[] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  const PictureLayout l = LayOutPicture(m, 2, 3200, 1080, 8192, 8192);
  const double f = 540.0 / Tan30;  // focal length in pixels
  const ViewSlice& right = l.slice[1];
  EXPECT_EQ(right.viewport[0], 1920);
  EXPECT_EQ(right.viewport[1], 1080 - 1024);  // the top edges line up; GL counts from the bottom
  EXPECT_EQ(right.viewport[2], 1280);
  EXPECT_EQ(right.viewport[3], 1024);
  EXPECT_NEAR(right.frustum[0], 320.0 / f, 1e-12);
  EXPECT_NEAR(right.frustum[1], 1600.0 / f, 1e-12);
  EXPECT_NEAR(right.frustum[2], -484.0 / f, 1e-12);
  EXPECT_NEAR(right.frustum[3], Tan30, 1e-12);
  EXPECT_FLOAT_EQ(right.overlay[0], 1920.0f / 1080);
  EXPECT_FLOAT_EQ(right.overlay[2], 56.0f / 1080);
  EXPECT_FLOAT_EQ(right.overlay[3], 1.0f);
  EXPECT_DOUBLE_EQ(l.slice[0].frustum[1], right.frustum[0]);  // no seam, no gap
}

TEST(MonitorLayout, MonitorsBeyondTheViewportLimitAreTiled) {
  const MonitorRect m[] = {{0, 0, 20000, 1000}};
  const PictureLayout l = LayOutPicture(m, 1, 20000, 1000, 8192, 8192);
  EXPECT_FALSE(l.whole);
  ASSERT_EQ(l.sliceCount, 3);
  EXPECT_EQ(l.slice[2].viewport[0], 16384);
  EXPECT_EQ(l.slice[2].viewport[2], 20000 - 16384);
  EXPECT_NEAR(l.halfHeight, Tan30, 1e-12);  // a single monitor keeps the single-screen view
  // A limit reported absurdly small is not believed, so the slices stay few.
  EXPECT_EQ(LayOutPicture(m, 1, 20000, 1000, 1, 1).sliceCount, 20);
  // Far more monitors and tiles than there are slices: the slices stop at their maximum.
  std::vector<MonitorRect> many(100, MonitorRect{0, 0, 30000, 30000});
  for (int i = 0; i < 100; ++i) many[i].x = i;  // each distinct
  EXPECT_EQ(LayOutPicture(many.data(), 100, 32767, 32767, 1024, 1024).sliceCount, MaxViewSlices);
  const MonitorRect huge[] = {{2147483000, 0, 2147483647, 100}, {0, 0, 2147483647, 2147483647}};
  const PictureLayout h = LayOutPicture(huge, 2, 2147483647, 2147483647, 8192, 8192);
  const ViewSlice& last = h.slice[h.sliceCount - 1];
  EXPECT_LE(last.viewport[0] + last.viewport[2], 1 << 20);  // hostile sizes stay in range
  // A window reported without height still gives a finite picture one pixel high.
  const PictureLayout flat = LayOutPicture(nullptr, 0, 640, 0, 0, 0);
  EXPECT_EQ(flat.height, 1);
  EXPECT_TRUE(std::isfinite(flat.halfWidth));
}

}  // namespace
}  // namespace varenko

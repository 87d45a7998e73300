// The sky's generated data: the star field and its bound, the skyline and horizon glow, the star
// dome, the cloud grid and the cloud update.
#include "renderer/scene/sky.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

#include "renderer/host/settings.h"
#include "renderer/scene/pictures.h"
#include "renderer/scene/sky_texels.h"
#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/random.h"

namespace varenko {
namespace {

// Twenty stars a unit of density, none below zero, and a cap that huge densities stop at alike.
TEST(StarField, StarCountIsTwentyPerUnitAndBounded) {
  EXPECT_EQ(StarCount(0), 0);
  EXPECT_EQ(StarCount(-3), 0) << "negative densities scatter nothing";
  EXPECT_EQ(StarCount(INT_MIN), 0);
  EXPECT_EQ(StarCount(20), 400);
  EXPECT_EQ(StarCount(107374183), MaxStarDraws) << "20 x this overflows a 32-bit int";
  EXPECT_EQ(StarCount(INT_MAX), MaxStarDraws);
  EXPECT_EQ(MaxStarDraws, 512 * 512 * 4);
  srand(99);
  const auto huge = StarFieldTexels(2000000000);
  const std::uint32_t afterHuge = RandState();
  srand(99);
  const auto capped = StarFieldTexels(60000);  // 1.2 million, also above the cap
  EXPECT_EQ(RandState(), afterHuge);
  EXPECT_TRUE(huge == capped);
}

// The star field replayed draw by draw from its rule.
std::vector<unsigned char> ReplayStars(int count) {
  std::vector<unsigned char> image(512 * 512 * 3, 0);
  auto set = [&](int r, int c, int c0, int c1, int c2) {
    unsigned char* t = &image[(r * 512 + c) * 3];
    t[0] = c0 & 255, t[1] = c1 & 255, t[2] = c2 & 255;
  };
  for (int n = 0; n < count; ++n) {
    const int row = Q(508) + 2, column = Q(508) + 2;
    int c[3];
    for (int& x : c) x = Q(36) + 220;
    const int full = Q(3);
    if (full < 3) c[full] = 255;
    set(row, column, c[0], c[1], c[2]);
    const int shape = Q(6);
    const int edges[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}},
              corners[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    if (shape <= 2) {
      set(row, column, (c[0] & 255) / 2, (c[1] & 255) / 2, (c[2] & 255) / 2);
      int d[3];
      for (int& x : d) x = Q(6) + 3;
      for (const auto& e : edges)
        set(row + e[0], column + e[1], c[0] / d[0], c[1] / d[1], c[2] / d[2]);
    } else if (shape <= 4) {
      for (const auto& e : edges) set(row + e[0], column + e[1], c[0] >> 1, c[1] >> 1, c[2] >> 1);
    } else if (shape == 5) {
      for (const auto& e : edges) {
        set(row + e[0], column + e[1], static_cast<int>(c[0] * 0.75f),
            static_cast<int>(c[1] * 0.75f), static_cast<int>(c[2] * 0.75f));
      }
      for (const auto& e : corners) set(row + e[0], column + e[1], c[0] >> 2, c[1] >> 2, c[2] >> 2);
    }
  }
  return image;
}

// Seed, density and stars: a negative density scatters none and draws nothing.
TEST(StarField, ReplaysItsRuleDrawByDraw) {
  const struct {
    std::uint32_t seed;
    int density, stars;
  } cases[] = {{1u, 20, 400}, {2024u, 20, 400}, {2654435761u, 20, 400}, {2024u, -20, 0}};
  for (const auto& c : cases) {
    srand(c.seed);
    const auto want = ReplayStars(c.stars);
    const std::uint32_t after = RandState();
    srand(c.seed);
    EXPECT_TRUE(StarFieldTexels(c.density) == want) << c.seed << " " << c.density;
    EXPECT_EQ(RandState(), after) << "no draw more, none less";
  }
}

// The horizon replayed draw by draw from its rule: presence, glow colour, mottling window,
// skyline by midpoint displacement, silhouette.
void ReplaySkyline(int (&s)[SkylineLength], int lo, int hi) {
  const int a = hi - lo;
  if (a <= 1) return;
  const int mid = (lo + hi) / 2;
  s[mid] = std::max((s[lo] + s[hi]) / 2 + (rand() * (a / 2)) / 32767 - a / 4, 1);
  ReplaySkyline(s, lo, mid);
  ReplaySkyline(s, mid, hi);
}
bool ReplayHorizon(std::vector<unsigned char>& image, int (&skyline)[SkylineLength], int& kind) {
  if (Q(4) == 0) return false;
  const int red = Q(3) != 0 ? Q(42) + 60 : Q(102);
  const int green = Q(red);
  const int blue = green < 50 ? 100 - Q(red) : 0;
  image.assign(512 * 512 * 3, 0);
  const bool mottled = Q(3) != 0;
  const int oy = mottled ? Q(512) : 0, ox = mottled ? Q(512) : 0;
  kind = (mottled ? 1 : 0) + (blue != 0 ? 2 : 0);
  const unsigned char* clouds = CloudImage();
  for (int r = 0; r < 512; ++r) {
    for (int c = 0; c < 512; ++c) {
      const unsigned char* cloud = &clouds[(((oy + r) % 512) * 512 + (ox + c) % 512) * 2];
      unsigned char* t = &image[(r * 512 + c) * 3];
      t[0] = static_cast<unsigned char>(mottled ? red * cloud[1] / 256 : red);
      t[1] = static_cast<unsigned char>(mottled ? green * cloud[0] * cloud[1] / 65536 : green);
      t[2] = static_cast<unsigned char>(blue);
    }
  }
  skyline[0] = skyline[512] = Q(10) + 5;
  ReplaySkyline(skyline, 0, 512);
  for (int r = 0; r < 512; ++r) {
    unsigned char* row = &image[r * 512 * 3];
    const int h = skyline[r];
    std::fill(row, row + (h + 1) * 3, 0);
    for (int k = 0; k < 3; ++k) {
      row[(h + 1) * 3 + k] >>= 2;
      row[(h + 2) * 3 + k] >>= 1;
      row[(h + 3) * 3 + k] = static_cast<unsigned char>(row[(h + 3) * 3 + k] * 0.75f);
    }
  }
  return true;
}

TEST(Horizon, ReplaysItsRuleDrawByDraw) {
  int seenKinds = 0, absent = 0;
  for (std::uint32_t i = 0; i < 24; ++i) {
    SCOPED_TRACE(::testing::Message() << "seed " << i * 2654435761u);
    srand(i * 2654435761u);
    std::vector<unsigned char> want, image;
    int wantSkyline[SkylineLength] = {}, skyline[SkylineLength] = {}, kind = 0;
    const bool present = ReplayHorizon(want, wantSkyline, kind);
    const std::uint32_t after = RandState();
    srand(i * 2654435761u);
    ASSERT_EQ(MakeHorizon(CloudImage(), image, skyline), present);
    EXPECT_EQ(RandState(), after) << "no draw more, none less";
    absent += present ? 0 : 1;
    EXPECT_EQ(image.empty(), !present) << "nothing made without a horizon";
    if (!present) continue;
    seenKinds |= 1 << kind;
    EXPECT_TRUE(std::equal(skyline, skyline + SkylineLength, wantSkyline));
    EXPECT_TRUE(image == want);
  }
  EXPECT_GT(absent, 0);
  EXPECT_EQ(seenKinds, 15) << "plain and mottled glows, with and without blue";
}

TEST(SkyMeshes, EveryDomeAndCloudGridVertexFollowsItsFormulas) {
  DomeVertex dome[DomeRings][DomeColumns];
  MakeStarDome(dome);
  for (int i = 0; i < DomeRings; ++i) {
    for (int j = 0; j < DomeColumns; ++j) {
      const double a = i * std::numbers::pi / 12, b = j * std::numbers::pi / 6;
      const double r = 20000 * std::cos(a), w = 1.2 * (2.5 - std::sin(a)) * std::cos(a);
      const double cb = std::cos(b), sb = std::sin(b), y = 18500 * std::sin(a) + 1500;
      const double want[6] = {r * cb, y, r * sb, w * cb, w * sb, i == 0 ? 0.0 : 1.0};
      const DomeVertex& v = dome[i][j];
      const double got[6] = {v.x, v.y, v.z, v.s, v.t, v.brightness};
      for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(got[k], want[k], k < 3 ? 0.05 : 1e-5) << i << "," << j << " #" << k;
    }
  }
  for (int ambient : {10, 0, 30}) {
    BuildCloudGrid(ambient);
    for (int r = 0; r < 49; ++r) {
      for (int c = 0; c < 49; ++c) {
        const double fr = std::abs(r - 24) / 24.0, fc = std::abs(c - 24) / 24.0;
        const double y = 2000 - 1000 * (fr * fr + fc * fc);
        const double shade = std::max(0.0, (y - 1000) * ambient * 0.00001);
        const double x = (r - 24) * 833.3333, z = (c - 24) * 833.3333;
        const double want[6] = {x, y, z, -r * 0.125, -c * 0.125, shade};
        const CloudVertex& v = CloudGrid[r][c];
        const double got[6] = {v.x, v.y, v.z, v.s, v.t, v.shade};
        for (int k = 0; k < 6; ++k)
          ASSERT_NEAR(got[k], want[k], k < 3 ? 0.01 : 1e-6) << r << "," << c << " #" << k;
      }
    }
  }
  EXPECT_NEAR(CloudGrid[24][24].shade, 0.3, 1e-6) << "2000 over the centre";
}

// The scroll follows the wind within one turn; burst light is reset each frame, only if cloudy.
TEST(CloudUpdate, ScrollFollowsTheWindAndBurstLightIsResetOnlyWhenCloudy) {
  EXPECT_EQ(AdvanceCloudScroll(0.0f, 0, 0.05f), 0.0f) << "no wind, no drift";
  EXPECT_NEAR(AdvanceCloudScroll(0.0f, 20, 0.05f), 0.00015f, 1e-9f);
  EXPECT_NEAR(AdvanceCloudScroll(0.9999f, 20, 0.05f), 0.00005f, 1e-6f);
  for (int wind : {-20, INT_MIN, INT_MAX, 2000000000}) {
    float scroll = 0.0f;
    for (int frame = 0; frame < 100; ++frame) {
      scroll = AdvanceCloudScroll(scroll, wind, frame % 2 ? 0.05f : 36000.0f);
      ASSERT_GE(scroll, 0.0f) << wind;
      ASSERT_LE(scroll, 1.0f) << wind;
    }
  }
  ApplyDefaults();
  settings.ambientLevel = 10;
  settings.windSpeed = 20;
  BuildCloudGrid(settings.ambientLevel);
  sky.cloudScroll = 0.0f;
  dt = 0.05f;
  CloudGrid[24][24].red = 1.0f;  // as a flash's light would
  UpdateClouds();
  EXPECT_FLOAT_EQ(CloudGrid[24][24].red, CloudGrid[24][24].shade);
  EXPECT_NEAR(CloudGrid[3][0].s, sky.cloudScroll - 0.375f, 1e-6f);
  EXPECT_GT(sky.cloudScroll, 0.0f);

  settings.cloudy = 0;
  const float before = sky.cloudScroll;
  CloudGrid[24][24].red = 1.0f;
  UpdateClouds();
  EXPECT_EQ(sky.cloudScroll, before);
  EXPECT_EQ(CloudGrid[24][24].red, 1.0f) << "a clear sky has no cloud update";
}

}  // namespace
}  // namespace varenko

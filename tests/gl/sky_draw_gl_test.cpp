// The sky drawn the cheap way against the plain way, frame by frame over seeded shows: the same
// picture within a mean difference of a grey level, the textures left as the other passes use
// them, and the rest of the frame untouched.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "renderer/host/settings.h"
#include "renderer/scene/frame.h"
#include "renderer/scene/sky.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/saver_settings.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

constexpr int Width = 640, Height = 360;

std::vector<unsigned char> SkyPicture(bool reference) {
  referenceSkyDraw = reference;
  glClear(GL_COLOR_BUFFER_BIT);
  DrawScenery();
  referenceSkyDraw = false;
  return gltest::SharedContext().ReadPixels();
}

// Mean absolute difference per colour channel, 0..1, and the share of lit pixels in `a`.
double MeanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                      double& litShare) {
  double sum = 0.0;
  int lit = 0;
  for (std::size_t i = 0; i < a.size(); i += 4) {
    for (std::size_t k = 0; k < 3; ++k) sum += std::abs(a[i + k] - b[i + k]);
    lit += a[i] + a[i + 1] + a[i + 2] > 24 ? 1 : 0;
  }
  litShare = lit / (a.size() / 4.0);
  return sum / (a.size() / 4 * 3) / 255.0;
}

struct Show {
  const char* name;
  SaverSettings values;
  std::uint32_t seed;
  bool horizon;  // whether the seed draws a horizon band with these settings
};

TEST(SkyDrawGl, CheapSkyMatchesThePlainOneOverSeededShows) {
  ASSERT_TRUE(gltest::PreparedContext(Width, Height).ready());
  ApplyDefaults();
  const SaverSettings defaults = settings;
  const Show shows[] = {
      {"default", defaults, 5, false},
      {"heaviest", {30, 30, 100, 30, 100, 100, 1, 1, 0}, 3, true},
      {"lit clouds, strong wind", {20, 5, -100, 30, 100, 0, 1, 1, 0}, 1, true},
  };
  for (const Show& show : shows) {
    settings = show.values;
    SeedShow(show.seed);
    SetUpScene(Width, Height);
    EXPECT_EQ(sky.horizonPresent, show.horizon) << show.name;
    for (int frame = 1; frame <= 160; ++frame) {
      RunFixedStepFrame(0.05f);
      if (frame % 40 != 0) continue;
      double lit = 0.0;
      const std::vector<unsigned char> plain = SkyPicture(true);
      const double mae = MeanDifference(plain, SkyPicture(false), lit);
      EXPECT_LT(mae, 0.004) << show.name << " frame " << frame;
      EXPECT_GT(lit, 0.001) << show.name << " frame " << frame << ": the sky shows nothing";
      // The shock ring draws with the cloud texture: its trilinear filtering is left as it was.
      for (unsigned texture : {sky.cloudTexture, sky.starTexture, sky.horizonTexture}) {
        if (texture == 0) continue;
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR) << show.name << " texture " << texture;
      }
      for (GLenum array : {GL_VERTEX_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY})
        EXPECT_FALSE(glIsEnabled(array)) << show.name;
    }
    ReleaseScene();
  }
  settings = defaults;
}

}  // namespace
}  // namespace varenko

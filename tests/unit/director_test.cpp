// The show director: launch pace and cap, shell and fountain preparation, the burst choice and
// the burst dispatcher.
#include "renderer/sim/director.h"

#include <cmath>

#include "renderer/sim/show.h"
#include "renderer/sim/sprite_lists.h"
#include "renderer/sim/update.h"
#include "tests/unit/show_test_support.h"

namespace varenko {
namespace {

class ShowDirector : public ShowTest {
 protected:
  void SetUp() override {
    ShowTest::SetUp();
    forcedBurstKind = -1;
    director = {0.0f, 20.0f, 0.0f, 0};
  }
  void TearDown() override {
    forcedBurstKind = -1;
    ShowTest::TearDown();
  }
};

TEST_F(ShowDirector, LaunchWaitWithTenFireworksIsUniformUpToOneSecond) {
  settings.maxShells = 10;
  StartDirector();
  EXPECT_FLOAT_EQ(director.intervalBase, 1.0f);
  dt = 0.0f;  // hold the pace: no change of rhythm in this test
  double sum = 0.0;
  const int opportunities = 4000;
  for (int i = 0; i < opportunities; ++i) {
    director.launchTimer = 0.0f;
    director.shellsInFlight = 0;
    LaunchStep();
    ASSERT_GE(director.launchTimer, 0.0f);
    ASSERT_LE(director.launchTimer, 1.0f);
    sum += director.launchTimer;
    ClearPool();
  }
  EXPECT_NEAR(sum / opportunities, 0.5, 0.03);
}

TEST_F(ShowDirector, CapOnShellsInFlightStopsLaunchesButReArms) {
  settings.maxShells = 10;
  StartDirector();
  director.shellsInFlight = 10;
  director.launchTimer = 0.0f;
  LaunchStep();
  EXPECT_TRUE(Live().empty());  // not even a fountain
  EXPECT_GE(director.launchTimer, 0.0f);
  EXPECT_LE(director.launchTimer, 1.0f);

  // Below the cap every opportunity launches a shell or one to three fountains.
  int shells = 0, fountains = 0;
  for (int i = 0; i < 600; ++i) {
    director.shellsInFlight = 9;
    director.launchTimer = 0.0f;
    const int before = static_cast<int>(Live().size());
    LaunchStep();
    const auto all = Live();
    const int made = static_cast<int>(all.size()) - before;
    if (all.back()->kind == Shell) {
      ASSERT_EQ(made, 1);
      EXPECT_EQ(director.shellsInFlight, 10);
      ++shells;
    } else {
      ASSERT_GE(made, 1);
      ASSERT_LE(made, 3);
      EXPECT_EQ(director.shellsInFlight, 9);  // fountains are not shells
      ++fountains;
    }
  }
  EXPECT_GT(shells, 540);
  EXPECT_GT(fountains, 5);
  EXPECT_LT(fountains, 45);
}

TEST_F(ShowDirector, PaceChangesAfterTwentySecondsThenEveryTenToForty) {
  settings.maxShells = 10;
  StartDirector();
  director.shellsInFlight = 1000;  // nothing launched; only the timers matter here
  dt = 19.9f;
  LaunchStep();
  EXPECT_FLOAT_EQ(director.intervalBase, 1.0f);
  dt = 0.2f;
  LaunchStep();
  EXPECT_GE(director.intervalBase, 1.0f);
  EXPECT_LE(director.intervalBase, 17.0f + 1e-4f);
  EXPECT_GE(director.rhythmTimer, 10.0f);
  EXPECT_LE(director.rhythmTimer, 40.0f);
}

TEST_F(ShowDirector, NoFireworksOrNegativeOnesNeverLaunch) {
  for (int n : {0, -1, -2147483647 - 1}) {
    settings.maxShells = n;
    director = {0.0f, 20.0f, 0.0f, 0};
    StartDirector();
    EXPECT_TRUE(std::isfinite(director.intervalBase));
    dt = 0.5f;
    for (int i = 0; i < 200; ++i) LaunchStep();
    EXPECT_TRUE(Live().empty()) << n;
    EXPECT_GT(director.launchTimer, 0.0f);  // re-armed for a minute
  }
}

TEST_F(ShowDirector, HugeNumberOfFireworksLaunchesAtMostOnePerFrameUpToThirty) {
  settings.maxShells = 2147483647;
  StartDirector();
  EXPECT_GT(director.intervalBase, 0.0f);
  dt = 0.02f;
  for (int frame = 1; frame <= 300; ++frame) {
    const size_t before = Live().size();
    LaunchStep();
    ASSERT_LE(Live().size() - before, 3u);  // one shell, or up to three fountains
  }
  EXPECT_EQ(director.shellsInFlight, 30);  // counts as the dialog's largest value
}

TEST_F(ShowDirector, LaunchedShellAndForcedBurstKind) {
  Particle& p = AllocateParticle();
  p.lifeFrac = -1.0f;  // a recycled record's leftover
  LaunchShell(p);
  EXPECT_EQ(p.kind, Shell);
  EXPECT_EQ(p.pos.y, 5.0f);
  EXPECT_EQ(p.prevPos.y, 4.0f);
  EXPECT_EQ(p.prevPos.x, p.pos.x);
  EXPECT_LE(std::fabs(p.pos.x), 100.0f);
  EXPECT_EQ(p.vel.y, 60.0f);
  EXPECT_EQ(p.colour.z, 0.3f);
  EXPECT_GE(p.lifeTotal, 5.0f);
  EXPECT_LE(p.lifeTotal, 7.0f);
  EXPECT_EQ(p.lifeFrac, 1.0f);  // the motor burns from the first update
  EXPECT_LE(p.aux[3], 30.0f * std::fabs(p.aux[2]) + 175.0f);
  EXPECT_NEAR(p.heading.Length(), 1.0f, 1e-5f);
  EXPECT_EQ(p.heading.y, 0.0f);
  EXPECT_EQ(p.emitsTrail, 1u);

  ClearPool();
  settings.maxShells = 10;
  StartDirector();
  forcedBurstKind = 19;
  for (int i = 0; i < 200; ++i) {
    director.launchTimer = 0.0f;
    director.shellsInFlight = 0;
    LaunchStep();
  }
  for (const Particle* s : LiveOfKind(Shell)) EXPECT_EQ(s->burstKind, 19u);
  EXPECT_GT(LiveOfKind(Shell).size(), 150u);
}

TEST_F(ShowDirector, BurstKindFrequencies) {
  int counts[21] = {};
  const int draws = 600000;
  for (int i = 0; i < draws; ++i) {
    const unsigned k = ChooseBurstKind();
    ASSERT_LE(k, 20u);
    ++counts[k];
  }
  auto near = [&](int kind, double share) {
    EXPECT_NEAR(counts[kind] / static_cast<double>(draws), share, share * 0.1) << kind;
  };
  near(0, 0.5 * 0.9 * 0.5);
  near(1, 0.5 * 0.9 * 0.5);
  near(2, 0.05);
  for (int k = 3; k <= 5; ++k) near(k, 1.0 / 18);
  for (int k = 6; k <= 7; ++k) near(k, 1.0 / 24);
  for (int k = 8; k <= 11; ++k) near(k, 1.0 / 48);
  for (int k = 12; k <= 14; ++k) near(k, 1.0 / 36);
  for (int k = 15; k <= 18; ++k) near(k, 1.0 / 48);
  EXPECT_GT(counts[19] + counts[20], 100);  // about one in 3000
  EXPECT_LT(counts[19] + counts[20], 320);
}

TEST_F(ShowDirector, FountainAndPinwheel) {
  Particle& f = AllocateParticle();
  LaunchFountain(f);
  EXPECT_EQ(f.kind, Fountain);
  EXPECT_EQ(f.pos.y, 5.0f);
  EXPECT_LE(std::fabs(f.pos.x), 150.0f);
  EXPECT_EQ(f.alpha, 0.0f);
  EXPECT_GE(f.lifeTotal, 10.0f);
  EXPECT_LE(f.lifeTotal, 15.0f);

  Particle& p = MakeSource(Vec3(1.0f, 2.0f, 3.0f), Vec3(4.0f, 5.0f, 6.0f));
  MakePinwheel(p);
  EXPECT_EQ(p.kind, Pinwheel);
  EXPECT_EQ(p.pos.z, 3.0f);  // position and velocity kept
  EXPECT_EQ(p.vel.z, 6.0f);
  EXPECT_NEAR(p.heading.Length(), 1.0f, 1e-5f);
  EXPECT_GE(p.aux[2], 12.0f);
  EXPECT_LE(p.aux[2], 15.0f);
  EXPECT_EQ(p.emitsTrail, 1u);
  EXPECT_EQ(LiveOfKind(Flash).size(), 0u);  // no flash
}

TEST_F(ShowDirector, BurstDispatch) {
  // A finale low in the sky makes a plain sphere instead.
  for (unsigned finale : {19u, 20u}) {
    ClearPool();
    Particle& s = MakeSource(Vec3(0.0f, 999.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
    s.burstKind = finale;
    Burst(s);
    EXPECT_EQ(s.kind, Flash);
    EXPECT_EQ(s.burstKind, 0u);
    const size_t stars = LiveOfKind(Star).size();
    EXPECT_TRUE(stars == 175u || stars == 225u) << stars;
    EXPECT_TRUE(LiveOfKind(Gather).empty() && LiveOfKind(Swirl).empty());
  }
  // High enough, it is the finale.
  ClearPool();
  Particle& high = MakeSource(Vec3(0.0f, 1000.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  high.burstKind = 20;
  Burst(high);
  EXPECT_EQ(high.kind, Swirl);

  // Unknown kinds leave a plain flash; the salute is a larger white one.
  for (unsigned kind : {18u, 21u, 99u, 103u, 4000000000u}) {
    ClearPool();
    Particle& s = MakeSource(Vec3(0.0f, 500.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
    s.burstKind = kind;
    Burst(s);
    EXPECT_EQ(s.kind, Flash);
    EXPECT_EQ(s.size, 100.0f);
    EXPECT_EQ(s.lifeTotal, 0.5f);
    EXPECT_EQ(Live().size(), 1u) << kind;
  }
  ClearPool();
  Particle& salute = MakeSource(Vec3(0.0f, 500.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  salute.burstKind = 17;
  Burst(salute);
  EXPECT_EQ(salute.size, 150.0f);
  EXPECT_EQ(salute.colour.x, 1.0f);
  EXPECT_EQ(salute.colour.z, 1.0f);
  EXPECT_EQ(Live().size(), 1u);

  // What each kind makes, by count and kind of record.
  struct Made {
    unsigned burstKind;
    unsigned kind;
    size_t count;
  };
  const Made table[] = {{3, Star, 70},      {4, Star, 240},       {5, Star, 220},
                        {6, EmberStar, 40}, {7, TrailStar, 40},   {8, EmberStar, 25},
                        {9, TrailStar, 25}, {10, EmberStar, 20},  {11, TrailStar, 20},
                        {12, SubShell, 8},  {15, SubShell, 250},  {16, Bee, 30},
                        {100, Star, 30},    {101, EmberStar, 10}, {102, TrailStar, 10}};
  for (const Made& m : table) {
    ClearPool();
    Particle& s = MakeSource(Vec3(0.0f, 500.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
    s.burstKind = m.burstKind;
    Burst(s);
    EXPECT_EQ(LiveOfKind(m.kind).size(), m.count) << m.burstKind;
  }
  // The sub-shell variants follow the burst kind.
  ClearPool();
  Particle& s = MakeSource(Vec3(0.0f, 500.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
  s.burstKind = 14;
  Burst(s);
  for (const Particle* p : LiveOfKind(SubShell)) EXPECT_EQ(p->burstKind, 7u);
}

}  // namespace
}  // namespace varenko

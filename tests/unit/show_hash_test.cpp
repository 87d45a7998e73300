// Determinism of the whole show: a seeded show without a window, stepped at a fixed step over the
// default and the heaviest dialog settings (and with either finale forced), must end in exactly
// the recorded hash (the first two as bench/show_soak --dt 0.05 prints them). Any change to a rule,
// a draw or the order of draws changes it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <utility>

#include "renderer/host/settings.h"
#include "renderer/sim/burst_kinds.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/show.h"

namespace varenko {
namespace {

TEST(ShowHash, SeededShowsEndInTheRecordedHash) {
  const struct {
    const char* settings;  // values "00" to "07"; empty: the defaults
    int forced;
    int frames;  // at 0.05 s
    std::uint64_t hash;
    int peakLive;
  } shows[] = {
      {"", NoForcedBurst, 1200, 0x5a807da8d7fded5fULL, 3051},
      {"30,30,100,30,100,100,1,1", NoForcedBurst, 240, 0x3b68ee47ccbd03adULL, 12078},
      {"", BurstGatherFinale, 500, 0xd7ef56041903af18ULL, 4234},
      {"30,30,100,30,100,100,1,1", BurstSwirlFinale, 200, 0x9223c64c1bb8e19fULL, 12693},
  };
  for (const auto& s : shows) {
    ApplyDefaults();
    std::string_view rest = s.settings;
    for (int k = 0; !rest.empty(); ++k) {
      const std::size_t comma = rest.find(',');
      StoreSettingText(k, rest.substr(0, comma));
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    StartHeadlessShow(7, 0.05f, s.forced);
    for (int f = 0; f < s.frames; ++f) StepSimulation();
    EXPECT_EQ(ShowHash(), s.hash) << s.settings << " forced " << s.forced;
    EXPECT_EQ(PeakLiveParticles(), s.peakLive);
  }
  ResetShow();
  ApplyDefaults();
}

// A show started after another one in the same process plays exactly as if it were the first:
// the pool, the director, the smoke grey, the first-frame values and the peak all start again.
TEST(ShowHash, ASecondShowStartsAfresh) {
  const auto play = [](int ambient, int frames) {
    ApplyDefaults();
    settings.ambientLevel = ambient;
    StartHeadlessShow(3, 0.05f);
    for (int f = 0; f < frames; ++f) StepSimulation();
    return std::make_pair(ShowHash(), PeakLiveParticles());
  };
  const auto first = play(10, 200);
  play(60, 300);  // brighter smoke, more particles at its peak
  EXPECT_EQ(play(10, 200), first);

  // The renderer's start: the generator seeded, its first 20 draws discarded, the forced kind set.
  StartShow(11, BurstCrackle);
  const std::uint32_t started = RandState();
  srand(11);
  for (int i = 0; i < 20; ++i) rand();
  EXPECT_EQ(started, RandState());
  EXPECT_EQ(show.forcedBurstKind, static_cast<int>(BurstCrackle));
  EXPECT_EQ(LiveParticleCount(), 0);
  ResetShow();
  ApplyDefaults();
}

}  // namespace
}  // namespace varenko

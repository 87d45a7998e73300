// Determinism of the whole show: a seeded show without a window, stepped at a fixed step over the
// default and the heaviest dialog settings (and with either finale forced), on the neighbour grids
// and on the whole-pool walk alike, must end in exactly the recorded hash (the first two as
// bench/show_soak --dt 0.05 prints them). Any change to a rule, a draw or the order of draws
// changes it.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "renderer/host/settings.h"
#include "renderer/sim/burst_kinds.h"
#include "renderer/sim/neighbour_index.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/show.h"

namespace varenko {
namespace {

// The heaviest settings the dialog offers.
constexpr SaverSettings Heaviest = {30, 30, 100, 30, 100, 100, 1, 1, 0};

TEST(ShowHash, SeededShowsEndInTheRecordedHash) {
  const struct {
    bool heaviest;       // else the defaults
    int forced, frames;  // frames of 0.05 s
    std::uint64_t hash;
    int peakLive;
  } shows[] = {
      {false, NoForcedBurst, 1200, 0x5a807da8d7fded5fULL, 3051},
      {true, NoForcedBurst, 240, 0x3b68ee47ccbd03adULL, 12078},
      {false, BurstGatherFinale, 500, 0xd7ef56041903af18ULL, 4234},
      {true, BurstSwirlFinale, 200, 0x9223c64c1bb8e19fULL, 12693},
  };
  // The same on the neighbour grids and on the reference pass that walks the whole pool.
  for (const NeighbourSearch path : {NeighbourSearch::Grid, NeighbourSearch::WholePool}) {
    neighbours.search = path;
    for (const auto& s : shows) {
      ApplyDefaults();
      if (s.heaviest) settings = Heaviest;
      StartHeadlessShow(7, 0.05f, s.forced);
      for (int f = 0; f < s.frames; ++f) StepSimulation();
      EXPECT_EQ(ShowHash(), s.hash) << s.heaviest << " forced " << s.forced;
      EXPECT_EQ(PeakLiveParticles(), s.peakLive);
    }
  }
  neighbours.search = NeighbourSearch::Grid;
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

  // Nothing is in flight when a show starts: even with a cap of one the first frame launches.
  settings.maxShells = 1;
  StartHeadlessShow(1, 0.05f);
  StepSimulation();
  EXPECT_GT(LiveParticleCount(), 0);

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

// Simulation time per frame with lighting and force fields searching the neighbour grids, against
// the reference pass (every light and field walking the whole pool), in one run: for the default
// show, the heaviest dialog settings and each wave finale forced on every shell, the mean, 99th
// percentile and worst frame, the first frame, the distance tests per frame, the grid's memory and
// the show's hash (which must be the same on both paths). Usage: neighbour_bench [--seconds S]
// [--dt D] [--seed N]
// [--rounds R] (each path runs R times in turn; the best mean of each is printed)
// [--only NAME] (one show: default, heaviest, gather or swirl)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "renderer/host/settings.h"
#include "renderer/sim/burst_kinds.h"
#include "renderer/sim/neighbour_index.h"
#include "renderer/sim/show.h"

namespace varenko {
namespace {

constexpr SaverSettings Heaviest = {30, 30, 100, 30, 100, 100, 1, 1, 0};

struct Figures {
  double meanMs, p99Ms, worstMs, firstMs, testsPerFrame;
  std::size_t indexBytes;
  unsigned long long hash;
};

Figures Play(bool heaviest, int forced, NeighbourSearch path, double seconds, double step,
             unsigned seed) {
  using Clock = std::chrono::steady_clock;
  ApplyDefaults();
  if (heaviest) settings = Heaviest;
  ResetNeighbourIndex();
  neighbours.search = path;
  const long frames = std::max(1L, static_cast<long>(seconds / step + 0.5));
  std::vector<double> ms;
  ms.reserve(static_cast<std::size_t>(frames));
  std::size_t peakBytes = 0;
  const Clock::time_point start = Clock::now();
  StartHeadlessShow(seed, static_cast<float>(step), forced);
  for (long f = 0; f < frames; ++f) {
    const Clock::time_point t0 = Clock::now();
    StepSimulation();
    const Clock::time_point t1 = Clock::now();
    ms.push_back(std::chrono::duration<double, std::milli>(t1 - (f == 0 ? start : t0)).count());
    peakBytes = std::max(peakBytes, NeighbourIndexBytes());
  }
  Figures out{};
  out.firstMs = ms.front();
  out.hash = ShowHash();
  out.testsPerFrame = static_cast<double>(neighbours.distanceTests) / static_cast<double>(frames);
  out.indexBytes = peakBytes;
  double total = 0.0;
  for (double m : ms) total += m;
  out.meanMs = total / static_cast<double>(frames);
  std::sort(ms.begin(), ms.end());
  out.p99Ms = ms[static_cast<std::size_t>(0.99 * static_cast<double>(frames - 1))];
  out.worstMs = ms.back();
  ResetShow();
  ResetNeighbourIndex();
  return out;
}

void Print(const char* show, const char* path, const Figures& f) {
  std::printf(
      "%-9s %-9s mean_ms=%.3f p99_ms=%.2f worst_ms=%.2f first_ms=%.3f tests_per_frame=%.0f "
      "index_kib=%.0f hash=%016llx\n",
      show, path, f.meanMs, f.p99Ms, f.worstMs, f.firstMs, f.testsPerFrame,
      static_cast<double>(f.indexBytes) / 1024.0, f.hash);
}

int Run(int argc, char** argv) {
  double seconds = 60.0;
  double step = 1.0 / 60.0;
  unsigned seed = 7;
  int rounds = 1;
  std::string_view only;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view opt = argv[i];
    if (opt == "--seconds") seconds = std::atof(argv[i + 1]);
    if (opt == "--dt") step = std::atof(argv[i + 1]);
    if (opt == "--seed") seed = static_cast<unsigned>(std::atol(argv[i + 1]));
    if (opt == "--rounds") rounds = std::clamp(std::atoi(argv[i + 1]), 1, 20);
    if (opt == "--only") only = argv[i + 1];
  }
  if (!(step > 0.0 && step <= 1.0) || !(seconds > 0.0 && seconds <= 36000.0)) {
    std::fprintf(stderr, "neighbour_bench: --dt must be in (0, 1], --seconds in (0, 36000]\n");
    return 2;
  }
  const struct {
    const char* name;
    bool heaviest;
    int forced;
  } shows[] = {{"default", false, NoForcedBurst},
               {"heaviest", true, NoForcedBurst},
               {"gather", true, BurstGatherFinale},
               {"swirl", true, BurstSwirlFinale}};
  int mismatches = 0;
  for (const auto& s : shows) {
    if (!only.empty() && only != s.name) continue;
    Figures best[2] = {};
    for (int r = 0; r < rounds; ++r) {
      for (int k = 0; k < 2; ++k) {
        const NeighbourSearch path = k == 0 ? NeighbourSearch::WholePool : NeighbourSearch::Grid;
        const Figures f = Play(s.heaviest, s.forced, path, seconds, step, seed);
        if (r == 0 || f.meanMs < best[k].meanMs) best[k] = f;
      }
    }
    Print(s.name, "reference", best[0]);
    Print(s.name, "grid", best[1]);
    if (best[0].hash != best[1].hash) ++mismatches;
    std::fflush(stdout);
  }
  std::printf("hashes %s\n", mismatches == 0 ? "identical" : "DIFFER");
  return mismatches == 0 ? 0 : 1;
}

}  // namespace
}  // namespace varenko

int main(int argc, char** argv) { return varenko::Run(argc, argv); }

// A long seeded show at a fixed step, simulation only: prints one line per sample interval with the
// live particles, the pool's node count, the resident memory and the worst and mean simulation
// time of a frame in that interval, then a summary line with the show's hash (ShowHash).
// bench/soak.sh and the worst-frame measurement of extreme settings run it. Usage: show_soak
// [--settings V0,V1,...,V7] [--seconds S] [--dt D] [--sample S] [--seed N]
//                  [--wall-limit S]   (stops early once S seconds of real time have passed)
//                  [--burst K]        (every shell gets burst kind K, as the renderer's --burst)
//                  [--reference-walk] (lighting walks the whole pool: the reference pass)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/settings_keys.h"
#include "renderer/host/settings.h"
#include "renderer/sim/burst_kinds.h"
#include "renderer/sim/neighbour_index.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/show.h"

namespace varenko {
namespace {

long ResidentKiB() {
  long pages = 0;
  long resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * 4;
}

int Run(int argc, char** argv) {
  double seconds = 60.0;
  double step = 1.0 / 60.0;
  double sample = 60.0;
  double wallLimit = 1e30;
  unsigned seed = 7;
  int burst = NoForcedBurst;
  ApplyDefaults();
  // The one option without a value is taken out first, so the others still come in pairs.
  std::vector<char*> args(argv, argv + argc);
  std::erase_if(args, [](const char* a) { return std::string_view(a) == "--reference-walk"; });
  if (static_cast<int>(args.size()) != argc) neighbours.search = NeighbourSearch::WholePool;
  argc = static_cast<int>(args.size());
  argv = args.data();
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view opt = argv[i];
    const char* value = argv[i + 1];
    if (opt == "--settings") {
      std::string_view rest = value;
      for (int k = 0; k < RendererSettingCount && !rest.empty(); ++k) {
        const std::size_t comma = rest.find(',');
        StoreSettingText(k, rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
      }
    } else if (opt == "--seconds") {
      seconds = std::atof(value);
    } else if (opt == "--dt") {
      step = std::atof(value);
    } else if (opt == "--sample") {
      sample = std::atof(value);
    } else if (opt == "--seed") {
      seed = static_cast<unsigned>(std::atol(value));
    } else if (opt == "--wall-limit") {
      wallLimit = std::atof(value);
    } else if (opt == "--burst") {
      burst = std::clamp(std::atoi(value), NoForcedBurst, static_cast<int>(BurstKindCount) - 1);
    }
  }
  StartHeadlessShow(seed, static_cast<float>(step), burst);

  using Clock = std::chrono::steady_clock;
  const Clock::time_point begin = Clock::now();
  const long frames = static_cast<long>(seconds / step + 0.5);
  const long perSample = std::max(1L, static_cast<long>(sample / step + 0.5));
  double worst = 0.0, worstAll = 0.0, total = 0.0, totalAll = 0.0;
  long done = 0;
  int peakNodes = 0;
  for (long f = 1; f <= frames; ++f) {
    const Clock::time_point t0 = Clock::now();
    StepSimulation();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    worst = std::max(worst, ms);
    total += ms;
    done = f;
    peakNodes = std::max(peakNodes, pool.nodeCount);
    const bool overWall = std::chrono::duration<double>(Clock::now() - begin).count() > wallLimit;
    if (f % perSample == 0 || f == frames || overWall) {
      const long inSample = (f - 1) % perSample + 1;
      std::printf("t=%.0fs live=%d pool=%d rss_kib=%ld worst_ms=%.2f mean_ms=%.3f\n",
                  static_cast<double>(f) * step, LiveParticleCount(), pool.nodeCount, ResidentKiB(),
                  worst, total / static_cast<double>(inSample));
      std::fflush(stdout);
      worstAll = std::max(worstAll, worst);
      totalAll += total;
      worst = 0.0;
      total = 0.0;
    }
    if (overWall) break;
  }
  std::printf(
      "summary frames=%ld of %ld show_s=%.1f worst_ms=%.2f mean_ms=%.3f peak_pool=%d "
      "peak_live=%d hash=%016llx\n",
      done, frames, static_cast<double>(done) * step, worstAll,
      totalAll / static_cast<double>(std::max(1L, done)), peakNodes, PeakLiveParticles(),
      static_cast<unsigned long long>(ShowHash()));
  ClearPool();
  return 0;
}

}  // namespace
}  // namespace varenko

int main(int argc, char** argv) { return varenko::Run(argc, argv); }

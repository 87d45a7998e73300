// Cost of a whole seeded show, frame by frame: launches, the update pass with its emitters,
// lighting and force fields, and the far-to-near sort, at 10 and 30 fireworks, and with every
// shell forced into either finale. Each run first plays 30 s of show so the pool is full of
// trails, sparks and bursts, then times 1500 further frames of 0.02 s.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "renderer/host/settings.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/show.h"

namespace varenko {
namespace {

constexpr int WarmUpFrames = 1500;
constexpr int TimedFrames = 1500;

// Args: maxShells, forced burst kind (-1: chosen per shell).
void BM_Show(benchmark::State& state) {
  ApplyDefaults();
  settings.maxShells = static_cast<int>(state.range(0));
  StartHeadlessShow(7, 0.02f, static_cast<int>(state.range(1)));
  int peak = 0;
  for (int i = 0; i < WarmUpFrames; ++i) {
    StepSimulation();
    peak = std::max(peak, LiveParticleCount());
  }
  for (auto _ : state) {
    StepSimulation();
    state.PauseTiming();
    peak = std::max(peak, LiveParticleCount());
    state.ResumeTiming();
  }
  state.counters["peak_live"] = peak;
  state.counters["pool_nodes"] = pool.nodeCount;
  ResetShow();
}

BENCHMARK(BM_Show)
    ->ArgNames({"maxShells", "burst"})
    ->Args({10, -1})
    ->Args({30, -1})
    ->Args({10, 19})
    ->Args({30, 19})
    ->Args({10, 20})
    ->Args({30, 20})
    ->Iterations(TimedFrames)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varenko

BENCHMARK_MAIN();

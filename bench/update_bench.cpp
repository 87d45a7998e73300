// Cost of the frame's simulation step over a large pool: the update pass (motion, ageing, depth
// key, end of life) with the far-to-near sort, and the sort alone.
#include <benchmark/benchmark.h>

#include "renderer/host/settings.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/show.h"
#include "renderer/sim/update.h"

namespace varenko {
namespace {

// A mixed crowd that lives through the whole run and makes nothing new, so every frame works on
// the same number of records: stars, smoke puffs, flashes, crackle carriers and bees, spread over
// a 6000-unit cube in front of a camera that looks down -z.
void FillPool(int count) {
  ApplyDefaults();
  settings.maxShells = 0;     // no launches
  settings.smokeSpan = 0;     // no trails
  settings.illumination = 0;  // lighting is the emitters' cost, measured elsewhere
  StartHeadlessShow(5, 0.02f);
  depthEye.Set(0.0f, 1000.0f, 4000.0f);
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    switch (i % 10) {
      case 0:
      case 1:
        InitSmoke(p, Vec3(0.0f, 0.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
        break;
      case 2:
        InitParticle(p, InitKind::Crackle);
        break;
      case 3:
        InitParticle(p, InitKind::Bee);
        p.kind = Star;  // a bee's sparks would grow the crowd; keep its wobble-free cousin
        break;
      case 4:
        InitParticle(p, InitKind::Star);
        p.kind = Flash;
        break;
      default:
        InitParticle(p, InitKind::Star);
        break;
    }
    const float x = U(-3000.0f, 3000.0f);
    const float y = U(3000.0f, 9000.0f);
    const float z = U(-3000.0f, 3000.0f);
    p.pos.Set(x, y, z);
    p.prevPos = p.pos;
    const float vx = U(-100.0f, 100.0f);
    const float vy = U(-100.0f, 100.0f);
    const float vz = U(-100.0f, 100.0f);
    p.vel.Set(vx, vy, vz);
    p.colour.Set(1.0f, 0.8f, 0.6f);
    p.lifeTotal = 1.0e6f;  // nobody dies during the run
    p.lifeLeft = p.lifeTotal;
    p.lifeFrac = 1.0f;
    p.emitsTrail = 0;
  }
  StepSimulation();  // key and sort once
}

void BM_UpdatePassAndSort(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  FillPool(count);
  for (auto _ : state) StepSimulation();
  state.counters["live"] = LiveParticleCount();
  state.counters["ns_per_particle"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
  ResetShow();
}
BENCHMARK(BM_UpdatePassAndSort)->Arg(10000)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_MaintainPool(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  FillPool(count);
  // Keys as a frame leaves them: mostly in order, the moved particles a little out of it.
  for (auto _ : state) {
    state.PauseTiming();
    float jitter = 0.0f;
    for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next) {
      jitter = -jitter + 0.5f;
      n->particle.depthKey += jitter * 40.0f;
    }
    state.ResumeTiming();
    MaintainPool();
  }
  state.counters["ns_per_particle"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
  ResetShow();
}
BENCHMARK(BM_MaintainPool)->Arg(10000)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varenko

BENCHMARK_MAIN();

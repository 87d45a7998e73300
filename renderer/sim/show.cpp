// The show's state record and its starts, the simulation step of one frame (smoke refresh,
// launches, the update pass over every live particle including those born during it, the
// far-to-near sort, the peak particle count) and the show's hash.
#include "renderer/sim/show.h"

#include <algorithm>
#include <cstddef>

#include "renderer/sim/frame_state.h"
#include "renderer/sim/neighbour_index.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/update.h"

namespace varenko {

namespace {

constexpr ShowState StartValues(int forcedBurstKind) {
  return {{0.0f, 20.0f, 0.0f, 0}, 0.1f, forcedBurstKind, true, 0};
}

}  // namespace

ShowState show = StartValues(NoForcedBurst);

void ResetShow(int forcedBurstKind) {
  ClearPool();
  show = StartValues(forcedBurstKind);
}

void StartShow(std::uint32_t seed, int forcedBurstKind) {
  ResetShow(forcedBurstKind);
  srand(seed);
  for (int i = 0; i < 20; ++i) rand();
}

void StartHeadlessShow(std::uint32_t seed, float step, int forcedBurstKind) {
  ResetShow(forcedBurstKind);
  BuildSmokeLifeTable();
  dt = step;
  depthEye.Set(0.0f, 400.0f, 3000.0f);
  for (int i = 0; i < 16; ++i) BillboardMatrix[i] = (i % 5 == 0) ? 1.0 : 0.0;
  srand(seed);
}

void StepSimulation() {
  if (show.firstFrame) {
    show.firstFrame = false;
    show.smokeGrey = static_cast<float>(AmbientInUse()) * 0.01f;
    StartDirector();
  }
  if (neighbours.search == NeighbourSearch::Grid) {
    RefreshAndGather(show.smokeGrey);  // the same refresh, noting the records for the grids
  } else {
    RefreshSmoke();
  }
  LaunchStep();

  // Records allocated during the pass are taken at the cursor, beyond the one being updated, so
  // this walk reaches them in the frame of their birth. A record freed here is the one just
  // visited; the walk ends at the first free record that was never handed out. The scratch
  // record of a full pool is not in the list, so a pass cannot go on for ever.
  show.director.shellsInFlight = 0;
  int live = 0;
  // The grid path also hands the sort each record's final key, sparing it a walk of the list.
  const bool noteKeys = neighbours.search == NeighbourSearch::Grid;
  if (noteKeys) BeginSortNotes();
  OpenNeighbourPass();
  PoolNode* n = pool.sentinel.next;
  for (; n != &pool.sentinel && n->particle.depthKey > FreeKey; n = n->next) {
    PrefetchNode(n->next);
    Particle& p = n->particle;
    UpdateParticle(p);
    if (p.kind == Shell) ++show.director.shellsInFlight;
    ComputeDepthKey(p);
    if (p.lifeFrac <= 0.0f || p.pos.y < 0.0f) EndOfLife(p);
    NoteVisited(p);
    if (p.depthKey > FreeKey) ++live;
    if (noteKeys) NoteSortKey(*n);
  }
  CloseNeighbourPass();

  if (noteKeys) {
    MaintainPoolFromNotes(n);
  } else {
    MaintainPool();
  }
  show.peakLive = std::max(show.peakLive, live);
}

int PeakLiveParticles() { return show.peakLive; }

std::uint64_t ShowHash() {
  std::uint64_t h = 14695981039346656037ULL;
  const auto mix = [&h](const void* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      h = (h ^ static_cast<const unsigned char*>(bytes)[i]) * 1099511628211ULL;
    }
  };
  ForEachLive([&mix](const Particle& p) {
    const float f[] = {p.pos.x,    p.pos.y,    p.pos.z,    p.vel.x,    p.vel.y, p.vel.z,
                       p.colour.x, p.colour.y, p.colour.z, p.lifeLeft, p.size,  p.depthKey};
    mix(&p.kind, sizeof p.kind);
    mix(f, sizeof f);
  });
  return h;
}

}  // namespace varenko

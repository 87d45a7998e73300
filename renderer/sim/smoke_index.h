// The smoke index: a uniform grid of the smoke puffs' positions that lets a light find the puffs
// within its radius without walking the whole pool. It lives for one update pass: built at the
// pass's first light, it follows the puffs that cross into another cell as the pass moves them and
// the puffs born during the pass, so a light sees exactly the puffs the whole-pool walk would.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "renderer/sim/pool.h"

namespace varenko {

// How a light finds the smoke around it. WholePool is the reference: every record of the pool.
enum class NeighbourSearch { Grid, WholePool };

struct SmokeIndex {
  NeighbourSearch search;      // chosen by tests and benchmarks; the show itself leaves it on Grid
  bool passOpen;               // between OpenSmokePass and CloseSmokePass: the grid may be used
  bool built;                  // the grid holds this pass's puffs
  double origin[3];            // world position of the corner of cell (0, 0, 0)
  double inverseEdge;          // 1 / the edge of a cell
  int dims[3];                 // cells along x, y, z; positions beyond the grid fall in its border
  std::vector<int> cellStart;  // entries of cell c: [cellStart[c], cellStart[c + 1])
  std::vector<Particle*> entries;   // grouped by cell; nullptr once the puff left its cell
  std::vector<Particle*> overflow;  // puffs born or moved to another cell since the build
  std::vector<int> cellOfEntry;     // build scratch: the cell of each gathered puff
  std::vector<Particle*> gathered;  // build scratch: the puffs in pool order
  PoolNode* lastSeen;               // last record the index has looked at in pool order
  long long distanceTests;          // distances lighting has computed, for the benchmarks
  long long builds;                 // grids built, including rebuilds when the overflow grew
};
extern SmokeIndex smokeIndex;

// Back to the grid search with no memory held and the counters at zero.
void ResetSmokeIndex();
// The update pass brackets its walk with these; outside them lighting walks the whole pool.
void OpenSmokePass();
void CloseSmokePass();
// Called for every record the pass has just moved: a puff that crossed into another cell leaves
// its grid entry for the overflow list.
void NoteMoved(Particle& p);
// Bytes the index holds between passes (its arrays' capacities).
std::size_t SmokeIndexBytes();

namespace detail {
// Builds the grid if needed and takes in the puffs born since the index last looked; false when
// the whole-pool walk must be used instead.
bool PrepareSmokeQuery();
int CellCoordinate(double position, int axis);
}  // namespace detail

// Calls f for every live smoke puff whose distance from `at` may be below `radius` (a superset,
// each puff once; f makes the exact test) and returns true, or returns false without calling f
// when the caller must walk the whole pool.
template <typename F>
bool ForEachSmokeNear(const Vec3& at, float radius, F&& f) {
  if (!detail::PrepareSmokeQuery()) return false;
  // A light at a non-finite position is at no finite distance from anything.
  if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(at.z)) return true;
  const SmokeIndex& g = smokeIndex;
  const double centre[3] = {at.x, at.y, at.z};
  int lo[3];
  int hi[3];
  for (int a = 0; a < 3; ++a) {
    // The margin covers the rounding of the float distance test and of these sums.
    const double reach = radius * (1.0 + 1e-5) + 1.0 + std::fabs(centre[a]) * 1e-6;
    lo[a] = detail::CellCoordinate(centre[a] - reach, a);
    hi[a] = detail::CellCoordinate(centre[a] + reach, a);
  }
  for (int z = lo[2]; z <= hi[2]; ++z) {
    for (int y = lo[1]; y <= hi[1]; ++y) {
      const int row = (z * g.dims[1] + y) * g.dims[0];
      Particle* const* first = g.entries.data() + g.cellStart[row + lo[0]];
      Particle* const* const last = g.entries.data() + g.cellStart[row + hi[0] + 1];
      for (; first != last; ++first) {
        if (*first != nullptr && (*first)->depthKey > FreeKey) f(**first);
      }
    }
  }
  for (Particle* p : g.overflow) {
    if (p->depthKey > FreeKey) f(*p);
  }
  return true;
}

}  // namespace varenko

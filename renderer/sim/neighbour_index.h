// The neighbour index: uniform grids of particle positions that let a light find the smoke puffs
// within its radius, and a force field the particles within its own, without walking the whole
// pool. The grids live for one update pass: each is built at the first search that needs it and
// follows the records the pass moves or creates, so a search sees exactly the records the
// whole-pool walk would, at their current positions.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/pool.h"

namespace varenko {

// How lighting and the force fields find their neighbours. WholePool is the reference pass as
// first written: every light and field walks the whole pool, and the smoke refresh and the sort
// walk the list on their own. Grid gives exactly the same results.
enum class NeighbourSearch { Grid, WholePool };

// A record's position as the grid placed it.
struct Place {
  float x, y, z;
};

// One grid over either the smoke puffs or every record.
struct NeighbourGrid {
  bool smokeOnly;              // holds smoke puffs only (lighting) or every record (force fields)
  double cellEdge;             // preferred edge of a cell; larger when the records spread very wide
  double slackLimit;           // a record moved at most this far is left in its cell (see slack)
  bool built;                  // holds this pass's records
  double origin[3];            // world position of the corner of cell (0, 0, 0)
  double edge;                 // the edge of a cell
  double inverseEdge;          // 1 / edge
  double boundMargin;          // more than the rounding of a cell's bounds, in world units
  int dims[3];                 // cells along x, y, z; positions beyond the grid fall in its border
  double slack;                // farthest any record moved this pass while left in its old cell
  std::vector<int> cellStart;  // entries of cell c: [cellStart[c], cellStart[c + 1])
  std::vector<Particle*> entries;   // grouped by cell; nullptr once moved to the overflow list
  std::vector<Particle*> overflow;  // records born, or moved far, since the build
  std::vector<Place> positions;     // build scratch: the position of each gathered record
  std::vector<int> cellOfEntry;     // build scratch: the cell of each gathered record
  std::vector<Particle*> gathered;  // every record of the grid's sort seen this pass
  PoolNode* lastSeen;               // last record the grid has looked at in pool order
  bool gatheredAtStart;             // the frame's smoke refresh filled `gathered`
};

struct NeighbourIndex {
  NeighbourSearch search;              // chosen by tests and benchmarks; the show leaves it on Grid
  bool passOpen;                       // between OpenNeighbourPass and CloseNeighbourPass
  bool fieldsLastPass;                 // the last pass searched for force-field neighbours
  NeighbourGrid smoke;                 // for lighting
  NeighbourGrid all;                   // for the force fields
  bool cloudRowsReady;                 // cloudLow and cloudHigh hold this pass's bounds
  double cloudLow[CloudGridSize][3];   // per row of the cloud grid, the box of its finite
  double cloudHigh[CloudGridSize][3];  // vertices: a flash skips the rows it cannot reach
  long long distanceTests;  // distances lighting and the fields computed, for the benchmarks
  long long builds;         // grids built, rebuilds included
};
extern NeighbourIndex neighbours;

// Back to the grid search with no memory held and the counters at zero.
void ResetNeighbourIndex();
// The frame's smoke refresh (RefreshSmoke's rule) that also notes the records for the grids,
// sparing them walks of their own.
void RefreshAndGather(float grey);
// The update pass brackets its walk with these; outside them every search walks the whole pool.
void OpenNeighbourPass();
void CloseNeighbourPass();
// Called for every record the pass has visited, once its update and end of life are done.
void NoteVisited(Particle& p);
// False when no vertex of the cloud grid's row r lies within `radius` of `at` (the cloud grid
// does not move during a pass); always true outside a grid pass.
bool CloudRowMayReach(int r, const Vec3& at, float radius);
// Bytes the grids hold (their arrays' capacities).
std::size_t NeighbourIndexBytes();

namespace detail {
// Builds the grid if needed and takes in the records born since it last looked; false when the
// whole pool must be walked instead.
bool PrepareSearch(NeighbourGrid& g);
// The cell along one axis of a position, clamped to the grid (NaN to its first cell); it never
// decreases as the position grows, which is what makes the search exact.
inline int CellCoordinate(const NeighbourGrid& g, double position, int axis) {
  const double c = (position - g.origin[axis]) * g.inverseEdge;
  if (!(c >= 0.0)) return 0;
  if (c >= static_cast<double>(g.dims[axis])) return g.dims[axis] - 1;
  return static_cast<int>(c);
}
// How far a position lies outside cell c's slab along an axis, less the rounding margin; the
// border cells reach on without end.
inline double Gap(const NeighbourGrid& g, int axis, int c, double position) {
  const double lower = g.origin[axis] + c * g.edge - g.boundMargin;
  const double upper = lower + g.edge + 2.0 * g.boundMargin;
  if (c > 0 && position < lower) return lower - position;
  if (c < g.dims[axis] - 1 && position > upper) return position - upper;
  return 0.0;
}
}  // namespace detail

// Calls f for every live record of the grid that may lie within `radius` of `at` (a superset,
// each record once, in no particular order: f makes the exact test) and returns true, or returns
// false without calling f when the caller must walk the whole pool.
template <typename F>
bool ForEachNear(NeighbourGrid& g, const Vec3& at, float radius, F&& f) {
  if (!detail::PrepareSearch(g)) return false;
  // A source at a non-finite position is at no finite distance from anything.
  if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(at.z)) return true;
  const double centre[3] = {at.x, at.y, at.z};
  // The margins cover the rounding of the float distance test and of these sums; a record may
  // have moved up to `slack` along each axis since its cell was chosen.
  const double largest =
      std::max({std::fabs(centre[0]), std::fabs(centre[1]), std::fabs(centre[2])});
  const double reach = radius * (1.0 + 1e-5) + 1.0 + largest * 1e-6 + 2.0 * g.slack;
  int lo[3];
  int hi[3];
  for (int a = 1; a < 3; ++a) {
    lo[a] = detail::CellCoordinate(g, centre[a] - reach, a);
    hi[a] = detail::CellCoordinate(g, centre[a] + reach, a);
  }
  // Row by row (cells along x), only the rows that reach into the sphere and only the part of
  // each row within it.
  for (int z = lo[2]; z <= hi[2]; ++z) {
    const double gz = detail::Gap(g, 2, z, centre[2]);
    const double left = reach * reach - gz * gz;
    if (left < 0.0) continue;
    for (int y = lo[1]; y <= hi[1]; ++y) {
      const double gy = detail::Gap(g, 1, y, centre[1]);
      if (left - gy * gy < 0.0) continue;
      const double w = std::sqrt(left - gy * gy);
      const int row = (z * g.dims[1] + y) * g.dims[0];
      const int x0 = detail::CellCoordinate(g, centre[0] - w, 0);
      const int x1 = detail::CellCoordinate(g, centre[0] + w, 0);
      Particle* const* first = g.entries.data() + g.cellStart[row + x0];
      Particle* const* const last = g.entries.data() + g.cellStart[row + x1 + 1];
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

// The smoke index: the grid's build (a counting sort of the live puffs by cell over the box of
// their finite positions), the puffs taken in as they are born or cross into another cell, and the
// pass's bracket.
#include "renderer/sim/smoke_index.h"

#include <algorithm>
#include <limits>
#include <new>

namespace varenko {

SmokeIndex smokeIndex = {
    NeighbourSearch::Grid, false, false, {}, 1.0, {1, 1, 1}, {}, {}, {}, {}, {}, nullptr, 0, 0};

namespace {

// The edge of a cell: the radius of a shell's or fountain's light, so that one looks at no more
// than three cells along each axis.
constexpr double CellEdge = 200.0;
// Cells a grid may have at most: a few per puff, and a floor for small pools. Puffs spread wider
// than that get larger cells.
constexpr double MinCellLimit = 4096.0;
constexpr double CellsPerPuff = 2.0;

int CellOf(const Vec3& v) {
  const SmokeIndex& g = smokeIndex;
  const int x = detail::CellCoordinate(v.x, 0);
  const int y = detail::CellCoordinate(v.y, 1);
  const int z = detail::CellCoordinate(v.z, 2);
  return (z * g.dims[1] + y) * g.dims[0] + x;
}

// Gathers every live puff handed out so far, in pool order, and returns the box of their finite
// positions (empty: lo above hi).
void Gather(double lo[3], double hi[3]) {
  SmokeIndex& g = smokeIndex;
  g.gathered.clear();
  for (int a = 0; a < 3; ++a) {
    lo[a] = std::numeric_limits<double>::infinity();
    hi[a] = -std::numeric_limits<double>::infinity();
  }
  PoolNode* const end = &pool.sentinel;
  g.lastSeen = end;
  // Records at and beyond the cursor have never been handed out since the last sort: all free.
  for (PoolNode* n = end->next; n != end && n != pool.cursor; n = n->next) {
    g.lastSeen = n;
    Particle& p = n->particle;
    if (p.kind != Smoke || !(p.depthKey > FreeKey)) continue;
    g.gathered.push_back(&p);
    const double c[3] = {p.pos.x, p.pos.y, p.pos.z};
    if (!std::isfinite(c[0]) || !std::isfinite(c[1]) || !std::isfinite(c[2])) continue;
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], c[a]);
      hi[a] = std::max(hi[a], c[a]);
    }
  }
}

// Cells of CellEdge over the box, or larger ones when that would make too many.
void PlaceCells(const double lo[3], const double hi[3]) {
  SmokeIndex& g = smokeIndex;
  const double limit =
      std::max(MinCellLimit, CellsPerPuff * static_cast<double>(g.gathered.size()));
  double edge = CellEdge;
  double span[3];
  for (int a = 0; a < 3; ++a) {
    const bool empty = !(lo[a] <= hi[a]);
    g.origin[a] = empty ? 0.0 : lo[a];
    span[a] = empty ? 0.0 : hi[a] - lo[a];
  }
  double count[3];
  for (;;) {
    double cells = 1.0;
    for (int a = 0; a < 3; ++a) {
      count[a] = std::floor(span[a] / edge) + 1.0;
      cells *= count[a];
    }
    if (cells <= limit) break;
    edge *= std::cbrt(cells / limit) * 1.01;
  }
  g.inverseEdge = 1.0 / edge;
  for (int a = 0; a < 3; ++a) g.dims[a] = static_cast<int>(count[a]);
}

// Counting sort of the gathered puffs by cell: entries grouped by cell, pool order within one.
void Build() {
  SmokeIndex& g = smokeIndex;
  double lo[3];
  double hi[3];
  Gather(lo, hi);
  PlaceCells(lo, hi);
  const int cells = g.dims[0] * g.dims[1] * g.dims[2];
  g.cellStart.assign(static_cast<std::size_t>(cells) + 1, 0);
  g.cellOfEntry.resize(g.gathered.size());
  for (std::size_t i = 0; i < g.gathered.size(); ++i) {
    const int c = CellOf(g.gathered[i]->pos);
    g.cellOfEntry[i] = c;
    ++g.cellStart[static_cast<std::size_t>(c) + 1];
  }
  for (int c = 0; c < cells; ++c) g.cellStart[c + 1] += g.cellStart[c];
  g.entries.resize(g.gathered.size());
  for (std::size_t i = 0; i < g.gathered.size(); ++i) {
    g.entries[static_cast<std::size_t>(g.cellStart[g.cellOfEntry[i]]++)] = g.gathered[i];
  }
  // Each start was advanced to the next cell's start: shift them back by one cell.
  for (int c = cells; c > 0; --c) g.cellStart[c] = g.cellStart[c - 1];
  g.cellStart[0] = 0;
  g.overflow.clear();
  g.built = true;
  ++g.builds;
}

// Puffs born since the index last looked go to the overflow list; once that list is long enough
// to cost more than a build, the grid is built again from the current positions.
void TakeInBirths() {
  SmokeIndex& g = smokeIndex;
  PoolNode* const end = &pool.sentinel;
  for (PoolNode* n = g.lastSeen->next; n != end && n != pool.cursor; n = n->next) {
    g.lastSeen = n;
    Particle& p = n->particle;
    if (p.kind == Smoke && p.depthKey > FreeKey) g.overflow.push_back(&p);
  }
  if (g.overflow.size() > 256 + g.entries.size() / 4) Build();
}

}  // namespace

int detail::CellCoordinate(double position, int axis) {
  const SmokeIndex& g = smokeIndex;
  const double c = (position - g.origin[axis]) * g.inverseEdge;
  if (!(c >= 0.0)) return 0;  // also NaN
  if (c >= static_cast<double>(g.dims[axis])) return g.dims[axis] - 1;
  return static_cast<int>(c);
}

bool detail::PrepareSmokeQuery() {
  SmokeIndex& g = smokeIndex;
  if (!g.passOpen || g.search != NeighbourSearch::Grid) return false;
  try {
    if (g.built) {
      TakeInBirths();
    } else {
      Build();
    }
  } catch (const std::bad_alloc&) {
    // No memory for the grid: this pass walks the whole pool.
    g.passOpen = false;
    g.built = false;
    return false;
  }
  return true;
}

void ResetSmokeIndex() {
  SmokeIndex& g = smokeIndex;
  std::vector<int>().swap(g.cellStart);
  std::vector<Particle*>().swap(g.entries);
  std::vector<Particle*>().swap(g.overflow);
  std::vector<int>().swap(g.cellOfEntry);
  std::vector<Particle*>().swap(g.gathered);
  g.search = NeighbourSearch::Grid;
  g.passOpen = false;
  g.built = false;
  g.lastSeen = nullptr;
  g.distanceTests = 0;
  g.builds = 0;
}

void OpenSmokePass() {
  smokeIndex.passOpen = true;
  smokeIndex.built = false;
}

void CloseSmokePass() {
  smokeIndex.passOpen = false;
  smokeIndex.built = false;
  smokeIndex.overflow.clear();
}

void NoteMoved(Particle& p) {
  SmokeIndex& g = smokeIndex;
  if (!g.built || p.kind != Smoke) return;
  // Only the pass moves a puff, once, from prevPos: where the grid placed it.
  const int from = CellOf(p.prevPos);
  if (from == CellOf(p.pos)) return;
  const auto first = g.entries.begin() + g.cellStart[from];
  const auto last = g.entries.begin() + g.cellStart[from + 1];
  const auto at = std::find(first, last, &p);
  if (at == last) return;  // born during the pass: already in the overflow list, or soon
  try {
    g.overflow.push_back(&p);
  } catch (const std::bad_alloc&) {
    g.passOpen = false;  // lost track of it: the rest of the pass walks the whole pool
    g.built = false;
    return;
  }
  *at = nullptr;
}

std::size_t SmokeIndexBytes() {
  const SmokeIndex& g = smokeIndex;
  return g.cellStart.capacity() * sizeof(int) + g.cellOfEntry.capacity() * sizeof(int) +
         (g.entries.capacity() + g.overflow.capacity() + g.gathered.capacity()) * sizeof(Particle*);
}

}  // namespace varenko

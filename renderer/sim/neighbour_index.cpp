// The neighbour index: each grid's build (a counting sort of its live records by cell over the
// box of their finite positions), the records taken in as they are born or move, and the pass's
// bracket.
#include "renderer/sim/neighbour_index.h"

#include <algorithm>
#include <limits>
#include <new>

namespace varenko {

namespace {

// Cells a little smaller than the smallest radius searched: a search then looks at rows of cells
// that hug its sphere. A moved record stays in its old cell when it moved less than a tenth of
// the edge.
constexpr NeighbourGrid EmptyGrid(bool smokeOnly, double edge) {
  return {smokeOnly, edge, edge * 0.1, false, {}, edge, 1.0 / edge, 1.0,     {1, 1, 1},
          0.0,       {},   {},         {},    {}, {},   {},         nullptr, false};
}

NeighbourIndex StartValues() {
  return {NeighbourSearch::Grid,
          false,
          false,
          EmptyGrid(true, 100.0),
          EmptyGrid(false, 125.0),
          false,
          {},
          {},
          0,
          0};
}

// Cells a grid may have at most: a few per record, and a floor for small pools. Records spread
// wider than that get larger cells.
constexpr double MinCellLimit = 4096.0;
constexpr double CellsPerRecord = 4.0;

bool Belongs(const NeighbourGrid& g, const Particle& p) {
  return (!g.smokeOnly || p.kind == Smoke) && p.depthKey > FreeKey;
}

int CellOf(const NeighbourGrid& g, const Vec3& v) {
  const int x = detail::CellCoordinate(g, v.x, 0);
  const int y = detail::CellCoordinate(g, v.y, 1);
  const int z = detail::CellCoordinate(g, v.z, 2);
  return (z * g.dims[1] + y) * g.dims[0] + x;
}

// Adds the grid's live records handed out since it last looked to `gathered` (and to the overflow
// list when asked). Records at and beyond the cursor were never handed out since the last sort.
void TakeInNew(NeighbourGrid& g, bool toOverflow) {
  PoolNode* const end = &pool.sentinel;
  for (PoolNode* n = g.lastSeen->next; n != end && n != pool.cursor; n = n->next) {
    g.lastSeen = n;
    if (!Belongs(g, n->particle)) continue;
    g.gathered.push_back(&n->particle);
    if (toOverflow) g.overflow.push_back(&n->particle);
  }
}

// Cells of the grid's edge over the box [lo, hi] of the records' finite positions (empty: lo
// above hi), or larger ones when that would make too many.
void PlaceCells(NeighbourGrid& g, const double lo[3], const double hi[3]) {
  const double limit =
      std::max(MinCellLimit, CellsPerRecord * static_cast<double>(g.gathered.size()));
  double span[3];
  for (int a = 0; a < 3; ++a) {
    const bool empty = !(lo[a] <= hi[a]);
    g.origin[a] = empty ? 0.0 : lo[a];
    span[a] = empty ? 0.0 : hi[a] - lo[a];
  }
  double edge = g.cellEdge;
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
  g.edge = edge;
  g.inverseEdge = 1.0 / edge;
  double extent = 0.0;
  for (int a = 0; a < 3; ++a) {
    g.dims[a] = static_cast<int>(count[a]);
    extent = std::max(extent, std::fabs(g.origin[a]) + count[a] * edge);
  }
  g.boundMargin = 1e-3 + extent * 1e-9;
}

// Drops the records freed since they were gathered and copies the others' positions, reading
// each record once, and returns the box of the finite ones.
void TakePositions(NeighbourGrid& g, double lo[3], double hi[3]) {
  for (int a = 0; a < 3; ++a) {
    lo[a] = std::numeric_limits<double>::infinity();
    hi[a] = -std::numeric_limits<double>::infinity();
  }
  g.positions.resize(g.gathered.size());
  std::size_t kept = 0;
  for (Particle* p : g.gathered) {
    if (!(p->depthKey > FreeKey)) continue;
    const Place c = {p->pos.x, p->pos.y, p->pos.z};
    g.gathered[kept] = p;
    g.positions[kept++] = c;
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) continue;
    lo[0] = std::min(lo[0], static_cast<double>(c.x));
    hi[0] = std::max(hi[0], static_cast<double>(c.x));
    lo[1] = std::min(lo[1], static_cast<double>(c.y));
    hi[1] = std::max(hi[1], static_cast<double>(c.y));
    lo[2] = std::min(lo[2], static_cast<double>(c.z));
    hi[2] = std::max(hi[2], static_cast<double>(c.z));
  }
  g.gathered.resize(kept);
  g.positions.resize(kept);
}

// Counting sort of the gathered live records by cell: entries grouped by cell.
void Build(NeighbourGrid& g) {
  TakeInNew(g, false);
  double lo[3];
  double hi[3];
  TakePositions(g, lo, hi);
  PlaceCells(g, lo, hi);
  const int cells = g.dims[0] * g.dims[1] * g.dims[2];
  g.cellStart.assign(static_cast<std::size_t>(cells) + 1, 0);
  g.cellOfEntry.resize(g.gathered.size());
  for (std::size_t i = 0; i < g.gathered.size(); ++i) {
    const Place& v = g.positions[i];
    const int x = detail::CellCoordinate(g, v.x, 0);
    const int y = detail::CellCoordinate(g, v.y, 1);
    const int c = (detail::CellCoordinate(g, v.z, 2) * g.dims[1] + y) * g.dims[0] + x;
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
  g.slack = 0.0;
  g.built = true;
  ++neighbours.builds;
}

void StartPass(NeighbourGrid& g) {
  g.built = false;
  if (!g.gatheredAtStart) {
    g.gathered.clear();
    g.lastSeen = &pool.sentinel;
  }
}

void EndPass(NeighbourGrid& g) {
  g.built = false;
  g.gatheredAtStart = false;
  g.overflow.clear();
}

// A record the pass moved from prevPos (where the grid placed it: the pass moves a record only
// during its own update) to pos. Within its cell nothing changes; a short move into another cell
// widens every later search by the distance instead; a long one moves the record to the overflow
// list. A record not found in its old cell is already in the overflow list, or soon will be.
void Moved(NeighbourGrid& g, Particle& p) {
  const int from = CellOf(g, p.prevPos);
  if (from == CellOf(g, p.pos)) return;
  const double moved = std::max({std::fabs(static_cast<double>(p.pos.x) - p.prevPos.x),
                                 std::fabs(static_cast<double>(p.pos.y) - p.prevPos.y),
                                 std::fabs(static_cast<double>(p.pos.z) - p.prevPos.z)});
  if (moved <= g.slackLimit) {
    g.slack = std::max(g.slack, moved);
    return;
  }
  const auto first = g.entries.begin() + g.cellStart[from];
  const auto last = g.entries.begin() + g.cellStart[from + 1];
  const auto at = std::find(first, last, &p);
  if (at == last) return;
  g.overflow.push_back(&p);  // may throw: the entry then stays where it is
  *at = nullptr;
}

}  // namespace

NeighbourIndex neighbours = StartValues();

bool detail::PrepareSearch(NeighbourGrid& g) {
  NeighbourIndex& x = neighbours;
  if (!x.passOpen || x.search != NeighbourSearch::Grid) return false;
  if (&g == &x.all) x.fieldsLastPass = true;
  try {
    if (!g.built) {
      Build(g);
    } else {
      TakeInNew(g, true);
      // Once the overflow list costs more than a build, build again from the current positions.
      if (g.overflow.size() > 256 + g.entries.size() / 4) Build(g);
    }
  } catch (const std::bad_alloc&) {
    // No memory for the grids: the rest of this pass walks the whole pool.
    x.passOpen = false;
    g.built = false;
    return false;
  }
  return true;
}

void ResetNeighbourIndex() { neighbours = StartValues(); }

void RefreshAndGather(float grey) {
  NeighbourIndex& x = neighbours;
  x.smoke.gathered.clear();
  x.all.gathered.clear();
  PoolNode* const end = &pool.sentinel;
  x.smoke.lastSeen = end;
  x.all.lastSeen = end;
  // The grid of every record is worth gathering only while force fields are about.
  const bool all = x.fieldsLastPass;
  x.smoke.gatheredAtStart = true;
  x.all.gatheredAtStart = all;
  x.fieldsLastPass = false;
  try {
    for (PoolNode* n = end->next; n != end && n->particle.depthKey > FreeKey; n = n->next) {
      PrefetchNode(n->next);
      Particle& p = n->particle;
      if (all) x.all.gathered.push_back(&p);
      x.all.lastSeen = n;
      x.smoke.lastSeen = n;
      if (p.kind != Smoke) continue;
      p.colour.Set(grey, grey, grey);
      x.smoke.gathered.push_back(&p);
    }
  } catch (const std::bad_alloc&) {
    // The grids walk the pool themselves; the refresh itself must still reach every puff.
    x.smoke.gatheredAtStart = false;
    x.all.gatheredAtStart = false;
    for (PoolNode* n = end->next; n != end && n->particle.depthKey > FreeKey; n = n->next) {
      if (n->particle.kind == Smoke) n->particle.colour.Set(grey, grey, grey);
    }
  }
}

void OpenNeighbourPass() {
  neighbours.passOpen = true;
  neighbours.cloudRowsReady = false;
  StartPass(neighbours.smoke);
  StartPass(neighbours.all);
}

void CloseNeighbourPass() {
  neighbours.passOpen = false;
  EndPass(neighbours.smoke);
  EndPass(neighbours.all);
}

void NoteVisited(Particle& p) {
  NeighbourIndex& x = neighbours;
  if (!x.passOpen) return;
  try {
    if (x.all.built) Moved(x.all, p);
    if (x.smoke.built && p.kind == Smoke) Moved(x.smoke, p);
  } catch (const std::bad_alloc&) {
    x.passOpen = false;  // lost track of a record: the rest of the pass walks the whole pool
  }
}

bool CloudRowMayReach(int r, const Vec3& at, float radius) {
  NeighbourIndex& x = neighbours;
  if (!x.passOpen || x.search != NeighbourSearch::Grid) return true;
  if (!x.cloudRowsReady) {
    for (int row = 0; row < CloudGridSize; ++row) {
      double* lo = x.cloudLow[row];
      double* hi = x.cloudHigh[row];
      for (int a = 0; a < 3; ++a) {
        lo[a] = std::numeric_limits<double>::infinity();
        hi[a] = -std::numeric_limits<double>::infinity();
      }
      for (const CloudVertex& v : CloudGrid[row]) {
        const double c[3] = {v.x, v.y, v.z};
        if (!std::isfinite(c[0]) || !std::isfinite(c[1]) || !std::isfinite(c[2])) continue;
        for (int a = 0; a < 3; ++a) {
          lo[a] = std::min(lo[a], c[a]);
          hi[a] = std::max(hi[a], c[a]);
        }
      }
    }
    x.cloudRowsReady = true;
  }
  const double c[3] = {at.x, at.y, at.z};
  double gap2 = 0.0;
  double largest = 0.0;
  for (int a = 0; a < 3; ++a) {
    // A row with no finite vertex is infinitely far; so is every row from a non-finite source.
    const double gap = std::max({0.0, x.cloudLow[r][a] - c[a], c[a] - x.cloudHigh[r][a]});
    gap2 += gap * gap;
    largest = std::max(largest, std::fabs(c[a]));
  }
  const double reach = radius * (1.0 + 1e-5) + 1.0 + largest * 1e-6;
  return !(gap2 > reach * reach);
}

std::size_t NeighbourIndexBytes() {
  std::size_t bytes = 0;
  for (const NeighbourGrid* g : {&neighbours.smoke, &neighbours.all}) {
    bytes += (g->cellStart.capacity() + g->cellOfEntry.capacity()) * sizeof(int) +
             g->positions.capacity() * sizeof(Place) +
             (g->entries.capacity() + g->overflow.capacity() + g->gathered.capacity()) *
                 sizeof(Particle*);
  }
  return bytes;
}

}  // namespace varenko

// The particle pool: allocation at the cursor, freeing by key, the depth key, the once-a-frame
// stable merge sort that relinks nodes far to near, and the release of every node.
#include "renderer/sim/pool.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "renderer/sim/frame_state.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

namespace {

// An empty pool is its sentinel linked to itself, with the cursor on it.
ParticlePool EmptyPool(ParticlePool* self) {
  return {{&self->sentinel, &self->sentinel, {}}, &self->sentinel, 0};
}

}  // namespace

ParticlePool pool = EmptyPool(&pool);

namespace {

// Handed out when the pool cannot grow. Never linked, so no walk ever reaches it.
Particle scratchParticle;

// The fields a record gets when its node is created. Those the rules give no value are zero, so
// that a record never holds undefined bytes, even where nothing draws them (a hash reads them).
void SetNewRecordValues(Particle& p) {
  const Vec3 zero(0.0f, 0.0f, 0.0f);
  p.pos = zero;
  p.prevPos = zero;
  p.vel = zero;
  p.colour = zero;
  p.heading = zero;
  for (float& a : p.aux) a = 0.0f;
  p.burstKind = 0;
  p.kind = Star;
  p.spriteList = GlowSprite;
  p.emitsTrail = 0;
  p.drag = 0.612f;
  p.lifeTotal = 2.0f;
  p.lifeLeft = 2.0f;
  p.alpha = 1.0f;
  p.lifeFrac = 1.0f;
  p.size = 30.0f;
  p.trailIndex = 0;
  p.trailCarry = 0.0f;
  p.emitCarry = 0.0f;
}

// Merges two runs sorted by descending key, linked by next and ending in nullptr. On equal keys
// the run that came first in the list wins, which keeps the sort stable.
PoolNode* MergeRuns(PoolNode* first, PoolNode* second) {
  PoolNode* head = nullptr;
  PoolNode** link = &head;
  while (first != nullptr && second != nullptr) {
    if (second->particle.depthKey > first->particle.depthKey) {
      *link = second;
      link = &second->next;
      second = second->next;
    } else {
      *link = first;
      link = &first->next;
      first = first->next;
    }
  }
  *link = (first != nullptr) ? first : second;
  return head;
}

}  // namespace

bool IsScratchParticle(const Particle& p) { return &p == &scratchParticle; }

Particle& AllocateParticle() {
  if (pool.cursor != &pool.sentinel) {
    Particle& p = pool.cursor->particle;
    p.depthKey = NewKey;
    pool.cursor = pool.cursor->next;
    return p;
  }
  PoolNode* node = nullptr;
  if (pool.nodeCount < MaxPoolRecords) node = new (std::nothrow) PoolNode;
  if (node == nullptr) {
    SetNewRecordValues(scratchParticle);
    scratchParticle.depthKey = NewKey;
    return scratchParticle;
  }
  SetNewRecordValues(node->particle);
  node->particle.depthKey = NewKey;
  node->prev = pool.sentinel.prev;
  node->next = &pool.sentinel;
  pool.sentinel.prev->next = node;
  pool.sentinel.prev = node;
  ++pool.nodeCount;
  return node->particle;
}

void FreeParticle(Particle& p) { p.depthKey = FreeKey; }

void ComputeDepthKey(Particle& p) {
  const double* m = BillboardMatrix;
  const float key =
      static_cast<float>((depthEye.x - p.pos.x) * m[8] + (depthEye.y - p.pos.y) * m[9] +
                         (depthEye.z - p.pos.z) * m[10]);
  // The negated test also catches NaN, which would otherwise break the partition of the list.
  p.depthKey = (key > FreeKey) ? key : FarthestLiveKey;
}

namespace {

// Lists shorter than this are sorted in place; longer ones through the key array below, which is
// far kinder to the cache than chasing large nodes through every merge level.
constexpr int ArraySortThreshold = 256;

struct SortEntry {
  float key;
  PoolNode* node;
};

// Kept between frames so that, once the pool has grown, sorting allocates nothing.
std::vector<SortEntry> sortKeys;
std::vector<SortEntry> sortSpare;

// Stable merge sort of the list nodes, relinking them; returns the first node of the sorted chain,
// linked by next only and ending in nullptr.
PoolNode* SortChainInPlace(PoolNode* first, PoolNode* end) {
  // Bottom-up: bins[k] holds a sorted run of 2^k nodes taken from earlier in the list than
  // anything after it, so merging a bin first keeps equal keys in their order.
  PoolNode* bins[64] = {};
  PoolNode* node = first;
  while (node != end) {
    PoolNode* run = node;
    node = node->next;
    run->next = nullptr;
    int k = 0;
    for (; bins[k] != nullptr; ++k) {
      run = MergeRuns(bins[k], run);
      bins[k] = nullptr;
    }
    bins[k] = run;
  }
  PoolNode* sorted = nullptr;
  for (PoolNode* bin : bins) {
    if (bin != nullptr) sorted = MergeRuns(bin, sorted);
  }
  return sorted;
}

// Sets the free records (FreeKey, below every live key) apart behind the others, in their order,
// where a stable sort leaves them anyway; they would otherwise break up the runs the live keys
// kept from the last frame. Returns how many come first, or count when some key is NaN or below
// FreeKey (never made by the pool's own rules): such lists get the plain sort.
std::size_t SetFreeApart(std::size_t count, bool& plain) {
  SortEntry* a = sortKeys.data();
  std::size_t freeCount = 0;
  plain = false;
  for (std::size_t i = 0; i < count; ++i) {
    if (a[i].key == FreeKey) {
      ++freeCount;
    } else if (!(a[i].key > FreeKey)) {
      plain = true;
      return count;
    }
  }
  if (freeCount == 0) return count;
  SortEntry* b = sortSpare.data();
  std::size_t live = 0;
  std::size_t spare = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (a[i].key == FreeKey) {
      b[spare++] = a[i];
    } else {
      a[live++] = a[i];
    }
  }
  std::copy(b, b + spare, a + live);
  return live;
}

// Merges the sorted runs a[lo, mid) and a[mid, hi) into b[lo, hi); on equal keys the left run
// first. With `ordered` keys (no NaN) the left entries not below the right run's first and the
// right entries not above the left run's last, most of both in a list sorted the frame before,
// are copied without comparisons.
void MergeInto(const SortEntry* a, SortEntry* b, std::size_t lo, std::size_t mid, std::size_t hi,
               bool ordered) {
  std::size_t l = lo;
  std::size_t r = mid;
  std::size_t end = hi;
  std::size_t out = lo;
  if (ordered) {
    const float firstRight = a[mid].key;
    const float lastLeft = a[mid - 1].key;
    l = static_cast<std::size_t>(
        std::partition_point(a + lo, a + mid,
                             [&](const SortEntry& e) { return !(firstRight > e.key); }) -
        a);
    out = static_cast<std::size_t>(std::copy(a + lo, a + l, b + lo) - b);
    end = static_cast<std::size_t>(
        std::partition_point(a + mid, a + hi,
                             [&](const SortEntry& e) { return e.key > lastLeft; }) -
        a);
    std::copy(a + end, a + hi, b + (hi - (hi - end)));
  }
  while (l < mid && r < end) b[out++] = (a[r].key > a[l].key) ? a[r++] : a[l++];
  while (l < mid) b[out++] = a[l++];
  while (r < end) b[out++] = a[r++];
}

// Stable sort of entries [0, count) of sortKeys by descending key: short runs by insertion, then
// merges that alternate between the two arrays. Returns the array holding the result.
SortEntry* SortEntries(std::size_t count) {
  bool plain = false;
  const std::size_t live = SetFreeApart(count, plain);
  SortEntry* a = sortKeys.data();
  SortEntry* b = sortSpare.data();
  constexpr std::size_t run = 32;
  for (std::size_t start = 0; start < live; start += run) {
    const std::size_t stop = std::min(start + run, live);
    for (std::size_t j = start + 1; j < stop; ++j) {
      const SortEntry e = a[j];
      std::size_t k = j;
      for (; k > start && e.key > a[k - 1].key; --k) a[k] = a[k - 1];
      a[k] = e;
    }
  }
  for (std::size_t width = run; width < live; width *= 2) {
    for (std::size_t lo = 0; lo < live; lo += 2 * width) {
      const std::size_t mid = std::min(lo + width, live);
      const std::size_t hi = std::min(lo + 2 * width, live);
      if (mid < hi) {
        MergeInto(a, b, lo, mid, hi, !plain);
      } else {
        std::copy(a + lo, a + hi, b + lo);
      }
    }
    std::swap(a, b);
  }
  // The free records set apart are still where SetFreeApart put them.
  if (a != sortKeys.data()) std::copy(sortKeys.data() + live, sortKeys.data() + count, a + live);
  return a;
}

// Relinks the sorted entries in their order, followed by the chain from `tail` (free records
// left where they are) up to the sentinel, and places the cursor. Each node is touched once more,
// straight from the array, which matters when the nodes lie scattered in memory.
void Relink(const SortEntry* a, std::size_t count, PoolNode* tail) {
  PoolNode* const end = &pool.sentinel;
  PoolNode* prev = end;
  pool.cursor = end;
  for (std::size_t j = 0; j < count; ++j) {
    PoolNode* n = a[j].node;
    if (pool.cursor == end && !(a[j].key > FreeKey)) pool.cursor = n;
    n->prev = prev;
    prev->next = n;
    prev = n;
  }
  if (tail != end) {
    if (pool.cursor == end) pool.cursor = tail;
    prev->next = tail;
    tail->prev = prev;
  } else {
    prev->next = end;
    end->prev = prev;
  }
}

bool GrowSortArrays(std::size_t count) {
  try {
    if (sortKeys.size() < count) sortKeys.resize(count);
    if (sortSpare.size() < count) sortSpare.resize(count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// The same order through a copy of the keys. Returns false, leaving the list alone, if the arrays
// cannot grow.
bool SortPoolByKeys(std::size_t count) {
  if (!GrowSortArrays(count)) return false;
  SortEntry* a = sortKeys.data();
  std::size_t i = 0;
  for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel && i < count; n = n->next) {
    a[i++] = {n->particle.depthKey, n};
  }
  count = i;
  if (count == 0) return false;
  Relink(SortEntries(count), count, &pool.sentinel);
  return true;
}

// Keys the update pass noted, in pool order, for the records before the cursor; notedValid is
// false when they cannot stand for the list.
std::size_t notedCount = 0;
bool notedValid = false;

}  // namespace

void BeginSortNotes() {
  notedCount = 0;
  notedValid = true;
}

void NoteSortKey(PoolNode& n) {
  if (notedCount == sortKeys.size() &&
      !GrowSortArrays(std::max<std::size_t>(notedCount * 2, 256))) {
    notedValid = false;
  }
  if (!notedValid) return;
  sortKeys[notedCount++] = {n.particle.depthKey, &n};
}

void MaintainPoolFromNotes(const PoolNode* stop) {
  const bool usable = notedValid && stop == pool.cursor && notedCount > 0;
  notedValid = false;
  // The free records from the cursor on keep their order behind every noted record, as the
  // stable sort of the whole list would leave them.
  if (usable && GrowSortArrays(notedCount)) {
    Relink(SortEntries(notedCount), notedCount, pool.cursor);
    return;
  }
  MaintainPool();
}

void MaintainPool() {
  PoolNode* const end = &pool.sentinel;
  if (pool.nodeCount >= ArraySortThreshold &&
      SortPoolByKeys(static_cast<std::size_t>(pool.nodeCount))) {
    return;
  }
  if (pool.nodeCount >= 2) {
    PoolNode* sorted = SortChainInPlace(end->next, end);
    // Restore the back links and close the circle through the sentinel.
    PoolNode* prev = end;
    for (PoolNode* n = sorted; n != nullptr; n = n->next) {
      n->prev = prev;
      prev->next = n;
      prev = n;
    }
    prev->next = end;
    end->prev = prev;
  }
  PoolNode* n = end->next;
  while (n != end && n->particle.depthKey > FreeKey) n = n->next;
  pool.cursor = n;
}

void ClearPool() {
  PoolNode* n = pool.sentinel.next;
  while (n != &pool.sentinel) {
    PoolNode* next = n->next;
    delete n;
    n = next;
  }
  pool.sentinel.next = &pool.sentinel;
  pool.sentinel.prev = &pool.sentinel;
  pool.cursor = &pool.sentinel;
  pool.nodeCount = 0;
  // The sort arrays go with the nodes they indexed.
  std::vector<SortEntry>().swap(sortKeys);
  std::vector<SortEntry>().swap(sortSpare);
}

int LiveParticleCount() {
  int count = 0;
  ForEachLive([&count](const Particle&) { ++count; });
  return count;
}

}  // namespace varenko

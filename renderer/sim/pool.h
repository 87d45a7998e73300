// The particle pool: every Particle lives in one circular doubly linked list with a sentinel.
// Live records come first (sorted far to near once a frame), free records after them; a cursor
// marks the first free record. Records are recycled, never released while the renderer runs.
#pragma once

#include "renderer/sim/particle.h"

namespace varenko {

struct PoolNode {
  PoolNode* prev;
  PoolNode* next;
  Particle particle;
};

struct ParticlePool {
  PoolNode sentinel;  // sentinel.next is the first node, sentinel.prev the last
  PoolNode* cursor;   // first free record, or &sentinel when there is none
  int nodeCount;
};

extern ParticlePool pool;

// Most records the pool ever holds (about 55 MB of nodes). Nothing in a show needs nearly as many,
// but a frame step of hours (a machine resumed from sleep) or extreme settings could otherwise make
// one update emit without bound. Beyond the cap AllocateParticle hands out ScratchParticle: a
// record that is never linked, updated, drawn or counted, which callers may write freely.
inline constexpr int MaxPoolRecords = 250000;

// True for the detached record AllocateParticle hands out when the pool is full. Callers need not
// check: writing the scratch record is harmless, and every emitter's count per update is bounded.
bool IsScratchParticle(const Particle& p);

// Hands out the record at the cursor (keeping every field of its previous occupant) or a new one
// (zero wherever the new-record values name nothing), with depthKey = NewKey. When the pool is
// full, or memory for a new node cannot be had, the detached scratch record instead, set to the
// values of a new record.
Particle& AllocateParticle();
void FreeParticle(Particle& p);
// Depth of the particle in front of the camera (depthEye, BillboardMatrix). A live particle always
// keeps a key above FreeKey: a NaN depth, or one a million units or more behind the camera, becomes
// FarthestLiveKey, so it stays live and sorts farthest instead of passing for a free record.
void ComputeDepthKey(Particle& p);
inline constexpr float FarthestLiveKey = -999999.9375f;  // the float just above FreeKey
// Sorts far to near (stable merge sort relinking nodes) and re-places the cursor.
void MaintainPool();
// The same sort fed by the update pass, which sees every record before the cursor anyway:
// BeginSortNotes, NoteSortKey for each record in pool order once its key is final, then
// MaintainPoolFromNotes with the record the walk stopped at. Only when that is the cursor do the
// notes stand for the list; otherwise, or when memory ran short, MaintainPool does the work.
void BeginSortNotes();
void NoteSortKey(PoolNode& n);
void MaintainPoolFromNotes(const PoolNode* stop);
// Unlinks and destroys every record; the pool is empty afterwards and may be used again.
void ClearPool();
// Records handed out and still live (depthKey > FreeKey).
int LiveParticleCount();

// Asks for the lines of the node a walk visits next (the links and kind, and the depth key at the
// record's end) while it works on the present one.
inline void PrefetchNode(const PoolNode* n) {
  __builtin_prefetch(n);
  __builtin_prefetch(&n->particle.depthKey);
}

// Walks the live prefix in pool order: stops at the first free record.
template <typename F>
void ForEachLive(F&& f) {
  for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel && n->particle.depthKey > FreeKey;
       n = n->next) {
    f(n->particle);
  }
}

}  // namespace varenko

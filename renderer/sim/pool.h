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

// Hands out the record at the cursor (keeping every field of its previous occupant) or a new one,
// with depthKey = NewKey.
Particle& AllocateParticle();
void FreeParticle(Particle& p);
void ComputeDepthKey(Particle& p);
// Sorts far to near (stable merge sort relinking nodes) and re-places the cursor.
void MaintainPool();
// Unlinks and destroys every record; the pool is empty afterwards.
void ClearPool();
// Records handed out and still live (depthKey > FreeKey).
int LiveParticleCount();

// Walks the live prefix in pool order: stops at the first free record.
template <typename F>
void ForEachLive(F&& f) {
  for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel && n->particle.depthKey > FreeKey;
       n = n->next) {
    f(n->particle);
  }
}

}  // namespace varenko

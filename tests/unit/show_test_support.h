// Shared set-up for the tests of the bursts, the director and the emitters: a clean pool, the
// default settings and a fixed frame step, and a way to see what a call allocated.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "renderer/host/settings.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"

namespace varenko {

// A seed whose next draw is r, to reach the edges of a draw.
inline std::uint32_t SeedForDraw(int wanted) {
  for (std::uint32_t s = 0;; ++s) {
    srand(s);
    if (rand() == wanted) return s;
  }
}

class ShowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPool();
    ApplyDefaults();
    BuildSmokeLifeTable();
    dt = 0.02f;
    srand(12345);
  }
  void TearDown() override { ClearPool(); }

  // Every live record, in pool order.
  static std::vector<Particle*> Live() {
    std::vector<Particle*> out;
    for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next) {
      if (n->particle.depthKey > FreeKey) out.push_back(&n->particle);
    }
    return out;
  }

  static std::vector<Particle*> LiveOfKind(unsigned kind) {
    std::vector<Particle*> out;
    for (Particle* p : Live()) {
      if (p->kind == kind) out.push_back(p);
    }
    return out;
  }

  // A source high in the sky, as a bursting shell would be.
  static Particle& MakeSource(const Vec3& pos, const Vec3& vel) {
    Particle& s = AllocateParticle();
    s.kind = 0;
    s.pos = pos;
    s.prevPos = pos;
    s.vel = vel;
    s.colour = Vec3(0.5f, 0.5f, 0.5f);
    s.lifeFrac = 0.0f;
    s.alpha = 1.0f;
    s.emitsTrail = 0;
    s.burstKind = 0;
    return s;
  }
};

}  // namespace varenko

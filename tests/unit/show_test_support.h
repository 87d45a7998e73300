// Shared set-up for the tests of the bursts, the director and the emitters: a new show, the
// default settings and a fixed frame step, distinct sprite list names, recycled records filled
// with a known pattern, and the replays of the random draws the rules make (colours, directions,
// initialisers) written from the rules themselves, so a test can predict every field of a record.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "renderer/host/settings.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/particle.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/show.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

inline constexpr float TestPi = 3.14159265f;

// A seed whose next draw is r, to reach the edges of a draw.
inline std::uint32_t SeedForDraw(int wanted) {
  for (std::uint32_t s = 0;; ++s) {
    srand(s);
    if (rand() == wanted) return s;
  }
}

// What a recycled record holds before a creator takes it: every field a recognisable value, so a
// field the rule leaves alone is seen to keep it and a field the rule sets is seen to change.
inline Particle Leftover() {
  Particle p{77, 66, {}, {},     {},     {}, 9.5f,  99, 98, 0.25f, 0.75f, 55, {-11, -12, -13, -14},
             {}, 7,  5,  0.375f, 0.625f, 42, NewKey};
  p.pos.Set(-1, -2, -3);
  p.prevPos.Set(-4, -5, -6);
  p.vel.Set(-7, -8, -9);
  p.colour.Set(0.11f, 0.12f, 0.13f);
  p.heading.Set(-15, -16, -17);
  return p;
}

// Every field of a record against its prediction (field numbers count from 0 in each group).
inline void ExpectRecord(const Particle& got, const Particle& want, int index) {
  using P = Particle;
  for (unsigned P::*f : {&P::kind, &P::spriteList, &P::emitsTrail, &P::burstKind})
    EXPECT_EQ(got.*f, want.*f) << "unsigned field of record " << index;
  EXPECT_EQ(got.trailIndex, want.trailIndex) << "trailIndex of record " << index;
  for (float P::*f : {&P::drag, &P::lifeTotal, &P::lifeLeft, &P::alpha, &P::lifeFrac, &P::size,
                      &P::trailCarry, &P::emitCarry})
    EXPECT_EQ(got.*f, want.*f) << "float field of record " << index;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(got.aux[i], want.aux[i]) << "aux " << i << " of " << index;
  for (Vec3 P::*v : {&P::pos, &P::prevPos, &P::vel, &P::colour, &P::heading}) {
    for (float Vec3::*c : {&Vec3::x, &Vec3::y, &Vec3::z})
      EXPECT_EQ(got.*v.*c, want.*v.*c) << "vector field of record " << index;
  }
}

// Whether every component agrees to within tol (0: exactly), for EXPECT_TRUE.
inline ::testing::AssertionResult Near(const Vec3& got, const Vec3& want, float tol = 0.0f) {
  if (std::fabs(got.x - want.x) <= tol && std::fabs(got.y - want.y) <= tol &&
      std::fabs(got.z - want.z) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << got.x << ", " << got.y << ", " << got.z << " against "
                                       << want.x << ", " << want.y << ", " << want.z;
}

// A field and the range of its draw U(lo, hi).
struct Drawn {
  float* field;
  float lo, hi;
};
// Makes the draws in the order listed.
inline void DrawInto(std::initializer_list<Drawn> draws) {
  for (const Drawn& d : draws) *d.field = U(d.lo, d.hi);
}

// Replays of the shared draws, in the order the rules make them.
namespace replay {

// One channel 1, one u = U(0, 1), one s = U(0, 0.2), arranged by Q(6) (6 taken as 5).
inline Vec3 Hue() {
  enum { One, Mid, Dim };
  static const int arrangement[6][3] = {{One, Mid, Dim}, {One, Dim, Mid}, {Mid, One, Dim},
                                        {Dim, One, Mid}, {Mid, Dim, One}, {Dim, Mid, One}};
  int a = Q(6);
  if (a > 5) a = 5;
  const float value[3] = {1.0f, U(0.0f, 1.0f), U(0.0f, 0.2f)};
  return Vec3(value[arrangement[a][0]], value[arrangement[a][1]], value[arrangement[a][2]]);
}

inline Vec3 Normalised(Vec3 v) {
  v.Normalize();
  return v;
}

inline Vec3 Direction() {
  Vec3 v;
  DrawInto({{&v.x, -0.5f, 0.5f}, {&v.y, -0.5f, 0.5f}, {&v.z, -0.5f, 0.5f}});
  return Normalised(v);
}

inline Vec3 Flat() {
  Vec3 v(0.0f, 0.0f, 0.0f);
  DrawInto({{&v.x, -0.5f, 0.5f}, {&v.z, -0.5f, 0.5f}});
  return Normalised(v);
}

// A smoke puff of the given grey: its one draw picks the picture, 5 (once in 32768) the last.
inline void Smoke(Particle& p, const Vec3& pos, const Vec3& vel, float grey) {
  p.kind = varenko::Smoke;
  p.spriteList = SmokeSprite[std::min(Q(5), 4)];
  p.drag = 2.0f;
  p.size = 0.1f;
  p.pos = pos;
  p.vel = vel;
  p.colour.Set(grey, grey, grey);
  p.emitsTrail = 0;
}

// The kind initialisers' table, row by row; 8 is the sub-shell (its creator's variant, when given,
// in burstKind), 108 the crackle carrier.
inline constexpr unsigned Crackle = 108;
inline void Init(Particle& p, unsigned which, int variant = -1) {
  struct Row {
    unsigned which, kind;
    float drag, size, lifeLo, lifeHi;
    int emitsTrail;  // -1: left alone
    bool trailCarry, emitCarry;
  };
  static const Row rows[] = {
      {Star, Star, 0.612f, 30.0f, 2.0f, 3.0f, 0, true, false},
      {EmberStar, EmberStar, 0.612f, 30.0f, 3.0f, 4.0f, -1, false, true},
      {TrailStar, TrailStar, 0.612f, 20.0f, 3.0f, 4.0f, -1, false, true},
      {SubShell, SubShell, 0.4f, 0.0f, 3.0f, 4.5f, 1, true, false},
      {Crackle, SubShell, 0.4f, 0.0f, 0.0f, 0.0f, 0, false, false},
      {Bee, Bee, 0.3f, 10.0f, 2.5f, 3.5f, 0, false, true},
  };
  for (const Row& r : rows) {
    if (r.which != which) continue;
    p.kind = r.kind;
    p.spriteList = GlowSprite;
    p.drag = r.drag;
    if (which == Crackle) {
      p.size = U(7.0f, 10.0f);
      p.lifeTotal = (0.5f - std::sin(U(0.0f, TestPi))) * 4.0f + 4.5f;
      p.burstKind = 8;
    } else {
      p.size = r.size;
      p.lifeTotal = U(r.lifeLo, r.lifeHi);
    }
    p.lifeLeft = p.lifeTotal;
    if (r.emitsTrail >= 0) p.emitsTrail = static_cast<unsigned>(r.emitsTrail);
    if (r.trailCarry) p.trailCarry = 0.0f;
    if (r.emitCarry) p.emitCarry = 0.0f;
    if (which == SubShell && variant >= 0) p.burstKind = static_cast<unsigned>(variant);
    if (which != Bee) continue;
    for (float* a : {&p.aux[0], &p.aux[1], &p.aux[2]}) *a = U(TestPi, 3.0f * TestPi);
    for (float Vec3::*c : {&Vec3::x, &Vec3::y, &Vec3::z}) p.heading.*c = U(0, 2.0f * TestPi);
  }
}

}  // namespace replay

class ShowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShow();
    ApplyDefaults();
    BuildSmokeLifeTable();
    savedDt = dt;
    dt = 0.02f;
    srand(12345);
    // Distinct list names, so a record drawn with the wrong sprite is seen.
    GlowSprite = 1;
    DiscSprite = 2;
    RingSprite = 3;
    SparkleSprite = 4;
    for (unsigned i = 0; i < 5; ++i) SmokeSprite[i] = 10 + i;
  }
  void TearDown() override {
    ResetShow();
    ApplyDefaults();
    dt = savedDt;
    GlowSprite = DiscSprite = RingSprite = SparkleSprite = 0;
    for (unsigned& s : SmokeSprite) s = 0;
  }

  float savedDt = 0.0f;

  // Every live record, in pool order.
  static std::vector<Particle*> Live() {
    std::vector<Particle*> out;
    for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next)
      if (n->particle.depthKey > FreeKey) out.push_back(&n->particle);
    return out;
  }

  static std::vector<Particle*> LiveOfKind(unsigned kind) {
    std::vector<Particle*> out = Live();
    std::erase_if(out, [kind](const Particle* p) { return p->kind != kind; });
    return out;
  }

  // Puts `count` free records holding Leftover() behind the live ones: the next allocations are
  // recycled records whose untouched fields are known.
  static void AddLeftovers(int count) {
    std::vector<Particle*> made;
    for (int i = 0; i < count; ++i) made.push_back(&AllocateParticle());
    for (Particle* p : made) {
      *p = Leftover();
      FreeParticle(*p);
    }
    MaintainPool();
  }

  // A source high in the sky, as a bursting shell would be.
  static Particle& MakeSource(const Vec3& pos, const Vec3& vel) {
    Particle& s = AllocateParticle();
    s = Leftover();
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

  // Runs `run` and `predict` from the same seed: the records made after `first` and the generator
  // afterwards (no draw more, none less) must agree.
  template <class Run, class Predict>
  static void ExpectReplayed(std::uint32_t seed, size_t first, Run run, Predict predict) {
    srand(seed);
    run();
    const std::uint32_t after = RandState();
    srand(seed);
    ExpectMade(predict(), first);
    EXPECT_EQ(RandState(), after);
  }

  // Compares the records after `first` in pool order with the predicted ones, and the count.
  static void ExpectMade(const std::vector<Particle>& want, size_t first = 1) {
    const auto live = Live();
    ASSERT_EQ(live.size(), first + want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      ExpectRecord(*live[first + i], want[i], static_cast<int>(i));
      if (::testing::Test::HasFailure()) return;  // one record's report is enough
    }
  }
};

}  // namespace varenko

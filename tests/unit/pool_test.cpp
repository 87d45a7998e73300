// The particle pool: allocation and recycling, the far-to-near sort and its cursor, the depth key,
// and the record cap that keeps memory bounded.
#include "renderer/sim/pool.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/unit/show_test_support.h"

namespace varenko {
namespace {

class PoolTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearPool(); }
  void TearDown() override { ClearPool(); }
};

// Keys in list order, checking on the way that every back link matches and the count is right.
std::vector<float> KeysInOrder() {
  std::vector<float> keys;
  const PoolNode* prev = &pool.sentinel;
  for (const PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next) {
    EXPECT_EQ(n->prev, prev);
    keys.push_back(n->particle.depthKey);
    prev = n;
  }
  EXPECT_EQ(pool.sentinel.prev, prev);
  EXPECT_EQ(static_cast<int>(keys.size()), pool.nodeCount);
  return keys;
}

// A new record: a star of the glow sprite (list name 7 in these tests), at rest at the origin.
Particle Fresh() {
  const Vec3 o(0, 0, 0);
  return Particle{Star,         7, o, o, o, o, 0.612f, 2,     2, 1, 1, 30,
                  {0, 0, 0, 0}, o, 0, 0, 0, 0, 0,      NewKey};
}

TEST_F(PoolTest, FirstAllocationCreatesANewRecordAndRecyclingKeepsItsFields) {
  GlowSprite = 7;
  // A node freed with other values, so the next one's memory is unlikely to hold the right ones.
  AllocateParticle() = Leftover();
  ClearPool();
  Particle& p = AllocateParticle();
  EXPECT_EQ(pool.nodeCount, 1);
  EXPECT_EQ(pool.cursor, &pool.sentinel);
  ExpectRecord(p, Fresh(), 0);
  EXPECT_EQ(p.depthKey, NewKey);

  // Fill it with other values, free it, and take it again: only the key is new.
  p = Leftover();
  const Particle kept = p;
  FreeParticle(p);
  EXPECT_EQ(p.depthKey, FreeKey);
  MaintainPool();
  EXPECT_EQ(pool.cursor, pool.sentinel.next);

  Particle& q = AllocateParticle();
  EXPECT_EQ(&q, &p);
  EXPECT_EQ(pool.nodeCount, 1);
  EXPECT_EQ(pool.cursor, &pool.sentinel);
  EXPECT_EQ(q.depthKey, NewKey);
  ExpectRecord(q, kept, 0);
  GlowSprite = 0;
}

TEST_F(PoolTest, MaintenanceSortsFarToNearAndPutsTheCursorOnTheFirstFreeRecord) {
  for (float key : {5.0f, FreeKey, 12.0f, NewKey, FreeKey}) AllocateParticle().depthKey = key;
  MaintainPool();
  EXPECT_EQ(KeysInOrder(), (std::vector<float>{NewKey, 12.0f, 5.0f, FreeKey, FreeKey}));
  ASSERT_NE(pool.cursor, &pool.sentinel);
  EXPECT_EQ(pool.cursor, pool.sentinel.next->next->next->next);
  EXPECT_EQ(LiveParticleCount(), 3);

  // The free records are handed out in list order, then the pool grows.
  Particle* fourth = &pool.cursor->particle;
  EXPECT_EQ(&AllocateParticle(), fourth);
  AllocateParticle();
  EXPECT_EQ(pool.cursor, &pool.sentinel);
  AllocateParticle();
  EXPECT_EQ(pool.nodeCount, 6);
  EXPECT_EQ(LiveParticleCount(), 6);
}

TEST_F(PoolTest, SortIsStableAndRelinksEveryNode) {
  // Short lists are merged in place, long ones through a key array: both must agree. Keys: few
  // distinct ones; nearly in order, as a frame leaves them; and some below FreeKey, which no rule
  // makes but which must still sort.
  const auto key = [](int pattern, int i) {
    if (i % 7 == 3) return FreeKey;
    if (pattern == 0) return static_cast<float>((i * 37) % 11) - 5.0f;
    if (pattern == 2 && i % 13 == 5) return -2.0e6f;
    return 1000.0f - static_cast<float>(i) + static_cast<float>(i % 5) * 1.5f;
  };
  for (const auto& [count, pattern] :
       {std::pair{100, 0}, {1000, 0}, {5000, 0}, {5000, 1}, {5000, 2}}) {
    ClearPool();
    SCOPED_TRACE(count * 10 + pattern);
    // The tag remembers the allocation order.
    std::vector<const Particle*> records;
    for (int i = 0; i < count; ++i) {
      Particle& p = AllocateParticle();
      p.burstKind = static_cast<unsigned>(i);
      p.depthKey = key(pattern, i);
      records.push_back(&p);
    }
    MaintainPool();
    const std::vector<float> keys = KeysInOrder();
    ASSERT_EQ(static_cast<int>(keys.size()), count);

    // Far to near, equal keys in allocation order; records relinked, not copied.
    for (const PoolNode* n = pool.sentinel.next; n->next != &pool.sentinel; n = n->next) {
      const Particle &a = n->particle, &b = n->next->particle;
      ASSERT_EQ(records[a.burstKind], &a);
      ASSERT_EQ(records[b.burstKind], &b);
      ASSERT_TRUE(a.depthKey > b.depthKey ||
                  (a.depthKey == b.depthKey && a.burstKind < b.burstKind));
    }
    EXPECT_EQ(pool.cursor->particle.depthKey, FreeKey);
    EXPECT_GT(pool.cursor->prev->particle.depthKey, FreeKey);
  }
}

TEST_F(PoolTest, OneNodeListAndEmptyListPlaceTheCursor) {
  MaintainPool();
  EXPECT_EQ(pool.cursor, &pool.sentinel);

  Particle& p = AllocateParticle();
  p.depthKey = 3.0f;
  MaintainPool();
  EXPECT_EQ(pool.cursor, &pool.sentinel);
  FreeParticle(p);
  MaintainPool();
  EXPECT_EQ(pool.cursor, pool.sentinel.next);
  EXPECT_EQ(KeysInOrder(), (std::vector<float>{FreeKey}));
}

TEST_F(PoolTest, DepthKeyIsTheDistanceAlongTheViewingAxis) {
  // The key is (eye - pos) against the third column (m[8], m[9], m[10]) of the camera matrix, in
  // double precision; every element differs, so a row or a wrong element gives another key.
  const Vec3 eye = depthEye;
  double saved[16];
  std::copy(BillboardMatrix, BillboardMatrix + 16, saved);
  for (int i = 0; i < 16; ++i) BillboardMatrix[i] = 0.1 * (i + 1);  // m[8..10] = 0.9, 1.0, 1.1
  depthEye.Set(10.0f, 20.0f, 30.0f);
  const struct {
    Vec3 pos;
    float key;
  } cases[] = {{Vec3(7, 16, 25), 3 * 0.9f + 4 * 1.0f + 5 * 1.1f},  // 12.2
               {Vec3(10, 20, 30), 0.0f},
               {Vec3(10, 20, 130), -110.0f},
               {Vec3(13, 20, 30), -2.7f},
               {Vec3(10, 18.5f, 30), 1.5f}};
  Particle p;
  for (const auto& c : cases) {
    p.pos = c.pos;
    ComputeDepthKey(p);
    EXPECT_FLOAT_EQ(p.depthKey, c.key) << c.pos.x << " " << c.pos.y << " " << c.pos.z;
  }
  depthEye.Set(0.0f, 0.0f, 0.0f);
  for (int i = 0; i < 16; ++i) BillboardMatrix[i] = (i % 5 == 0) ? 1.0 : 0.0;

  // A live particle never passes for a free one: far behind or not a number sorts farthest.
  p.pos.Set(0.0f, 0.0f, 2.0e6f);
  ComputeDepthKey(p);
  EXPECT_EQ(p.depthKey, FarthestLiveKey);
  p.pos.Set(0.0f, 0.0f, std::numeric_limits<float>::quiet_NaN());
  ComputeDepthKey(p);
  EXPECT_EQ(p.depthKey, FarthestLiveKey);
  EXPECT_GT(FarthestLiveKey, FreeKey);
  EXPECT_EQ(std::nextafter(FreeKey, 0.0f), FarthestLiveKey);
  depthEye = eye;
  std::copy(saved, saved + 16, BillboardMatrix);
}

TEST_F(PoolTest, FullPoolHandsOutADetachedScratchRecord) {
  for (int i = 0; i < MaxPoolRecords; ++i) AllocateParticle();
  EXPECT_EQ(pool.nodeCount, MaxPoolRecords);

  GlowSprite = 7;
  Particle& s = AllocateParticle();
  EXPECT_TRUE(IsScratchParticle(s));
  EXPECT_EQ(s.depthKey, NewKey);
  ExpectRecord(s, Fresh(), 0);
  GlowSprite = 0;
  s.size = 1.0e9f;  // callers may write anything into it
  EXPECT_TRUE(IsScratchParticle(AllocateParticle()));
  EXPECT_EQ(pool.nodeCount, MaxPoolRecords);
  EXPECT_EQ(LiveParticleCount(), MaxPoolRecords);
  for (const PoolNode* n = pool.sentinel.next; n != &pool.sentinel; n = n->next) {
    ASSERT_FALSE(IsScratchParticle(n->particle));
  }

  // A freed record is handed out again once the pool has been maintained.
  FreeParticle(pool.sentinel.next->particle);
  MaintainPool();
  Particle& again = AllocateParticle();
  EXPECT_FALSE(IsScratchParticle(again));
  EXPECT_EQ(pool.nodeCount, MaxPoolRecords);

  ClearPool();
  EXPECT_EQ(pool.nodeCount, 0);
  EXPECT_EQ(pool.sentinel.next, &pool.sentinel);
  EXPECT_FALSE(IsScratchParticle(AllocateParticle()));
  EXPECT_EQ(pool.nodeCount, 1);
}

}  // namespace
}  // namespace varenko

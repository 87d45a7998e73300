// Vector, quaternion and matrix operations on the values that callers rely on.
#include "renderer/sim/vecmath.h"

#include <gtest/gtest.h>

#include "tests/unit/show_test_support.h"

namespace varenko {
namespace {

TEST(Vec3, NormalizeZeroPointsUpAndReturnsZero) {
  Vec3 v(0, 0, 0);
  EXPECT_EQ(v.Normalize(), 0.0f);
  EXPECT_TRUE(Near(v, Vec3(0, 1, 0)));
  Vec3 w(3, 0, 4);
  EXPECT_FLOAT_EQ(w.Normalize(), 5.0f);
  EXPECT_TRUE(Near(w, Vec3(0.6f, 0, 0.8f), 1e-7f));
}

TEST(Vec3, CrossDotAndFreeOperations) {
  Vec3 c(9, 9, 9);
  c.Cross(Vec3(1, 0, 0), Vec3(0, 1, 0));
  EXPECT_TRUE(Near(c, Vec3(0, 0, 1)));
  c.Cross(Vec3(1, 2, 3), Vec3(4, 5, 6));  // every term of every component counts
  EXPECT_TRUE(Near(c, Vec3(-3, 6, -3)));
  EXPECT_FLOAT_EQ(Vec3(1, 2, 3).Dot(Vec3(4, -5, 6)), 12.0f);
  EXPECT_TRUE(Near(Sum(Vec3(1, 2, 3), Vec3(1, 1, 2)), Vec3(2, 3, 5)));
  EXPECT_TRUE(Near(Difference(Vec3(1, 2, 3), Vec3(1, 1, 2)), Vec3(0, 1, 1)));
  EXPECT_TRUE(Near(Scaled(Vec3(1, 2, 3), -2.0f), Vec3(-2, -4, -6)));
  EXPECT_FLOAT_EQ(Vec3(2, 3, 6).Length(), 7.0f);
}

TEST(Quaternion, FromAxisAngleAtAndAroundTheThreshold) {
  // angle, axis -> (x, y, z, w); below 1e-6 in size the identity, the axis used unnormalised.
  const struct {
    float angle, ax, ay, az, x, y, z, w;
  } cases[] = {{0.0000005f, 0, 1, 0, 0, 0, 0, 1},
               {-0.0000009f, 1, 0, 0, 0, 0, 0, 1},
               {1e-6f, 0, 2, 0, 0, 1e-6f, 0, 1},
               {-1e-6f, 2, 0, 0, -1e-6f, 0, 0, 1},
               {1.0f, 0.6f, 0, 0.8f, 0.28765532f, 0, 0.38354043f, 0.87758256f},
               {3.14159265f, 0, 1, 0, 0, 1, 0, 0}};
  const Quaternion identity;  // the default is the identity
  EXPECT_TRUE(Near(Vec3(identity.x, identity.y, identity.z), Vec3(0, 0, 0)));
  EXPECT_EQ(identity.w, 1.0f);
  for (const auto& c : cases) {
    Quaternion q{9, 9, 9, 9};  // every component is written, whatever it held
    q.FromAxisAngle(c.angle, c.ax, c.ay, c.az);
    EXPECT_TRUE(Near(Vec3(q.x, q.y, q.z), Vec3(c.x, c.y, c.z), 1e-7f)) << c.angle;
    EXPECT_NEAR(q.w, c.w, 1e-7f) << c.angle;
  }
}

TEST(Matrix4, RotationOfANonUnitQuaternionAndRotateBy) {
  // (1, 2, 3, 4): s = 2 / 30, every element of the column-major table in fifteenths.
  Quaternion q{1, 2, 3, 4};
  const float fifteenths[16] = {2, 14, -5, 0, -10, 5, 10, 0, 11, 2, 10, 0, 0, 0, 0, 15};
  Matrix4 set;
  set.SetRotation(q);
  const Matrix4 to = q.ToMatrix();
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(to.m[i], fifteenths[i] / 15.0f, 1e-6f) << i;
    EXPECT_EQ(set.m[i], to.m[i]) << i;
  }
  // Only x, y and z decide the identity fall-back, whatever w is.
  q = Quaternion{0, 0, 0, 5};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(q.ToMatrix().m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;

  // The upper 3x3 block turns (1, -1, 2) into (34, 13, 5) / 15; the translation is left out.
  for (int i : {3, 7, 11, 12, 13, 14}) set.m[i] = 100.0f * static_cast<float>(i);
  Vec3 v(1, -1, 2);
  v.RotateBy(set);
  EXPECT_TRUE(Near(v, Vec3(34.0f / 15, 13.0f / 15, 5.0f / 15), 1e-6f));
}

}  // namespace
}  // namespace varenko

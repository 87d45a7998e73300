// Vector, quaternion and matrix operations on the values that callers rely on.
#include "renderer/sim/vecmath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace varenko {
namespace {

TEST(Vec3, NormalizeZeroPointsUpAndReturnsZero) {
  Vec3 v(0, 0, 0);
  EXPECT_EQ(v.Normalize(), 0.0f);
  EXPECT_EQ(v.x, 0.0f);
  EXPECT_EQ(v.y, 1.0f);
  EXPECT_EQ(v.z, 0.0f);

  Vec3 w(3, 0, 4);
  EXPECT_FLOAT_EQ(w.Normalize(), 5.0f);
  EXPECT_FLOAT_EQ(w.x, 0.6f);
  EXPECT_FLOAT_EQ(w.y, 0.0f);
  EXPECT_FLOAT_EQ(w.z, 0.8f);
}

TEST(Vec3, CrossDotAndFreeOperations) {
  Vec3 c(9, 9, 9);
  c.Cross(Vec3(1, 0, 0), Vec3(0, 1, 0));
  EXPECT_EQ(c.x, 0.0f);
  EXPECT_EQ(c.y, 0.0f);
  EXPECT_EQ(c.z, 1.0f);
  c.Cross(Vec3(1, 2, 3), Vec3(4, 5, 6));  // every term of every component counts
  EXPECT_EQ(c.x, -3.0f);
  EXPECT_EQ(c.y, 6.0f);
  EXPECT_EQ(c.z, -3.0f);

  EXPECT_FLOAT_EQ(Vec3(1, 2, 3).Dot(Vec3(4, -5, 6)), 12.0f);
  const Vec3 s = Sum(Vec3(1, 2, 3), Vec3(1, 1, 1));
  const Vec3 d = Difference(Vec3(1, 2, 3), Vec3(1, 1, 1));
  const Vec3 k = Scaled(Vec3(1, 2, 3), -2.0f);
  EXPECT_EQ(s.y, 3.0f);
  EXPECT_EQ(d.z, 2.0f);
  EXPECT_EQ(k.x, -2.0f);
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
  EXPECT_EQ(identity.x + identity.y + identity.z, 0.0f);
  EXPECT_EQ(identity.w, 1.0f);
  for (const auto& c : cases) {
    Quaternion q;
    q.x = q.y = q.z = q.w = 9.0f;  // every component is written, whatever it held
    q.FromAxisAngle(c.angle, c.ax, c.ay, c.az);
    EXPECT_NEAR(q.x, c.x, 1e-7f) << c.angle;
    EXPECT_NEAR(q.y, c.y, 1e-7f) << c.angle;
    EXPECT_NEAR(q.z, c.z, 1e-7f) << c.angle;
    EXPECT_NEAR(q.w, c.w, 1e-7f) << c.angle;
  }
}

TEST(Matrix4, RotationOfANonUnitQuaternionAndRotateBy) {
  // (1, 2, 3, 4): s = 2 / 30, every element of the column-major table in fifteenths.
  Quaternion q;
  q.x = 1;
  q.y = 2;
  q.z = 3;
  q.w = 4;
  const float fifteenths[16] = {2, 14, -5, 0, -10, 5, 10, 0, 11, 2, 10, 0, 0, 0, 0, 15};
  Matrix4 set;
  set.SetRotation(q);
  const Matrix4 to = q.ToMatrix();
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(to.m[i], fifteenths[i] / 15.0f, 1e-6f) << i;
    EXPECT_EQ(set.m[i], to.m[i]) << i;
  }
  // Only x, y and z decide the identity fall-back, whatever w is.
  q.x = q.y = q.z = 0;
  q.w = 5;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(q.ToMatrix().m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;

  // The upper 3x3 block turns (1, -1, 2) into (34, 13, 5) / 15; the translation is left out.
  set.m[12] = 100;
  set.m[13] = 200;
  set.m[14] = 300;
  set.m[3] = set.m[7] = set.m[11] = 7;
  Vec3 v(1, -1, 2);
  v.RotateBy(set);
  EXPECT_NEAR(v.x, 34.0f / 15, 1e-6f);
  EXPECT_NEAR(v.y, 13.0f / 15, 1e-6f);
  EXPECT_NEAR(v.z, 5.0f / 15, 1e-6f);
}

}  // namespace
}  // namespace varenko

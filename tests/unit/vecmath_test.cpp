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
  c.Cross(Vec3(0, 1, 0), Vec3(1, 0, 0));
  EXPECT_EQ(c.z, -1.0f);

  EXPECT_FLOAT_EQ(Vec3(1, 2, 3).Dot(Vec3(4, -5, 6)), 12.0f);
  const Vec3 s = Sum(Vec3(1, 2, 3), Vec3(1, 1, 1));
  const Vec3 d = Difference(Vec3(1, 2, 3), Vec3(1, 1, 1));
  const Vec3 k = Scaled(Vec3(1, 2, 3), -2.0f);
  EXPECT_EQ(s.y, 3.0f);
  EXPECT_EQ(d.z, 2.0f);
  EXPECT_EQ(k.x, -2.0f);
  EXPECT_FLOAT_EQ(Vec3(2, 3, 6).Length(), 7.0f);
}

TEST(Quaternion, TinyAnglesGiveIdentityAndHalfTurnAboutY) {
  Quaternion q;
  q.FromAxisAngle(0.0000005f, 0, 1, 0);
  EXPECT_EQ(q.x, 0.0f);
  EXPECT_EQ(q.y, 0.0f);
  EXPECT_EQ(q.z, 0.0f);
  EXPECT_EQ(q.w, 1.0f);

  q.FromAxisAngle(3.14159265f, 0, 1, 0);
  EXPECT_NEAR(q.x, 0.0f, 1e-6);
  EXPECT_NEAR(q.y, 1.0f, 1e-6);
  EXPECT_NEAR(q.z, 0.0f, 1e-6);
  EXPECT_NEAR(q.w, 0.0f, 1e-6);
}

TEST(Quaternion, ToMatrixIdentityFallbackAndNonUnitLength) {
  Quaternion q;
  q.x = q.y = q.z = 0;
  q.w = 5;
  const Matrix4 id = q.ToMatrix();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(id.m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;

  Quaternion a, b;
  a.x = a.y = 0;
  a.z = 2;
  a.w = 0;
  b.x = b.y = 0;
  b.z = 1;
  b.w = 0;
  const Matrix4 ma = a.ToMatrix();
  const Matrix4 mb = b.ToMatrix();
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(ma.m[i], mb.m[i]) << i;
  EXPECT_FLOAT_EQ(ma.m[0], -1.0f);
  EXPECT_FLOAT_EQ(ma.m[5], -1.0f);
  EXPECT_FLOAT_EQ(ma.m[10], 1.0f);
}

TEST(Matrix4, RotateByIgnoresTranslationAndTurnsAboutAxis) {
  Quaternion q;
  q.FromAxisAngle(static_cast<float>(M_PI / 2), 0, 0, 1);  // quarter turn about z
  Matrix4 m;
  m.SetRotation(q);
  m.m[12] = 100;
  m.m[13] = 200;
  m.m[14] = 300;
  Vec3 v(1, 0, 0);
  v.RotateBy(m);
  EXPECT_NEAR(v.x, 0.0f, 1e-6);
  EXPECT_NEAR(v.y, 1.0f, 1e-6);
  EXPECT_NEAR(v.z, 0.0f, 1e-6);
}

}  // namespace
}  // namespace varenko

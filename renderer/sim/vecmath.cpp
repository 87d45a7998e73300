// Vec3, Quaternion and Matrix4 operations. Intermediate products are carried in double and
// rounded to float when stored.
#include "renderer/sim/vecmath.h"

#include <cmath>

namespace varenko {

float Vec3::Length() const {
  const double dx = x, dy = y, dz = z;
  return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

float Vec3::Normalize() {
  const float len = Length();
  if (len == 0.0f) {
    y = 1.0f;
    return 0.0f;
  }
  const float inv = 1.0f / len;  // one reciprocal, three products
  x *= inv;
  y *= inv;
  z *= inv;
  return len;
}

float Vec3::Dot(Vec3 v) const {
  return static_cast<float>(static_cast<double>(x) * v.x + static_cast<double>(y) * v.y +
                            static_cast<double>(z) * v.z);
}

void Vec3::Cross(Vec3 a, Vec3 b) {
  x = static_cast<float>(static_cast<double>(a.y) * b.z - static_cast<double>(b.y) * a.z);
  y = static_cast<float>(static_cast<double>(b.x) * a.z - static_cast<double>(a.x) * b.z);
  z = static_cast<float>(static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y);
}

void Vec3::RotateBy(const Matrix4& mat) {
  const float* m = mat.m;
  const double vx = x, vy = y, vz = z;
  x = static_cast<float>(m[0] * vx + m[4] * vy + m[8] * vz);
  y = static_cast<float>(m[1] * vx + m[5] * vy + m[9] * vz);
  z = static_cast<float>(m[2] * vx + m[6] * vy + m[10] * vz);
}

void Quaternion::FromAxisAngle(float angle, float ax, float ay, float az) {
  if (angle >= 1e-6f || angle <= -1e-6f) {
    const double h = static_cast<double>(angle) * 0.5;
    const double s = std::sin(h);
    x = static_cast<float>(s * ax);
    y = static_cast<float>(s * ay);
    z = static_cast<float>(s * az);
    w = static_cast<float>(std::cos(h));
  } else {
    x = y = z = 0.0f;
    w = 1.0f;
  }
}

Matrix4 Quaternion::ToMatrix() const {
  Matrix4 r;
  r.SetRotation(*this);
  return r;
}

void Matrix4::SetIdentity() {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Matrix4::SetRotation(const Quaternion& q) {
  if (q.x == 0.0f && q.y == 0.0f && q.z == 0.0f) {
    SetIdentity();
    return;
  }
  const double x = q.x, y = q.y, z = q.z, w = q.w;
  const double s = 2.0 / (x * x + y * y + z * z + w * w);
  m[0] = static_cast<float>(1.0 - s * (y * y + z * z));
  m[1] = static_cast<float>(s * (x * y + w * z));
  m[2] = static_cast<float>(s * (x * z - w * y));
  m[3] = 0.0f;
  m[4] = static_cast<float>(s * (x * y - w * z));
  m[5] = static_cast<float>(1.0 - s * (x * x + z * z));
  m[6] = static_cast<float>(s * (y * z + w * x));
  m[7] = 0.0f;
  m[8] = static_cast<float>(s * (x * z + w * y));
  m[9] = static_cast<float>(s * (y * z - w * x));
  m[10] = static_cast<float>(1.0 - s * (x * x + y * y));
  m[11] = 0.0f;
  m[12] = m[13] = m[14] = 0.0f;
  m[15] = 1.0f;
}

}  // namespace varenko

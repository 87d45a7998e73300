// The renderer's geometry types: Vec3 (points, velocities, directions and RGB colours), Quaternion
// (rotations) and Matrix4 (a 4x4 single-precision matrix, column-major as OpenGL expects).
// Only these named operations exist; in-place sums and scaling are written out where used.
#pragma once

namespace varenko {

struct Matrix4;

class Vec3 {
 public:
  float x;
  float y;
  float z;

  Vec3() {}  // components left unset: callers always assign them before use
  Vec3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
  Vec3(const Vec3& v) : x(v.x), y(v.y), z(v.z) {}
  Vec3& operator=(const Vec3& v) = default;
  virtual ~Vec3() = default;

  void Set(float ax, float ay, float az) {
    x = ax;
    y = ay;
    z = az;
  }
  float Length() const;
  // Normalises in place and returns the former length. A zero vector becomes (x, 1, z), which for
  // (0, 0, 0) is straight up, and returns 0.
  float Normalize();
  float Dot(Vec3 v) const;
  // this = a x b.
  void Cross(Vec3 a, Vec3 b);
  // this = upper-left 3x3 block of m times this; the translation column is ignored.
  void RotateBy(const Matrix4& m);
};

// Inline: the update pass and the force fields call these for every particle.
inline Vec3 Sum(const Vec3& a, const Vec3& b) { return Vec3(a.x + b.x, a.y + b.y, a.z + b.z); }
inline Vec3 Difference(const Vec3& a, const Vec3& b) {
  return Vec3(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline Vec3 Scaled(const Vec3& v, float s) { return Vec3(v.x * s, v.y * s, v.z * s); }

struct Quaternion {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 1.0f;  // scalar part, stored last

  // Rotation by angle (radians) about the axis (ax, ay, az), which callers pass as a unit vector.
  // Angles within 1e-6 of zero give the identity.
  void FromAxisAngle(float angle, float ax, float ay, float az);
  Matrix4 ToMatrix() const;
};

struct Matrix4 {
  float m[16];  // m[c * 4 + r] is row r, column c

  Matrix4() {}  // elements left unset
  void SetIdentity();
  // Fills this matrix from q as ToMatrix does; a quaternion with x = y = z = 0 gives the identity,
  // and one that is not of unit length still gives a pure rotation.
  void SetRotation(const Quaternion& q);
  float* Data() { return m; }
  const float* Data() const { return m; }
};

}  // namespace varenko

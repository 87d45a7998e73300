// The camera flight and its view angles; no OpenGL here, the frame driver applies them.
#include "renderer/scene/camera.h"

#include <cmath>

#include "renderer/sim/random.h"

namespace varenko {

CameraPath camera = InitialCameraPath();

namespace {

constexpr float Pi = 3.14159265f;
constexpr float DegreesPerRadian = 57.29578f;

// Each coordinate is its own statement: the draws must come in x, y, z order.
Vec3 RandomEye() {
  const float x = U(-3000.0f, 3000.0f);
  const float y = U(5.0f, 1705.0f);
  const float z = U(-3000.0f, 3000.0f);
  return Vec3(x, y, z);
}

Vec3 RandomTarget() {
  const float x = U(-500.0f, 500.0f);
  const float y = U(200.0f, 1300.0f);
  const float z = U(-500.0f, 500.0f);
  return Vec3(x, y, z);
}

}  // namespace

CameraPath InitialCameraPath() {
  CameraPath c;
  const Vec3 origin(0.0f, 0.0f, 0.0f);
  const Vec3 target(0.0f, 1200.0f, 0.0f);
  c.eyeStart = origin;
  c.eyeEnd = origin;
  c.targetStart = target;
  c.targetEnd = target;
  c.eyePos = origin;
  c.lookTarget = target;
  c.segmentTime = 0.0f;
  c.segmentDuration = 20.0f;
  c.segmentProgress = 0.0f;
  c.pitchDeg = 0.0f;
  c.yawDeg = 0.0f;
  return c;
}

void StartOpeningFlight(CameraPath& c) {
  const float endX = U(-1500.0f, 1500.0f);
  const float endZ = U(-1500.0f, 1500.0f);
  c.eyeEnd.Set(endX, 400.0f, endZ);
  const float startX = U(5000.0f, 6000.0f);
  const float startZ = U(-2000.0f, 2000.0f);
  c.eyeStart.Set(startX, 5.0f, startZ);
}

void AdvanceCamera(CameraPath& c, float dt) {
  c.segmentTime += dt;
  c.segmentProgress = c.segmentTime / c.segmentDuration;
  if (c.segmentProgress >= 1.0f) {
    c.segmentTime = 0.0f;
    c.segmentProgress = 0.0f;
    c.eyeStart = c.eyeEnd;
    c.segmentDuration = U(5.0f, 30.0f);
    c.eyeEnd = RandomEye();
    c.targetStart = c.targetEnd;
    c.targetEnd = RandomTarget();
    if (Q(3) == 0) {
      // A cut: the new segment starts somewhere else instead of where the last one ended.
      c.eyeStart = RandomEye();
      c.targetStart = RandomTarget();
    }
  }
  // Zero speed at both ends of a segment, so segments join without a jolt.
  const float s = (1.0f - std::cos(c.segmentProgress * Pi)) * 0.5f;
  c.eyePos = Sum(c.eyeStart, Scaled(Difference(c.eyeEnd, c.eyeStart), s));
  c.lookTarget = Sum(c.targetStart, Scaled(Difference(c.targetEnd, c.targetStart), s));
}

void ComputeViewAngles(CameraPath& c) {
  const Vec3 d = Difference(c.lookTarget, c.eyePos);
  c.pitchDeg = std::atan2(d.y, std::sqrt(d.z * d.z + d.x * d.x)) * DegreesPerRadian;
  c.yawDeg =
      std::atan2(c.eyePos.x - c.lookTarget.x, c.eyePos.z - c.lookTarget.z) * DegreesPerRadian;
}

}  // namespace varenko

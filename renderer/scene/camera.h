// The camera's flight: eased segments between random vantage points over the launch area, the
// opening approach from far away, occasional cuts, and the view angles that aim the eye.
#pragma once

#include "renderer/sim/vecmath.h"

namespace varenko {

struct CameraPath {
  Vec3 eyeStart;  // eye at the start and end of the current segment
  Vec3 eyeEnd;
  Vec3 targetStart;  // look-at point at the start and end of the segment
  Vec3 targetEnd;
  Vec3 eyePos;  // where the eye is now and what it looks at
  Vec3 lookTarget;
  float segmentTime;      // seconds into the segment
  float segmentDuration;  // seconds
  float segmentProgress;  // segmentTime / segmentDuration; 1 or more starts a new segment
  float pitchDeg;         // view angles, degrees; there is no roll
  float yawDeg;
};

// The camera of the running show; the lens flare reads eyePos and lookTarget.
extern CameraPath camera;

// Before the first frame: looking at (0, 1200, 0), a 20-second first segment.
CameraPath InitialCameraPath();

// First frame only: the segment's end over the launch area at 400 units, its start 5000 to 6000
// units away near the ground. Draws eyeEnd x, z then eyeStart x, z.
void StartOpeningFlight(CameraPath& c);

// Advances the flight by dt seconds (starting a new segment when the current one is done) and
// sets eyePos and lookTarget on the eased path.
void AdvanceCamera(CameraPath& c, float dt);

// pitchDeg and yawDeg for looking from eyePos at lookTarget.
void ComputeViewAngles(CameraPath& c);

}  // namespace varenko

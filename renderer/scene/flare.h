// The lens flare drawn over the finished picture: burst flashes cast a chain of ghosts through the
// screen centre, finale objects a horizontal streak with a soft ring.
#pragma once

#include "renderer/sim/vecmath.h"

namespace varenko {

struct FlareRequest {
  float isStreak;  // 0: ghost chain of a flash; 1: streak of a finale object
  float x;         // overlay units: 0 at the left edge, the aspect ratio at the right
  float y;         // overlay units: 0 at the bottom, 1 at the top
  float red;
  float green;
  float blue;
  float intensity;  // opacity of the element, and for streaks its size
};

inline constexpr int FlareQueueCapacity = 110;

struct FlareRequestQueue {
  FlareRequest request[FlareQueueCapacity];
  int count;
};
extern FlareRequestQueue FlareQueue;

// What the collection needs of this frame's camera: the eye and look-at point, the eye copy the
// depth keys used, the saved matrices and viewport, and the client area.
struct FlareView {
  Vec3 eyePos;
  Vec3 lookTarget;
  Vec3 savedEye;
  double modelView[16];
  double projection[16];
  int viewport[4];
  int clientWidth;
  int clientHeight;
  float aspect;
};

// Intensity of a flash's ghost chain at distance `distance` from the eye.
float FlashFlareIntensity(int flareBrightness, float alpha, float distance);
// Intensity of a finale object's streak: distance fade times 1 - l^4.
float FinaleFlareIntensity(int flareBrightness, float alpha, float distance);

// Scales an element's intensity down near the screen edges and reports false when the light lies
// so far outside that the element is dropped. Works in overlay units with a margin of a tenth of
// the screen width.
bool FadeAtScreenEdges(float x, float y, float aspect, float& intensity);

// Walks the live particles in pool order and queues a request for every Flash and finale object
// more than one unit in front of the camera, up to the queue's capacity.
void CollectFlares(const FlareView& view);

void DrawGhostChain(float x, float y, float red, float green, float blue, float intensity);
void DrawStreak(float x, float y, float red, float green, float blue, float intensity);

// Collects and draws the flare of the frame seen through `view`, then empties the queue.
void DrawFlaresFor(const FlareView& view);

// Fills the queue from the whole picture of a frame drawn in slices: the saved matrices seen
// through a viewport of the picture's width x height pixels.
void CollectPictureFlares(int width, int height);

// Draws the queued requests into the part of the overlay that `window` (left, right, bottom, top
// in overlay units) covers, leaving the queue as it is.
void DrawQueuedFlares(const float window[4]);

// The frame's flare pass (run only when flareBrightness != 0): collect, draw each request in queue
// order, empty the queue.
void DrawLensFlare();

}  // namespace varenko

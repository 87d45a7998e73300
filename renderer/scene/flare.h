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

// What the flare is drawn into: the overlay over the whole picture, 0..aspect across and 0..1 up,
// of which the current viewport shows `window` (left, right, bottom, top in overlay units).
struct FlareOverlay {
  float aspect;
  float window[4];
};

// The overlay of a picture of this aspect ratio, all of it in the viewport.
FlareOverlay WholeOverlay(float aspect);

// Walks the live particles in pool order and appends a request to `queue` for every Flash and
// finale object more than one unit in front of the camera, up to the queue's capacity.
void CollectFlares(const FlareView& view, FlareRequestQueue& queue);

// A flash's chain of ghosts through the overlay's centre, and a finale object's streak, at the
// light's place in `overlay`.
void DrawGhostChain(const FlareOverlay& overlay, const FlareRequest& light);
void DrawStreak(const FlareOverlay& overlay, const FlareRequest& light);

// Draws the requests of `queue` in its order, each with its drawer, leaving the queue as it is.
void DrawFlareQueue(const FlareRequestQueue& queue, const FlareOverlay& overlay);

// The flare of a picture seen whole through `view`: empties `queue`, collects, draws, empties it.
void DrawFlaresFor(const FlareView& view, FlareRequestQueue& queue);

// `view` seen through a viewport of width x height pixels at the origin (sizes below 1 taken as
// 1): how a picture drawn in slices collects its flare once over the whole picture.
FlareView PictureFlareView(FlareView view, int width, int height);

}  // namespace varenko

// The frame driver: the idle tick that times frames, the frame's passes in their fixed order, the
// set-up of the drawing state every frame relies on, and the view the passes share.
#pragma once

#include <cstdint>

#include "renderer/scene/flare.h"

namespace varenko {

// How the picture lies over the monitors the window covers. The picture is one view from the one
// camera; each slice is the part of it one monitor (or one piece of a monitor too large for a
// single viewport) shows, so the monitors together show one continuous picture. The host fills
// this from the monitor rectangles; the scene only draws what it is given.
inline constexpr int MaxViewSlices = 64;

struct ViewSlice {
  int viewport[4];    // x, y from the window's bottom edge, width, height (pixels)
  double frustum[4];  // left, right, bottom, top of this slice's view at distance 1
  float overlay[4];   // left, right, bottom, top of this slice in flare overlay units
};

struct PictureLayout {
  // One slice over the whole window: the projection of the single-screen picture, unchanged.
  bool whole;
  int width;  // the picture's bounding box over all slices, pixels
  int height;
  double halfWidth;  // the whole picture's view at distance 1: x in -halfWidth..halfWidth
  double halfHeight;
  int sliceCount;
  ViewSlice slice[MaxViewSlices];
};

// The frame driver's state: the client area, the view every pass of a frame shares and the lights
// the flare pass queues. ResetScene brings it back to InitialFrameView().
struct FrameView {
  int clientWidth;  // client area of the saver window, pixels
  int clientHeight;
  float aspect;  // clientWidth / clientHeight
  // Viewport read back at set-up and on every resize, and this frame's projection and model-view
  // matrices (column-major), for projecting lights onto the screen.
  int savedViewport[4];
  double savedProjection[16];
  double savedModelView[16];
  PictureLayout pictureLayout;  // whole until the host hands in another one
  bool firstFrameDone;          // the time warp and the opening flight are drawn at the first frame
  FlareRequestQueue flares;     // the lights of the frame's flare pass; empty between frames
};

extern FrameView frameView;

// Before set-up: no client area, aspect 1, identity matrices, one whole-window slice.
FrameView InitialFrameView();

// Brings every record of the scene back to its start: the frame view, the frame clock, the camera,
// the sky, the batch pass and the texture and list names the scene hands out. SetUpScene begins
// with it, so a second show in one process starts as the first did.
void ResetScene();

// Seeds the generator and discards its first 20 draws, which follow the seed too closely.
void SeedShow(std::uint32_t seed);

// With a context current on a client area of width x height: a reset scene, viewport, aspect, the
// fixed drawing state and every texture and display list, built once for the run.
void SetUpScene(int width, int height);

// The client area changed size: viewport, saved viewport and aspect follow it, so the next frame's
// projection fits the new shape. Sizes below 1 are taken as 1.
void ResizeScene(int width, int height);

// Releases what the scene holds outside the context (the particles). The context's textures and
// display lists go with the context.
void ReleaseScene();

// Called by the host's loop whenever no input is waiting: measures the step and runs a frame when
// the saver window is active (its exit rules' flags, handed in by the host), no password dialog is
// open and the step is positive. Returns true when a frame ran.
bool IdleTick(bool renderActive, bool passwordDialogOpen);

// Runs one frame with a step of `step` seconds instead of the measured one (a fixed-step run).
void RunFixedStepFrame(float step);

// One frame with frameClock.dt as its step: projection, camera, clear, cloud update, simulation
// step, then scenery, particles and flare (once per slice of the picture), flush and swap.
void Frame();

// Provided by each host: a millisecond counter (wrapping at 2^32) and the buffer swap.
std::uint32_t TickMilliseconds();
void SwapFrameBuffers();

}  // namespace varenko

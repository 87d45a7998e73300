// The frame driver: timing, projection, camera and view, then the scene and simulation passes in
// their order, then the swap.
#include "renderer/scene/frame.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#include "renderer/scene/camera.h"
#include "renderer/scene/flare.h"
#include "renderer/scene/frame_clock.h"
#include "renderer/scene/particle_batch.h"
#include "renderer/scene/particle_draw.h"
#include "renderer/scene/sky.h"
#include "renderer/scene/sprites.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/show.h"

namespace varenko {

FrameView frameView = InitialFrameView();

namespace {

constexpr double NearPlane = 1.0;
constexpr double FarPlane = 40000.0;

bool DrawsWholeWindow(const PictureLayout& layout) {
  return layout.whole || layout.sliceCount <= 0;
}

// What the flare pass needs of the frame: the camera, the eye the depth keys used, the saved view.
FlareView FrameFlareView(const FrameView& v, const CameraPath& c) {
  FlareView view;
  view.eyePos = c.eyePos;
  view.lookTarget = c.lookTarget;
  view.savedEye = depthEye;
  for (int i = 0; i < 16; ++i) {
    view.modelView[i] = v.savedModelView[i];
    view.projection[i] = v.savedProjection[i];
  }
  for (int i = 0; i < 4; ++i) view.viewport[i] = v.savedViewport[i];
  view.clientWidth = v.clientWidth;
  view.clientHeight = v.clientHeight;
  view.aspect = v.aspect;
  return view;
}

// Scenery, particles and flare once per slice, each slice with its own viewport and its part of
// the view; the simulation has already stepped once for the frame. The flares are collected once
// over the whole picture, so a ghost chain runs through the picture's centre across monitors.
void DrawSlices(FrameView& v) {
  const PictureLayout& layout = v.pictureLayout;
  const bool flare = FlareInUse() != 0;
  const FlareView picture =
      PictureFlareView(FrameFlareView(v, camera), layout.width, layout.height);
  if (flare) {
    v.flares.count = 0;
    CollectFlares(picture, v.flares);
  }
  const int count = layout.sliceCount < MaxViewSlices ? layout.sliceCount : MaxViewSlices;
  for (int i = 0; i < count; ++i) {
    const ViewSlice& s = layout.slice[i];
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(s.frustum[0], s.frustum[1], s.frustum[2], s.frustum[3], NearPlane, FarPlane);
    glMatrixMode(GL_MODELVIEW);
    DrawScenery();
    DrawParticles();
    if (flare) {
      FlareOverlay overlay = {picture.aspect, {}};
      for (int k = 0; k < 4; ++k) overlay.window[k] = s.overlay[k];
      DrawFlareQueue(v.flares, overlay);
    }
  }
  v.flares.count = 0;
  const int* saved = v.savedViewport;
  glViewport(saved[0], saved[1], saved[2], saved[3]);
}

// The projection of the whole picture, saved for the flare.
void SetProjection(FrameView& v) {
  const PictureLayout& layout = v.pictureLayout;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (DrawsWholeWindow(layout))
    gluPerspective(60.0, static_cast<double>(v.aspect), NearPlane, FarPlane);
  else
    glFrustum(-layout.halfWidth, layout.halfWidth, -layout.halfHeight, layout.halfHeight, NearPlane,
              FarPlane);
  glGetDoublev(GL_PROJECTION_MATRIX, v.savedProjection);
}

// Moves the camera on and sets the view from it, saved for the flare, and the billboard turn.
void PlaceCamera(FrameView& v, CameraPath& c) {
  if (!v.firstFrameDone) StartOpeningFlight(c);
  v.firstFrameDone = true;
  AdvanceCamera(c, dt);
  depthEye = c.eyePos;

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  ComputeViewAngles(c);
  glRotatef(-c.pitchDeg, 1.0f, 0.0f, 0.0f);
  glRotatef(-c.yawDeg, 0.0f, 1.0f, 0.0f);
  glTranslatef(-c.eyePos.x, -c.eyePos.y, -c.eyePos.z);
  glGetDoublev(GL_MODELVIEW_MATRIX, v.savedModelView);

  // The inverse of the view's rotation turns unit squares to face the eye.
  glPushMatrix();
  glLoadIdentity();
  glRotatef(c.yawDeg, 0.0f, 1.0f, 0.0f);
  glRotatef(c.pitchDeg, 1.0f, 0.0f, 0.0f);
  glGetDoublev(GL_MODELVIEW_MATRIX, BillboardMatrix);
  glPopMatrix();
}

}  // namespace

FrameView InitialFrameView() {
  FrameView v = {};
  v.aspect = 1.0f;
  for (int i = 0; i < 16; i += 5) v.savedProjection[i] = v.savedModelView[i] = 1.0;
  v.pictureLayout.whole = true;
  return v;
}

void ResetScene() {
  frameView = InitialFrameView();
  frameClock = InitialFrameClock();
  camera = InitialCameraPath();
  ResetSky();
  ResetParticleBatch();
  ResetSprites();
}

void SeedShow(std::uint32_t seed) { StartShow(seed, show.forcedBurstKind); }

void ResizeScene(int width, int height) {
  // A client area without width or height would make the projection degenerate; such a window
  // shows nothing anyway, so one pixel keeps the matrices finite.
  FrameView& v = frameView;
  v.clientWidth = width > 0 ? width : 1;
  v.clientHeight = height > 0 ? height : 1;
  glViewport(0, 0, v.clientWidth, v.clientHeight);
  glGetIntegerv(GL_VIEWPORT, v.savedViewport);
  v.aspect = static_cast<float>(v.clientWidth) / static_cast<float>(v.clientHeight);
}

void SetUpScene(int width, int height) {
  ResetScene();
  ResizeScene(width, height);

  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glFrontFace(GL_CCW);
  glEnable(GL_CULL_FACE);

  BuildFormulaSprites();
  if (settings.smokeSpan != 0) BuildSmokeSprites();
  BuildSky();
  BuildRingMesh();
}

void ReleaseScene() { ClearPool(); }

bool IdleTick(bool renderActive, bool passwordDialogOpen) {
  TickFrameClock(frameClock, TickMilliseconds());
  if (!renderActive || passwordDialogOpen || !(frameClock.dt > 0.0f)) return false;
  Frame();
  return true;
}

void RunFixedStepFrame(float step) {
  frameClock.dt = step;
  Frame();
}

void Frame() {
  FrameView& v = frameView;
  if (!v.firstFrameDone) frameClock.timeWarp = Q(2000);
  if (frameClock.timeWarp == 0) frameClock.dt *= 5.0f;
  dt = frameClock.dt;

  SetProjection(v);
  PlaceCamera(v, camera);
  glClear(GL_COLOR_BUFFER_BIT);  // no depth buffer: particles are drawn sorted far to near

  UpdateClouds();
  StepSimulation();
  if (DrawsWholeWindow(v.pictureLayout)) {
    DrawScenery();
    DrawParticles();
    if (FlareInUse() != 0) DrawFlaresFor(FrameFlareView(v, camera), v.flares);
  } else {
    DrawSlices(v);
  }

  glFlush();
  SwapFrameBuffers();
}

}  // namespace varenko

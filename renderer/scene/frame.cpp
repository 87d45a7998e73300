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
#include "renderer/scene/particle_draw.h"
#include "renderer/scene/sky.h"
#include "renderer/scene/sprites.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/show.h"

namespace varenko {

int clientWidth = 0;
int clientHeight = 0;
float aspect = 1.0f;
int savedViewport[4] = {0, 0, 0, 0};
double savedProjection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
double savedModelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
PictureLayout pictureLayout = {true, 0, 0, 0.0, 0.0, 0, {}};

namespace {
bool firstFrameDone = false;

constexpr double NearPlane = 1.0;
constexpr double FarPlane = 40000.0;

bool DrawsWholeWindow() { return pictureLayout.whole || pictureLayout.sliceCount <= 0; }

// Scenery, particles and flare once per slice, each slice with its own viewport and its part of
// the view; the simulation has already stepped once for the frame. The flares are collected once
// over the whole picture, so a ghost chain runs through the picture's centre across monitors.
void DrawSlices() {
  const bool flare = settings.flareBrightness != 0;
  if (flare) CollectPictureFlares(pictureLayout.width, pictureLayout.height);
  const int count =
      pictureLayout.sliceCount < MaxViewSlices ? pictureLayout.sliceCount : MaxViewSlices;
  for (int i = 0; i < count; ++i) {
    const ViewSlice& s = pictureLayout.slice[i];
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(s.frustum[0], s.frustum[1], s.frustum[2], s.frustum[3], NearPlane, FarPlane);
    glMatrixMode(GL_MODELVIEW);
    DrawScenery();
    DrawParticles();
    if (flare) DrawQueuedFlares(s.overlay);
  }
  FlareQueue.count = 0;
  glViewport(savedViewport[0], savedViewport[1], savedViewport[2], savedViewport[3]);
}
}  // namespace

void SeedShow(std::uint32_t seed) { StartShow(seed, show.forcedBurstKind); }

void ResizeScene(int width, int height) {
  // A client area without width or height would make the projection degenerate; such a window
  // shows nothing anyway, so one pixel keeps the matrices finite.
  clientWidth = width > 0 ? width : 1;
  clientHeight = height > 0 ? height : 1;
  glViewport(0, 0, clientWidth, clientHeight);
  glGetIntegerv(GL_VIEWPORT, savedViewport);
  aspect = static_cast<float>(clientWidth) / static_cast<float>(clientHeight);
}

void SetUpScene(int width, int height) {
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
  if (!firstFrameDone) frameClock.timeWarp = Q(2000);
  if (frameClock.timeWarp == 0) frameClock.dt *= 5.0f;
  dt = frameClock.dt;

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (DrawsWholeWindow())
    gluPerspective(60.0, static_cast<double>(aspect), NearPlane, FarPlane);
  else
    glFrustum(-pictureLayout.halfWidth, pictureLayout.halfWidth, -pictureLayout.halfHeight,
              pictureLayout.halfHeight, NearPlane, FarPlane);
  glGetDoublev(GL_PROJECTION_MATRIX, savedProjection);

  if (!firstFrameDone) StartOpeningFlight(camera);
  firstFrameDone = true;
  AdvanceCamera(camera, dt);
  depthEye = camera.eyePos;

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  ComputeViewAngles(camera);
  glRotatef(-camera.pitchDeg, 1.0f, 0.0f, 0.0f);
  glRotatef(-camera.yawDeg, 0.0f, 1.0f, 0.0f);
  glTranslatef(-camera.eyePos.x, -camera.eyePos.y, -camera.eyePos.z);
  glGetDoublev(GL_MODELVIEW_MATRIX, savedModelView);

  // The inverse of the view's rotation turns unit squares to face the eye.
  glPushMatrix();
  glLoadIdentity();
  glRotatef(camera.yawDeg, 0.0f, 1.0f, 0.0f);
  glRotatef(camera.pitchDeg, 1.0f, 0.0f, 0.0f);
  glGetDoublev(GL_MODELVIEW_MATRIX, BillboardMatrix);
  glPopMatrix();

  glClear(GL_COLOR_BUFFER_BIT);  // no depth buffer: particles are drawn sorted far to near

  UpdateClouds();
  StepSimulation();
  if (DrawsWholeWindow()) {
    DrawScenery();
    DrawParticles();
    if (settings.flareBrightness != 0) DrawLensFlare();
  } else {
    DrawSlices();
  }

  glFlush();
  SwapFrameBuffers();
}

}  // namespace varenko

// The frame driver: timing, projection, camera and view, then the scene and simulation passes in
// their order, then the swap.
#include "renderer/scene/frame.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#include "renderer/sim/saver_settings.h"
#include "renderer/scene/camera.h"
#include "renderer/scene/flare.h"
#include "renderer/scene/frame_clock.h"
#include "renderer/scene/particle_draw.h"
#include "renderer/scene/sky.h"
#include "renderer/scene/sprites.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/show.h"

namespace varenko {

int clientWidth = 0;
int clientHeight = 0;
float aspect = 1.0f;
int savedViewport[4] = {0, 0, 0, 0};
double savedProjection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
double savedModelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

namespace {
bool firstFrameDone = false;
}  // namespace

void SeedShow(std::uint32_t seed) {
  srand(seed);
  for (int i = 0; i < 20; ++i) rand();
}

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
  if (!renderActive || passwordDialogOpen || !(frameClock.dt > 0.0f))
    return false;
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
  gluPerspective(60.0, static_cast<double>(aspect), 1.0, 40000.0);
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
  DrawScenery();
  DrawParticles();
  if (settings.flareBrightness != 0) DrawLensFlare();

  glFlush();
  SwapFrameBuffers();
}

}  // namespace varenko

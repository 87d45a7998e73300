// Lens flare: collection of the flaring particles into the request queue, the edge fade, and the
// ghost-chain and streak drawers.
#include "renderer/scene/flare.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "renderer/sim/pool.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

float FlashFlareIntensity(int flareBrightness, float alpha, float distance) {
  return static_cast<float>(flareBrightness) * alpha *
         std::max(0.0f, (10000.0f - distance) * 0.0001f) * 0.01f;
}

float FinaleFlareIntensity(int flareBrightness, float alpha, float distance) {
  const float l = 1.0f - (alpha - 0.5f) * static_cast<float>(flareBrightness) * 0.02f;
  const float l2 = l * l;
  return std::max(0.0f, (20000.0f - distance) * 0.00005f) * (1.0f - l2 * l2);
}

bool FadeAtScreenEdges(float x, float y, float aspect, float& intensity) {
  // Overlay units throughout: the screen runs 0..aspect across and 0..1 up, and the margin is a
  // tenth of its width. A light on screen keeps its full strength; one outside fades to nothing
  // over the margin and is then dropped.
  const float m = 0.1f * aspect;
  if (!(m > 0.0f) || !std::isfinite(x) || !std::isfinite(y)) return false;
  if (y < 0.0f) {
    if (y + m < 0.0f) return false;
    intensity *= (y + m) / m;
  } else if (y > 1.0f) {
    const float k = (m - y + 1.0f) / m;
    if (k < 0.0f) return false;
    intensity *= k;
  }
  if (x < 0.0f) {
    if (x + m < 0.0f) return false;
    intensity *= (x + m) / m;
  } else if (x > aspect) {
    const float k = (m - x + aspect) / m;
    if (k < 0.0f) return false;
    intensity *= k;
  }
  return true;
}

FlareOverlay WholeOverlay(float aspect) { return {aspect, {0.0f, aspect, 0.0f, 1.0f}}; }

void CollectFlares(const FlareView& view, FlareRequestQueue& queue) {
  Vec3 f = Difference(view.lookTarget, view.eyePos);
  f.Normalize();
  const double width = view.clientWidth > 0 ? view.clientWidth : 1;
  const double height = view.clientHeight > 0 ? view.clientHeight : 1;

  for (PoolNode* n = pool.sentinel.next;
       n != &pool.sentinel && n->particle.depthKey > FreeKey && queue.count < FlareQueueCapacity;
       n = n->next) {
    const Particle& p = n->particle;
    const bool streak =
        p.kind == Gather || p.kind == Blast || p.kind == Swirl || p.kind == RingWave;
    if (p.kind != Flash && !streak) continue;

    double wx = 0, wy = 0, wz = 0;
    gluProject(p.pos.x, p.pos.y, p.pos.z, view.modelView, view.projection, view.viewport, &wx, &wy,
               &wz);
    const Vec3 v = Difference(p.pos, view.savedEye);
    if (!(v.Dot(f) > 1.0f)) continue;  // behind the camera or less than one unit in front

    const float distance = v.Length();
    FlareRequest& r = queue.request[queue.count++];
    r.isStreak = streak ? 1.0f : 0.0f;
    r.x = static_cast<float>(wx / width * view.aspect);
    r.y = static_cast<float>(wy / height);
    r.red = p.colour.x;
    r.green = p.colour.y;
    r.blue = p.colour.z;
    r.intensity = streak ? FinaleFlareIntensity(FlareInUse(), p.alpha, distance)
                         : FlashFlareIntensity(FlareInUse(), p.alpha, distance);
  }
}

namespace {

void BeginOverlay(const FlareOverlay& overlay) {
  const float* w = overlay.window;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(w[0], w[1], w[2], w[3]);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void EndOverlay() {
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

struct Ghost {
  float k;           // position along the line from the light (0) through the centre (1)
  float scale;       // uniform size in overlay units
  float red, green;  // factors on the light's red and green
  float blue;        // factor on the light's blue
  float alpha;       // factor on the intensity
  bool sparkle;      // SparkleSprite, else ring (first) or disc
  bool turned;       // turned about the view axis by the light's x
};

constexpr Ghost ghostChain[9] = {
    {0.05f, 0.065f, 1.0f, 1.0f, 1.0f, 0.4f, false, false},
    {0.15f, 0.04f, 0.9f, 0.9f, 1.0f, 0.9f, false, false},
    {0.25f, 0.06f, 0.8f, 0.8f, 1.0f, 0.9f, false, false},
    {0.35f, 0.08f, 0.7f, 0.7f, 1.0f, 0.9f, false, false},
    {1.25f, 0.05f, 1.0f, 0.6f, 0.6f, 0.9f, false, false},
    {1.65f, 0.3f, 1.0f, 1.0f, 1.0f, 1.0f, true, true},
    {1.85f, 0.04f, 1.0f, 0.6f, 0.6f, 0.9f, false, false},
    {2.2f, 0.3f, 1.0f, 1.0f, 1.0f, 0.7f, false, false},
    {2.5f, 0.6f, 1.0f, 1.0f, 1.0f, 0.8f, true, false},
};

}  // namespace

void DrawGhostChain(const FlareOverlay& overlay, const FlareRequest& light) {
  const float x = light.x, y = light.y;
  float intensity = light.intensity;
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glEnable(GL_BLEND);
  if (!FadeAtScreenEdges(x, y, overlay.aspect, intensity)) return;
  BeginOverlay(overlay);
  const float u = overlay.aspect * 0.5f - x;
  const float v = 0.5f - y;
  for (int n = 0; n < 9; ++n) {
    const Ghost& g = ghostChain[n];
    if (n > 0) glLoadIdentity();
    glTranslatef(x + g.k * u, y + g.k * v, 0.0f);
    if (g.turned) glRotatef(x, 0.0f, 0.0f, 1.0f);
    glScalef(g.scale, g.scale, g.scale);
    glColor4f(g.red * light.red, g.green * light.green, g.blue * light.blue, g.alpha * intensity);
    glCallList(g.sparkle ? SparkleSprite : (n == 0 ? RingSprite : DiscSprite));
  }
  EndOverlay();
}

void DrawStreak(const FlareOverlay& overlay, const FlareRequest& light) {
  const float x = light.x, y = light.y, red = light.red, green = light.green, blue = light.blue;
  float intensity = light.intensity;
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glEnable(GL_BLEND);
  if (!FadeAtScreenEdges(x, y, overlay.aspect, intensity)) return;
  BeginOverlay(overlay);
  glTranslatef(x, y, 0.0f);
  glScalef(2.0f * intensity, 0.08f, 0.0f);
  glColor4f(red, green, blue, intensity);
  glCallList(GlowSprite);
  glLoadIdentity();
  glTranslatef(x, y, 0.0f);
  glScalef(0.4f, 0.35f * intensity + 0.05f, 1.0f);
  glColor4f(red, green, blue, 0.4f * intensity);
  glCallList(RingSprite);
  EndOverlay();
}

void DrawFlareQueue(const FlareRequestQueue& queue, const FlareOverlay& overlay) {
  for (int i = 0; i < queue.count; ++i) {
    const FlareRequest& r = queue.request[i];
    if (r.isStreak != 0.0f) {
      DrawStreak(overlay, r);
    } else {
      DrawGhostChain(overlay, r);
    }
  }
}

void DrawFlaresFor(const FlareView& view, FlareRequestQueue& queue) {
  queue.count = 0;
  CollectFlares(view, queue);
  DrawFlareQueue(queue, WholeOverlay(view.aspect));
  queue.count = 0;
}

FlareView PictureFlareView(FlareView view, int width, int height) {
  view.clientWidth = width > 0 ? width : 1;
  view.clientHeight = height > 0 ? height : 1;
  view.viewport[0] = 0;
  view.viewport[1] = 0;
  view.viewport[2] = view.clientWidth;
  view.viewport[3] = view.clientHeight;
  view.aspect = static_cast<float>(view.clientWidth) / static_cast<float>(view.clientHeight);
  return view;
}

}  // namespace varenko

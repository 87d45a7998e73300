// Drawing of the live particles as billboard sprites, and the blast's shock ring.
#include "renderer/scene/particle_draw.h"

#include <cmath>

#include "renderer/scene/gl_api.h"
#include "renderer/scene/particle_batch.h"
#include "renderer/scene/sky.h"
#include "renderer/scene/sprites.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

namespace {

constexpr float RingOpacity[RingMeshRings - 1] = {1.0f, 0.9f, 0.8f, 0.7f, 0.5f, 0.3f};

// One strip between ring k and the next smaller ring k + 1. `innerFirst` orders each vertex pair
// so that the lower face (inner first) and the upper face (outer first) wind opposite ways;
// `heightSign` -1 mirrors the bulge for the lower face.
void RingStrip(int k, bool innerFirst, float heightSign, const float (&colour)[RingMeshRings][4],
               float scroll) {
  glBegin(GL_TRIANGLE_STRIP);
  for (int j = 0; j < RingMeshPoints; ++j) {
    const float s = 0.25f * static_cast<float>(j);
    for (int n = 0; n < 2; ++n) {
      const int ring = (n == 0) == innerFirst ? k + 1 : k;
      glColor4fv(colour[ring]);
      glTexCoord2f(s, 0.07f * static_cast<float>(ring) - scroll);
      const float* point = RingMesh[ring][j];
      glVertex3f(point[0], heightSign * point[1], point[2]);
    }
  }
  glEnd();
}

}  // namespace

void DrawShockRing(float life, float scroll) {
  float colour[RingMeshRings][4];
  const float c = life > 0.5f ? 1.0f : 2.0f * life;
  for (int k = 0; k < RingMeshRings; ++k) {
    colour[k][0] = 1.0f;
    colour[k][1] = c;
    colour[k][2] = life;
    if (k < RingMeshRings - 1) {
      colour[k][3] = life > 0.5f ? RingOpacity[k] : c * RingOpacity[k];
    } else {
      colour[k][3] = 0.0f;  // the inner edge fades to nothing
    }
  }

  glDisable(GL_CULL_FACE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, sky.cloudTexture);

  for (int k = 0; k + 1 < RingMeshRings; ++k) RingStrip(k, true, -1.0f, colour, scroll);

  // The upper face turns greener while the blast fades; the outer edge and the invisible inner
  // edge keep their green.
  if (life < 0.5f) {
    for (int k = 1; k < RingMeshRings - 1; ++k) colour[k][1] = life + 0.5f;
  }
  for (int k = 0; k + 1 < RingMeshRings; ++k) RingStrip(k, false, 1.0f, colour, scroll);

  glEnable(GL_CULL_FACE);
}

void DrawParticle(const Particle& p) {
  if (p.lifeFrac <= 0.0f) return;
  if (p.depthKey < 0.0f && p.kind != Blast) return;  // behind the camera
  if (p.kind == SubShell) return;                    // carriers are never seen

  glPushMatrix();
  glTranslatef(p.pos.x, p.pos.y, p.pos.z);
  if (p.kind != Blast) {
    glScalef(p.size, p.size, p.size);
    glMultMatrixd(BillboardMatrix);
    switch (p.kind) {
      case Smoke:
        glColor4f(p.colour.x, p.colour.y, p.colour.z, p.alpha);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glCallList(p.spriteList);
        break;
      case Flash:
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glColor4f(1.0f, 1.0f, 1.0f, p.alpha);
        glScalef(p.alpha, p.alpha, p.alpha);  // the flash shrinks as it fades
        glCallList(p.spriteList);
        break;
      default:
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glColor4f(p.colour.x, p.colour.y, p.colour.z, p.alpha);
        glCallList(p.spriteList);
        glScalef(0.35f, 0.35f, 0.35f);  // white-hot core
        glColor4f(1.0f, 1.0f, 1.0f, p.alpha);
        glCallList(p.spriteList);
        break;
    }
  } else {
    // The shock ring lies in the horizontal plane: no billboard.
    glScalef(p.size, p.size, p.size);
    DrawShockRing(p.lifeFrac, std::sqrt(std::fmax(p.size, 0.0f)) * 0.08f);
    if (p.lifeFrac > 0.7f) {
      glMultMatrixd(BillboardMatrix);
      glScalef(5.0f, 5.0f, 5.0f);
      glColor4f(1.0f, p.lifeFrac, 1.0f, (p.lifeFrac - 0.7f) * 3.333f);
      glCallList(RingSprite);
    }
  }
  glPopMatrix();
}

bool referenceParticleDraw = false;

void DrawParticles() {
  glEnable(GL_BLEND);
  if (referenceParticleDraw) {
    ForEachLive([](const Particle& p) { DrawParticle(p); });
    return;
  }
  FillParticleBatch(CurrentBatchView());
  DrawParticleBatch();
}

}  // namespace varenko

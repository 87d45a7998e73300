// The batched particle pass: sprite corners computed on the CPU, drawn from vertex arrays.
#include "renderer/scene/particle_batch.h"

#include <algorithm>
#include <cstddef>

#include "renderer/scene/gl_api.h"
#include "renderer/scene/particle_draw.h"
#include "renderer/scene/sprite_atlas.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

ParticleBatch particleBatch = {};

namespace {

constexpr float CoreScale = 0.35f;  // the white-hot core of a glowing kind, as DrawParticle

// Where a display list's picture lies in the atlases. Texture 0: the list is none of the
// sprites, and like a call of an unknown list it draws nothing.
struct SpriteCell {
  unsigned list;
  unsigned texture;
  AtlasRect rect;
};

// What one fill needs from the frame, gathered once: the sprite cells and half the billboard's
// x and y axes (a unit square reaches 0.5 along each).
struct FillFrame {
  SpriteCell cells[FormulaSpriteCells + SmokeSpriteCells];
  int cellCount;
  float halfX[3];
  float halfY[3];
};

FillFrame frame;

void GatherFrame() {
  frame.cellCount = 0;
  if (FormulaAtlasTexture != 0) {
    const unsigned names[FormulaSpriteCells] = {GlowSprite, DiscSprite, RingSprite, SparkleSprite};
    for (int i = 0; i < FormulaSpriteCells; ++i) {
      frame.cells[frame.cellCount++] = {names[i], FormulaAtlasTexture,
                                        AtlasCellRect(FormulaAtlasLayout, i)};
    }
  }
  if (SmokeAtlasTexture != 0) {
    for (int k = 0; k < SmokeSpriteCells; ++k) {
      frame.cells[frame.cellCount++] = {SmokeSprite[k], SmokeAtlasTexture,
                                        AtlasCellRect(SmokeAtlasLayout, k)};
    }
  }
  for (int i = 0; i < 3; ++i) {
    frame.halfX[i] = static_cast<float>(0.5 * BillboardMatrix[i]);
    frame.halfY[i] = static_cast<float>(0.5 * BillboardMatrix[4 + i]);
  }
}

const SpriteCell* CellForList(unsigned list) {
  for (int i = 0; i < frame.cellCount; ++i) {
    if (frame.cells[i].list == list && list != 0) return &frame.cells[i];
  }
  return nullptr;
}

// Room for `vertices` more vertices and one more run; the arrays grow geometrically and never
// shrink, so a steady show stops allocating.
void Reserve(int vertices) {
  ParticleBatch& b = particleBatch;
  const std::size_t needVertices = static_cast<std::size_t>(b.vertexCount) + vertices;
  if (b.vertices.size() < needVertices) {
    b.vertices.resize(std::max(needVertices, b.vertices.size() * 2));
  }
  const std::size_t needRuns = static_cast<std::size_t>(b.runCount) + 1;
  if (b.runs.size() < needRuns) b.runs.resize(std::max(needRuns, b.runs.size() * 2));
}

// Continues the last run when it has the same state, else opens a new one.
void UseState(unsigned texture, bool alphaBlend) {
  ParticleBatch& b = particleBatch;
  if (b.runCount > 0) {
    const BatchRun& last = b.runs[static_cast<std::size_t>(b.runCount) - 1];
    if (last.blast == nullptr && last.texture == texture && last.alphaBlend == alphaBlend) return;
  }
  b.runs[static_cast<std::size_t>(b.runCount++)] = {b.vertexCount, 0, texture, alphaBlend, nullptr};
}

// One square of edge `scale` centred on `pos`, facing the camera, corners in the order of the
// sprite's own strip turned into a counter-clockwise quad.
void PutQuad(const Vec3& pos, float scale, const AtlasRect& rc, float r, float g, float b,
             float a) {
  ParticleBatch& batch = particleBatch;
  const float xx = frame.halfX[0] * scale, xy = frame.halfX[1] * scale, xz = frame.halfX[2] * scale;
  const float yx = frame.halfY[0] * scale, yy = frame.halfY[1] * scale, yz = frame.halfY[2] * scale;
  BatchVertex* v = &batch.vertices[static_cast<std::size_t>(batch.vertexCount)];
  v[0] = {pos.x - xx - yx, pos.y - xy - yy, pos.z - xz - yz, rc.s0, rc.t0, r, g, b, a};
  v[1] = {pos.x + xx - yx, pos.y + xy - yy, pos.z + xz - yz, rc.s1, rc.t0, r, g, b, a};
  v[2] = {pos.x + xx + yx, pos.y + xy + yy, pos.z + xz + yz, rc.s1, rc.t1, r, g, b, a};
  v[3] = {pos.x - xx + yx, pos.y - xy + yy, pos.z - xz + yz, rc.s0, rc.t1, r, g, b, a};
  batch.vertexCount += 4;
  batch.runs[static_cast<std::size_t>(batch.runCount) - 1].vertexCount += 4;
}

void AddParticle(const Particle& p) {
  // The skip rules of DrawParticle.
  if (p.lifeFrac <= 0.0f) return;
  if (p.depthKey < 0.0f && p.kind != Blast) return;
  if (p.kind == SubShell) return;

  ParticleBatch& b = particleBatch;
  if (p.kind == Blast) {
    // Rare and made of many strips: drawn by DrawParticle itself, in its place in the order.
    Reserve(0);
    b.runs[static_cast<std::size_t>(b.runCount++)] = {b.vertexCount, 0, 0, false, &p};
    return;
  }
  const SpriteCell* cell = CellForList(p.spriteList);
  if (cell == nullptr) return;

  Reserve(8);
  switch (p.kind) {
    case Smoke:
      UseState(cell->texture, true);
      PutQuad(p.pos, p.size, cell->rect, p.colour.x, p.colour.y, p.colour.z, p.alpha);
      break;
    case Flash:  // white, shrinking as it fades
      UseState(cell->texture, false);
      PutQuad(p.pos, p.size * p.alpha, cell->rect, 1.0f, 1.0f, 1.0f, p.alpha);
      break;
    default:  // its colour, then a white-hot core
      UseState(cell->texture, false);
      PutQuad(p.pos, p.size, cell->rect, p.colour.x, p.colour.y, p.colour.z, p.alpha);
      PutQuad(p.pos, p.size * CoreScale, cell->rect, 1.0f, 1.0f, 1.0f, p.alpha);
      break;
  }
}

}  // namespace

void FillParticleBatch() {
  particleBatch.vertexCount = 0;
  particleBatch.runCount = 0;
  GatherFrame();
  ForEachLive([](const Particle& p) { AddParticle(p); });
}

void DrawParticleBatch() {
  const ParticleBatch& b = particleBatch;
  glEnable(GL_BLEND);
  if (b.runCount == 0) return;

  const BatchVertex* v = b.vertices.data();
  constexpr GLsizei stride = sizeof(BatchVertex);
  glVertexPointer(3, GL_FLOAT, stride, &v->x);
  glTexCoordPointer(2, GL_FLOAT, stride, &v->s);
  glColorPointer(4, GL_FLOAT, stride, &v->r);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);

  // The state of the previous run: set again only where it changes. -1 / 0: unknown.
  int blend = -1;
  unsigned bound = 0;
  for (int i = 0; i < b.runCount; ++i) {
    const BatchRun& run = b.runs[static_cast<std::size_t>(i)];
    if (run.blast != nullptr) {
      DrawParticle(*run.blast);  // sets its own blend function and textures
      blend = -1;
      bound = 0;
      continue;
    }
    if (blend != static_cast<int>(run.alphaBlend)) {
      glBlendFunc(GL_SRC_ALPHA, run.alphaBlend ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE);
      blend = static_cast<int>(run.alphaBlend);
    }
    if (bound != run.texture) {
      glBindTexture(GL_TEXTURE_2D, run.texture);
      bound = run.texture;
    }
    glDrawArrays(GL_QUADS, run.firstVertex, run.vertexCount);
  }

  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace varenko

// The batched particle pass: sprite corners computed on the CPU, drawn from vertex arrays.
#include "renderer/scene/particle_batch.h"

#include <algorithm>
#include <cmath>
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

// Where a sprite list's picture lies in the atlases. A list that is none of the sprites has no
// cell and, like a call of an unknown list, draws nothing.
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

// The frame's screen: clip-space axes of a unit billboard, tile grid and the viewport.
struct FillScreen {
  float centre[16];  // clipFromWorld as floats
  float axisX[4];    // clip-space image of halfX (a direction: no translation)
  float axisY[4];
  bool known;  // false when the viewport is empty: every sprite then covers every tile
  double vx, vy, vw, vh;
  int columns, rows;
};

constexpr int MaxStates = 8;  // texture and blend pairs of one frame: four in any show

// Per texture and blend pair, the latest run of that state.
struct StateRun {
  unsigned texture;
  bool alphaBlend;
  int run;
};

// The working state of one fill, started afresh by FillParticleBatch.
struct BatchFill {
  FillFrame frame;
  FillScreen screen;
  StateRun stateRuns[MaxStates];
  int stateCount;
  int firstFreeRun;  // runs before a blast are closed to later sprites
};

BatchFill fill = {};

void GatherFrame() {
  fill.frame.cellCount = 0;
  if (FormulaAtlasTexture != 0) {
    const unsigned names[FormulaSpriteCells] = {GlowSprite, DiscSprite, RingSprite, SparkleSprite};
    for (int i = 0; i < FormulaSpriteCells; ++i) {
      fill.frame.cells[fill.frame.cellCount++] = {names[i], FormulaAtlasTexture,
                                                  AtlasCellRect(FormulaAtlasLayout, i)};
    }
  }
  if (SmokeAtlasTexture != 0) {
    for (int k = 0; k < SmokeSpriteCells; ++k) {
      fill.frame.cells[fill.frame.cellCount++] = {SmokeSprite[k], SmokeAtlasTexture,
                                                  AtlasCellRect(SmokeAtlasLayout, k)};
    }
  }
  for (int i = 0; i < 3; ++i) {
    fill.frame.halfX[i] = static_cast<float>(0.5 * BillboardMatrix[i]);
    fill.frame.halfY[i] = static_cast<float>(0.5 * BillboardMatrix[4 + i]);
  }
}

const SpriteCell* CellForList(unsigned list) {
  for (int i = 0; i < fill.frame.cellCount; ++i) {
    if (fill.frame.cells[i].list == list && list != 0) return &fill.frame.cells[i];
  }
  return nullptr;
}

constexpr int TileSize = 32;  // pixels along each side of a screen tile

template <typename T>
void GrowTo(std::vector<T>& v, std::size_t n) {
  if (v.size() < n) v.resize(std::max(n, v.size() * 2));
}

void GatherScreen(const BatchView& view) {
  const double* m = view.clipFromWorld;
  for (int i = 0; i < 16; ++i) fill.screen.centre[i] = static_cast<float>(m[i]);
  for (int r = 0; r < 4; ++r) {
    fill.screen.axisX[r] =
        static_cast<float>(m[r] * fill.frame.halfX[0] + m[4 + r] * fill.frame.halfX[1] +
                           m[8 + r] * fill.frame.halfX[2]);
    fill.screen.axisY[r] =
        static_cast<float>(m[r] * fill.frame.halfY[0] + m[4 + r] * fill.frame.halfY[1] +
                           m[8 + r] * fill.frame.halfY[2]);
  }
  fill.screen.vx = view.viewport[0];
  fill.screen.vy = view.viewport[1];
  fill.screen.vw = view.viewport[2];
  fill.screen.vh = view.viewport[3];
  fill.screen.known = view.viewport[2] > 0 && view.viewport[3] > 0;
  // A huge viewport still gets a bounded grid: the last column and row take the rest.
  const int w = fill.screen.known ? std::min(view.viewport[2], 16384) : 1;
  const int h = fill.screen.known ? std::min(view.viewport[3], 16384) : 1;
  fill.screen.columns = (w + TileSize - 1) / TileSize;
  fill.screen.rows = (h + TileSize - 1) / TileSize;
  ParticleBatch& b = particleBatch;
  const std::size_t tiles = static_cast<std::size_t>(fill.screen.columns) * fill.screen.rows;
  GrowTo(b.tileLastRun, tiles);
  GrowTo(b.tileLastAlphaRun, tiles);
  std::fill(b.tileLastRun.begin(), b.tileLastRun.begin() + static_cast<std::ptrdiff_t>(tiles), -1);
  std::fill(b.tileLastAlphaRun.begin(),
            b.tileLastAlphaRun.begin() + static_cast<std::ptrdiff_t>(tiles), -1);
}

// Tiles a square of edge `scale` at `pos` covers: [x0, x1] x [y0, y1]. False when it lies wholly
// outside the viewport. A square reaching behind the eye, or not a number, covers everything.
struct TileSpan {
  int x0, y0, x1, y1;
};
bool Footprint(const Vec3& pos, float scale, TileSpan& span) {
  span = {0, 0, fill.screen.columns - 1, fill.screen.rows - 1};
  if (!fill.screen.known) return true;
  const float* m = fill.screen.centre;
  float c[4];
  for (int r = 0; r < 4; ++r) c[r] = m[r] * pos.x + m[4 + r] * pos.y + m[8 + r] * pos.z + m[12 + r];
  float ax[4], ay[4];
  for (int r = 0; r < 4; ++r) {
    ax[r] = fill.screen.axisX[r] * scale;
    ay[r] = fill.screen.axisY[r] * scale;
  }
  double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
  for (int k = 0; k < 4; ++k) {
    const float sx = (k & 1) != 0 ? 1.0f : -1.0f;
    const float sy = (k & 2) != 0 ? 1.0f : -1.0f;
    const float x = c[0] + sx * ax[0] + sy * ay[0];
    const float y = c[1] + sx * ax[1] + sy * ay[1];
    const float w = c[3] + sx * ax[3] + sy * ay[3];
    if (!(w > 1e-6f)) return true;  // behind the eye, or NaN
    const double px = fill.screen.vx + (static_cast<double>(x) / w + 1.0) * 0.5 * fill.screen.vw;
    const double py = fill.screen.vy + (static_cast<double>(y) / w + 1.0) * 0.5 * fill.screen.vh;
    if (!std::isfinite(px) || !std::isfinite(py)) return true;
    if (k == 0 || px < minX) minX = px;
    if (k == 0 || px > maxX) maxX = px;
    if (k == 0 || py < minY) minY = py;
    if (k == 0 || py > maxY) maxY = py;
  }
  // One pixel of margin against rounding; no pixel centre lies beyond it.
  if (maxX < fill.screen.vx - 1.0 || minX > fill.screen.vx + fill.screen.vw + 1.0 ||
      maxY < fill.screen.vy - 1.0 || minY > fill.screen.vy + fill.screen.vh + 1.0) {
    return false;
  }
  const auto tile = [](double p, double origin, int count) {
    const double t = std::floor((p - origin) / TileSize);
    return static_cast<int>(std::clamp(t, 0.0, static_cast<double>(count - 1)));
  };
  span = {tile(minX - 1.0, fill.screen.vx, fill.screen.columns),
          tile(minY - 1.0, fill.screen.vy, fill.screen.rows),
          tile(maxX + 1.0, fill.screen.vx, fill.screen.columns),
          tile(maxY + 1.0, fill.screen.vy, fill.screen.rows)};
  return true;
}

// The run a sprite of this state goes to: the latest run of the state if it is not before
// `earliest`, else a new run at the end.
int RunFor(unsigned texture, bool alphaBlend, int earliest) {
  ParticleBatch& b = particleBatch;
  StateRun* state = nullptr;
  for (int i = 0; i < fill.stateCount; ++i) {
    if (fill.stateRuns[i].texture == texture && fill.stateRuns[i].alphaBlend == alphaBlend) {
      state = &fill.stateRuns[i];
    }
  }
  if (state != nullptr && state->run >= earliest) return state->run;
  GrowTo(b.runs, static_cast<std::size_t>(b.runCount) + 1);
  const int run = b.runCount++;
  b.runs[static_cast<std::size_t>(run)] = {0, 0, texture, alphaBlend, nullptr};
  if (state == nullptr && fill.stateCount < MaxStates) state = &fill.stateRuns[fill.stateCount++];
  if (state != nullptr) *state = {texture, alphaBlend, run};
  return run;
}

int QuadsOf(const Particle& p) { return p.kind == Smoke || p.kind == Flash ? 1 : 2; }
float ScaleOf(const Particle& p) { return p.kind == Flash ? p.size * p.alpha : p.size; }

void AddParticle(const Particle& p) {
  // The skip rules of DrawParticle.
  if (p.lifeFrac <= 0.0f) return;
  if (p.depthKey < 0.0f && p.kind != Blast) return;
  if (p.kind == SubShell) return;

  ParticleBatch& b = particleBatch;
  if (p.kind == Blast) {
    // Rare and made of many strips: drawn by DrawParticle itself, in its place in the order.
    GrowTo(b.runs, static_cast<std::size_t>(b.runCount) + 1);
    b.runs[static_cast<std::size_t>(b.runCount++)] = {0, 0, 0, false, &p};
    fill.firstFreeRun = b.runCount;
    return;
  }
  const SpriteCell* cell = CellForList(p.spriteList);
  if (cell == nullptr) return;
  TileSpan span;
  if (!Footprint(p.pos, ScaleOf(p), span)) return;

  const bool alphaBlend = p.kind == Smoke;
  // Light may pass other light but no smoke; smoke passes nothing it overlaps.
  const std::vector<int>& blocking = alphaBlend ? b.tileLastRun : b.tileLastAlphaRun;
  int earliest = fill.firstFreeRun;
  for (int ty = span.y0; ty <= span.y1; ++ty) {
    const int* row = &blocking[static_cast<std::size_t>(ty) * fill.screen.columns];
    for (int tx = span.x0; tx <= span.x1; ++tx) earliest = std::max(earliest, row[tx]);
  }
  const int run = RunFor(cell->texture, alphaBlend, earliest);
  for (int ty = span.y0; ty <= span.y1; ++ty) {
    const std::size_t rowStart = static_cast<std::size_t>(ty) * fill.screen.columns;
    for (int tx = span.x0; tx <= span.x1; ++tx) {
      int& last = b.tileLastRun[rowStart + tx];
      last = std::max(last, run);
      if (alphaBlend) {
        int& lastAlpha = b.tileLastAlphaRun[rowStart + tx];
        lastAlpha = std::max(lastAlpha, run);
      }
    }
  }
  b.runs[static_cast<std::size_t>(run)].vertexCount += 4 * QuadsOf(p);
  GrowTo(b.items, static_cast<std::size_t>(b.itemCount) + 1);
  BatchItem& item = b.items[static_cast<std::size_t>(b.itemCount++)];
  item.pos = p.pos;
  item.scale = ScaleOf(p);
  if (p.kind == Flash) {  // white, shrinking as it fades
    item.colour[0] = item.colour[1] = item.colour[2] = 1.0f;
  } else {
    item.colour[0] = p.colour.x;
    item.colour[1] = p.colour.y;
    item.colour[2] = p.colour.z;
  }
  item.colour[3] = p.alpha;
  item.alpha = p.alpha;
  item.run = run;
  item.cell = static_cast<short>(cell - fill.frame.cells);
  item.cored = QuadsOf(p) == 2 ? 1 : 0;
}

// One square of edge `scale` centred on `pos`, facing the camera, written at `at`: the corners of
// the sprite's own strip as a counter-clockwise quad.
void PutQuad(BatchVertex* v, const Vec3& pos, float scale, const AtlasRect& rc, float r, float g,
             float b, float a) {
  const float xx = fill.frame.halfX[0] * scale, xy = fill.frame.halfX[1] * scale,
              xz = fill.frame.halfX[2] * scale;
  const float yx = fill.frame.halfY[0] * scale, yy = fill.frame.halfY[1] * scale,
              yz = fill.frame.halfY[2] * scale;
  v[0] = {pos.x - xx - yx, pos.y - xy - yy, pos.z - xz - yz, rc.s0, rc.t0, r, g, b, a};
  v[1] = {pos.x + xx - yx, pos.y + xy - yy, pos.z + xz - yz, rc.s1, rc.t0, r, g, b, a};
  v[2] = {pos.x + xx + yx, pos.y + xy + yy, pos.z + xz + yz, rc.s1, rc.t1, r, g, b, a};
  v[3] = {pos.x - xx + yx, pos.y - xy + yy, pos.z - xz + yz, rc.s0, rc.t1, r, g, b, a};
}

// Writes an item's quads at its run's cursor (the run's vertexCount, counted up again): its
// colour, then for glowing kinds a white-hot core.
void WriteItem(const BatchItem& item) {
  ParticleBatch& b = particleBatch;
  const AtlasRect& rc = fill.frame.cells[item.cell].rect;
  BatchRun& run = b.runs[static_cast<std::size_t>(item.run)];
  BatchVertex* v = &b.vertices[static_cast<std::size_t>(run.firstVertex + run.vertexCount)];
  PutQuad(v, item.pos, item.scale, rc, item.colour[0], item.colour[1], item.colour[2],
          item.colour[3]);
  run.vertexCount += 4;
  if (item.cored != 0) {
    PutQuad(v + 4, item.pos, item.scale * CoreScale, rc, 1.0f, 1.0f, 1.0f, item.alpha);
    run.vertexCount += 4;
  }
}

}  // namespace

void ResetParticleBatch() {
  particleBatch = {};
  fill = {};
}

BatchView CurrentBatchView() {
  BatchView view = {};
  double projection[16];
  double modelView[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetIntegerv(GL_VIEWPORT, view.viewport);
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += projection[k * 4 + r] * modelView[c * 4 + k];
      view.clipFromWorld[c * 4 + r] = sum;
    }
  }
  return view;
}

void FillParticleBatch(const BatchView& view) {
  ParticleBatch& b = particleBatch;
  b.vertexCount = 0;
  b.runCount = 0;
  b.itemCount = 0;
  fill = {};
  GatherFrame();
  GatherScreen(view);
  ForEachLive([](const Particle& p) { AddParticle(p); });

  // Runs take their places in the array in run order; then every item is written into its run.
  for (int i = 0; i < b.runCount; ++i) {
    BatchRun& run = b.runs[static_cast<std::size_t>(i)];
    run.firstVertex = b.vertexCount;
    b.vertexCount += run.vertexCount;
    run.vertexCount = 0;
  }
  GrowTo(b.vertices, static_cast<std::size_t>(b.vertexCount));
  for (int i = 0; i < b.itemCount; ++i) WriteItem(b.items[static_cast<std::size_t>(i)]);
}

void EnableBatchArrays() {
  const BatchVertex* v = particleBatch.vertices.data();
  constexpr GLsizei stride = sizeof(BatchVertex);
  glVertexPointer(3, GL_FLOAT, stride, &v->x);
  glTexCoordPointer(2, GL_FLOAT, stride, &v->s);
  glColorPointer(4, GL_FLOAT, stride, &v->r);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
}

void DisableBatchArrays() {
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

void DrawParticleBatch() {
  const ParticleBatch& b = particleBatch;
  glEnable(GL_BLEND);
  if (b.runCount == 0) return;

  EnableBatchArrays();

  // The state of the previous run: set again only where it changes. -1 / 0: unknown. Runs of one
  // state that follow each other lie side by side in the array and go out as one draw.
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
    int count = run.vertexCount;
    while (i + 1 < b.runCount) {
      const BatchRun& next = b.runs[static_cast<std::size_t>(i) + 1];
      if (next.blast != nullptr || next.texture != run.texture ||
          next.alphaBlend != run.alphaBlend) {
        break;
      }
      count += next.vertexCount;
      ++i;
    }
    if (blend != static_cast<int>(run.alphaBlend)) {
      glBlendFunc(GL_SRC_ALPHA, run.alphaBlend ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE);
      blend = static_cast<int>(run.alphaBlend);
    }
    if (bound != run.texture) {
      glBindTexture(GL_TEXTURE_2D, run.texture);
      bound = run.texture;
    }
    glDrawArrays(GL_QUADS, run.firstVertex, count);
  }

  DisableBatchArrays();
}

}  // namespace varenko

// The batched particle pass: every live particle's sprites as quads in client-side vertex arrays,
// drawn back to front in runs that share a blend function and an atlas.
#pragma once

#include <vector>

#include "renderer/sim/particle.h"

namespace varenko {

// One corner of a sprite quad: world position, atlas coordinate, colour with opacity.
struct BatchVertex {
  float x, y, z;
  float s, t;
  float r, g, b, a;
};

// Consecutive quads drawn with one state, or (vertexCount 0, blast set) one blast drawn on its own.
struct BatchRun {
  int firstVertex;
  int vertexCount;
  unsigned texture;       // atlas texture bound for the run
  bool alphaBlend;        // smoke: (SRC_ALPHA, ONE_MINUS_SRC_ALPHA); else additive (SRC_ALPHA, ONE)
  const Particle* blast;  // a blast, drawn by DrawParticle in its place in the order
};

// One particle's sprites (its quad and, for glowing kinds, its core) and the run it went to. The
// fields it is drawn with are copied, so writing the quads reads memory in order instead of
// walking the pool a second time.
struct BatchItem {
  Vec3 pos;
  float scale;      // edge of the quad
  float colour[4];  // colour and opacity of the quad
  float alpha;      // opacity of the white core
  int run;
  short cell;   // sprite picture, an index into the frame's atlas cells
  short cored;  // 1: a white core at CoreScale follows the quad
};

// Where the frame's quads land on the screen, for moving sprites between runs safely.
struct BatchView {
  double clipFromWorld[16];  // projection times model-view, column-major
  int viewport[4];           // x, y, width, height in pixels
};

// The arrays of the frame. They only grow, so once they hold the largest show seen a frame
// allocates nothing.
struct ParticleBatch {
  std::vector<BatchVertex> vertices;
  std::vector<BatchRun> runs;
  std::vector<BatchItem> items;
  // Per screen tile: the last run holding a sprite that covers the tile, and the last run holding
  // an alpha-blended one.
  std::vector<int> tileLastRun;
  std::vector<int> tileLastAlphaRun;
  int vertexCount;  // vertices used this frame (the vector may be longer)
  int runCount;     // runs used this frame
  int itemCount;    // items used this frame
};

extern ParticleBatch particleBatch;

// Empty arrays and no fill under way: the batch before the first frame.
void ResetParticleBatch();

// The view of the current OpenGL matrices and viewport.
BatchView CurrentBatchView();

// Fills particleBatch from the live particles in pool order with DrawParticle's rules: the same
// skips, colours, sizes and white cores, the corners turned by BillboardMatrix. No OpenGL.
//
// Additive sprites may be drawn in any order among themselves: each adds a value that does not
// depend on what lies beneath, and a sum clamped at white is the same in any order. So a sprite
// joins the latest run of its own state unless that would move it across an alpha-blended sprite
// (or, being alpha-blended itself, across any sprite) that covers the same part of the screen.
// Runs then break only where smoke and light truly overlap, and the picture is the one the pool
// order gives. Sprites wholly outside the viewport are left out; a blast keeps its place and no
// sprite moves across it.
void FillParticleBatch(const BatchView& view);

// Draws what FillParticleBatch gathered, run by run, with blending on. The client arrays are
// switched off again afterwards, so immediate-mode passes that follow are unaffected.
void DrawParticleBatch();

// Points OpenGL's vertex, texture-coordinate and colour arrays at the batch's vertices and enables
// them; DisableBatchArrays turns the three off again.
void EnableBatchArrays();
void DisableBatchArrays();

}  // namespace varenko

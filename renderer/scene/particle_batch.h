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

// Consecutive quads drawn with one state, or (quadCount 0, blast set) one blast drawn on its own.
struct BatchRun {
  int firstVertex;
  int vertexCount;
  unsigned texture;       // atlas texture bound for the run
  bool alphaBlend;        // smoke: (SRC_ALPHA, ONE_MINUS_SRC_ALPHA); else additive (SRC_ALPHA, ONE)
  const Particle* blast;  // a blast, drawn by DrawParticle in its place in the order
};

// The arrays of the frame. They only grow, so once they hold the largest show seen a frame
// allocates nothing.
struct ParticleBatch {
  std::vector<BatchVertex> vertices;
  std::vector<BatchRun> runs;
  int vertexCount;  // vertices used this frame (the vector may be longer)
  int runCount;     // runs used this frame
};

extern ParticleBatch particleBatch;

// Fills particleBatch from the live particles in pool order with DrawParticle's rules: the same
// skips, colours, sizes and white cores, the corners turned by BillboardMatrix. No OpenGL.
void FillParticleBatch();

// Draws what FillParticleBatch gathered, run by run, with blending on. The client arrays are
// switched off again afterwards, so immediate-mode passes that follow are unaffected.
void DrawParticleBatch();

}  // namespace varenko

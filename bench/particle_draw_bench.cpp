// Cost of the particle drawing pass at 1280 x 720 (per-sprite reference, batched, and the floor of
// one plain draw of the same quads) and of building every sprite and sky resource at start-up.
// Needs a display: run under tools/e2e/with-xvfb.
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "renderer/host/settings.h"
#include "renderer/scene/particle_batch.h"
#include "renderer/scene/particle_draw.h"
#include "renderer/scene/sky.h"
#include "renderer/scene/sky_texels.h"
#include "renderer/scene/sprite_atlas.h"
#include "renderer/scene/sprite_texels.h"
#include "renderer/scene/sprites.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/random.h"
#include "renderer/sim/sprite_lists.h"
#include "tests/gl/gl_fixture.h"

namespace varenko {
namespace {

constexpr int Width = 1280;
constexpr int Height = 720;

gltest::OffscreenContext& Context() {
  static gltest::OffscreenContext context(Width, Height);
  return context;
}

void BuildResources() {
  BuildFormulaSprites();
  if (settings.smokeSpan != 0) BuildSmokeSprites();
  BuildSky();
  BuildRingMesh();
}

// The camera of a frame: perspective, eye at (0, 1000, 4000) looking down -z, so the billboard
// is the identity.
void SetCamera() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, static_cast<double>(Width) / Height, 1.0, 40000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, -1000.0f, -4000.0f);
  for (int i = 0; i < 16; ++i) BillboardMatrix[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

// `count` particles in front of the camera; `mix` chooses plain glowing stars only, or the
// show's usual blend of glowing kinds, sparkles, flashes and smoke puffs.
void FillPool(int count, bool mix) {
  ClearPool();
  srand(11);
  for (int i = 0; i < count; ++i) {
    Particle& p = AllocateParticle();
    p.pos.Set(U(-2000.0f, 2000.0f), U(0.0f, 2000.0f), U(-2000.0f, 2000.0f));
    p.colour.Set(1.0f, 0.6f, 0.3f);
    p.alpha = 0.8f;
    p.lifeFrac = 0.5f;
    p.size = 30.0f;
    p.depthKey = 4000.0f - p.pos.z;
    p.kind = Star;
    p.spriteList = GlowSprite;
    if (mix) {
      switch (i % 10) {
        case 0:
        case 1:
        case 2:
          p.kind = Smoke;
          p.spriteList = SmokeSprite[i % 5];
          p.size = 60.0f;
          break;
        case 3:
          p.spriteList = SparkleSprite;
          break;
        case 4:
          p.kind = Flash;
          p.size = 200.0f;
          break;
        default:
          break;
      }
    }
  }
  MaintainPool();
}

// The pool of `count` mixed particles under the frame camera, on a fresh context state.
bool PreparePass(benchmark::State& state) {
  if (!Context().ready()) {
    state.SkipWithError("no GLX context on $DISPLAY");
    return false;
  }
  ApplyDefaults();
  srand(1);
  BuildResources();
  FillPool(static_cast<int>(state.range(0)), true);
  SetCamera();
  return true;
}

// The whole pass as the frame runs it, per-sprite (`reference`) or batched.
void DrawPass(benchmark::State& state, bool reference) {
  if (!PreparePass(state)) return;
  referenceParticleDraw = reference;
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    DrawParticles();
    glFinish();  // count the rasterising, not only the command submission
  }
  referenceParticleDraw = false;
  FillParticleBatch(CurrentBatchView());
  state.counters["quads"] = particleBatch.vertexCount / 4;
  state.counters["runs"] = particleBatch.runCount;
  state.SetItemsProcessed(state.iterations() * state.range(0));
  ClearPool();
}

// The floor: the batched pass's quads, gathered once, drawn with one glDrawArrays in one state.
// No drawing of the same quads can cost less.
void FloorPass(benchmark::State& state) {
  if (!PreparePass(state)) return;
  FillParticleBatch(CurrentBatchView());
  EnableBatchArrays();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, FormulaAtlasTexture);
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    glDrawArrays(GL_QUADS, 0, particleBatch.vertexCount);
    glFinish();
  }
  DisableBatchArrays();
  state.counters["quads"] = particleBatch.vertexCount / 4;
  state.SetItemsProcessed(state.iterations() * state.range(0));
  ClearPool();
}

// The filling alone: corners, colours and runs on the CPU, no OpenGL.
void FillOnly(benchmark::State& state) {
  if (!PreparePass(state)) return;
  for (auto _ : state) {
    FillParticleBatch(CurrentBatchView());
    benchmark::DoNotOptimize(particleBatch.vertices.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  ClearPool();
}

void BM_DrawReference(benchmark::State& state) { DrawPass(state, true); }
void BM_DrawBatched(benchmark::State& state) { DrawPass(state, false); }
void BM_DrawFloor(benchmark::State& state) { FloorPass(state); }
void BM_FillBatch(benchmark::State& state) { FillOnly(state); }
BENCHMARK(BM_DrawReference)->Arg(2000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawBatched)->Arg(2000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawFloor)->Arg(2000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillBatch)->Arg(2000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);

// Start-up: every sprite texture and list, the sky's textures and lists and the ring mesh, with
// the default settings (smoke, 400 stars, clouds). Each run adds a set of textures; the context
// frees them at exit.
void BM_BuildAllResources(benchmark::State& state) {
  if (!Context().ready()) {
    state.SkipWithError("no GLX context on $DISPLAY");
    return;
  }
  ApplyDefaults();
  srand(1);
  for (auto _ : state) {
    BuildResources();
    glFinish();
  }
}
BENCHMARK(BM_BuildAllResources)->Unit(benchmark::kMillisecond)->Iterations(10);

// The texel generation alone, without the upload.
void BM_GenerateTexels(benchmark::State& state) {
  srand(1);
  for (auto _ : state) {
    for (int i = 0; i < FormulaSpriteCount; ++i) benchmark::DoNotOptimize(FormulaSpriteTexels(i));
    benchmark::DoNotOptimize(StarFieldTexels(20));
  }
}
BENCHMARK(BM_GenerateTexels)->Unit(benchmark::kMillisecond);

// The worst star density: the capped million stars.
void BM_StarFieldAtTheCap(benchmark::State& state) {
  srand(1);
  for (auto _ : state) benchmark::DoNotOptimize(StarFieldTexels(2000000000));
}
BENCHMARK(BM_StarFieldAtTheCap)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varenko

BENCHMARK_MAIN();

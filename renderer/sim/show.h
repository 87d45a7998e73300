// The show: its one state record with its reset, the starts of a show (the renderer's and a
// windowless one), the simulation step the frame driver runs once per frame between the cloud
// update and the drawing (RefreshSmoke, LaunchStep, the update pass, MaintainPool), and the
// show's determinism hash.
#pragma once

#include <cstdint>

#include "renderer/sim/director.h"

namespace varenko {

inline constexpr int NoForcedBurst = -1;

// Everything the show keeps between frames apart from the pool and the generator.
struct ShowState {
  Director director;    // launch pacing and the shell count
  float smokeGrey;      // ambientLevel * 0.01, taken at the first frame
  int forcedBurstKind;  // Linux --burst K: every shell launched gets K; NoForcedBurst: chosen
  bool firstFrame;      // the next step takes the first-frame values
  int peakLive;         // most live particles after any step, for --stats
};
extern ShowState show;

// Empties the pool and puts the show record back to its start values with the given forced kind.
// The generator is left alone.
void ResetShow(int forcedBurstKind = NoForcedBurst);

// The renderer's start of a show: ResetShow, then the generator seeded with seed and its first
// 20 draws discarded.
void StartShow(std::uint32_t seed, int forcedBurstKind = NoForcedBurst);

// A show without a window, for tests, benchmarks and fuzzing, over the settings already in place:
// ResetShow, the smoke lifetime table, the frame step, a camera at (0, 400, 3000) looking down -z,
// and the generator seeded with seed (no draws discarded).
void StartHeadlessShow(std::uint32_t seed, float step, int forcedBurstKind = NoForcedBurst);

void StepSimulation();

// Peak number of live particles seen by StepSimulation since the show started, for --stats.
int PeakLiveParticles();

// FNV-1a over the fields that make the picture (kind, position, velocity, colour, life left,
// size, depth key) of every live record in pool order: the same seed and settings give the same
// hash exactly when they give the same show.
std::uint64_t ShowHash();

}  // namespace varenko

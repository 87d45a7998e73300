// The simulation step the frame driver runs once per frame, between the cloud update and the
// drawing: RefreshSmoke, LaunchStep, the update pass (UpdateParticle, the shell count,
// ComputeDepthKey, EndOfLife) and MaintainPool. The first call also takes the first-frame values
// (smoke grey, launch interval base).
#pragma once

namespace varenko {

void StepSimulation();

// Peak number of live particles seen by StepSimulation since start, for --stats.
int PeakLiveParticles();

// Linux --burst K: when >= 0, every shell launched gets this burstKind instead of a random one.
extern int forcedBurstKind;

}  // namespace varenko

// Placeholder until the show director lands.
#include "renderer/sim/show.h"

namespace varenko {

int forcedBurstKind = -1;
void StepSimulation() {}
int PeakLiveParticles() { return 0; }

}  // namespace varenko

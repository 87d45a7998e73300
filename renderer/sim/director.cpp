// Placeholder until the show director lands.
#include "renderer/sim/director.h"

namespace varenko {

Director director = {0.0f, 20.0f, 1.0f, 0};
void StartDirector() {}
void LaunchStep() {}
void LaunchShell(Particle&) {}
unsigned ChooseBurstKind() { return 0; }
void LaunchFountain(Particle&) {}
void MakePinwheel(Particle&) {}
void Burst(Particle&) {}

}  // namespace varenko

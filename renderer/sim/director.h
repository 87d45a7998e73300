// The show director: when and what to launch, how shells are prepared and which burst they make,
// and the burst itself.
#pragma once

#include "renderer/sim/particle.h"

namespace varenko {

struct Director {
  float launchTimer;   // seconds to the next launch opportunity
  float rhythmTimer;   // seconds to the next change of pace
  float intervalBase;  // upper bound of the wait between opportunities
  int shellsInFlight;  // shells after last frame's update, plus launches since
};

// The director lives in the show record (show.h). Sets intervalBase = 10 / maxShells (first
// frame).
void StartDirector();
void LaunchStep();
void LaunchShell(Particle& p);
unsigned ChooseBurstKind();
void LaunchFountain(Particle& p);
void MakePinwheel(Particle& shell);
void Burst(Particle& s);

}  // namespace varenko

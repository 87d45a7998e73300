// Placeholder until the particle update lands.
#include "renderer/sim/update.h"

namespace varenko {

float smokeGrey = 0.1f;
void UpdateParticle(Particle&) {}
void EndOfLife(Particle&) {}
void RefreshSmoke() {}
void InitStar(Particle&) {}
void InitEmberStar(Particle&) {}
void InitTrailStar(Particle&) {}
void InitSubShell(Particle&, unsigned) {}
void InitCrackle(Particle&) {}
void InitBee(Particle&) {}
void InitSmoke(Particle&, const Vec3&, const Vec3&) {}

}  // namespace varenko

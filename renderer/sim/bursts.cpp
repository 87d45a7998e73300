// Placeholder until the burst patterns land.
#include "renderer/sim/bursts.h"

namespace varenko {

Vec3 RandomHue() { return Vec3(1, 1, 1); }
Vec3 RandomDirection() { return Vec3(0, 1, 0); }
Vec3 FlatDirection() { return Vec3(1, 0, 0); }
void SphereBurst(const Particle&, int, float, const Vec3&) {}
void TwoToneBurst(const Particle&, int, float, const Vec3&) {}
void TriColourBurst(const Particle&, int, float) {}
void RingBurst(const Particle&, int, float, const Vec3&) {}
void EmberBurst(const Particle&, int, float, const Vec3&) {}
void TrailStarBurst(const Particle&, int, float, const Vec3&) {}
void SubShellBurst(const Particle&, unsigned, int, float, const Vec3&) {}
void CrackleBurst(const Particle&, int, float) {}
void BeeBurst(const Particle&, int, float, const Vec3&) {}
void GatherFinale(Particle&) {}
void BlastStage(Particle&) {}
void SwirlFinale(Particle&) {}
void RingWaveStage(Particle&) {}

}  // namespace varenko

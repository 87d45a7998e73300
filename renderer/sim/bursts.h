// Burst patterns made around a bursting shell or sub-shell, and the stages of the two finales.
#pragma once

#include "renderer/sim/particle.h"

namespace varenko {

// A colour with one channel at 1, one uniform in 0..1 and one at most 0.2.
Vec3 RandomHue();
// Normalised (U(-0.5,0.5), U(-0.5,0.5), U(-0.5,0.5)) and its flat (y = 0) variant.
Vec3 RandomDirection();
Vec3 FlatDirection();

void SphereBurst(const Particle& source, int count, float speed, const Vec3& colour);
void TwoToneBurst(const Particle& source, int count, float speed, const Vec3& colour);
void TriColourBurst(const Particle& source, int count, float speed);
void RingBurst(const Particle& source, int count, float speed, const Vec3& colour);
void EmberBurst(const Particle& source, int count, float speed, const Vec3& colour);
void TrailStarBurst(const Particle& source, int count, float speed, const Vec3& colour);
void SubShellBurst(const Particle& source, unsigned variant, int count, float speed,
                   const Vec3& colour);
void CrackleBurst(const Particle& source, int count, float speed);
void BeeBurst(const Particle& source, int count, float speed, const Vec3& colour);

void GatherFinale(Particle& shell);   // finale A, stage one
void BlastStage(Particle& gather);    // finale A, stage two
void SwirlFinale(Particle& shell);    // finale B, stage one
void RingWaveStage(Particle& swirl);  // finale B, stage two

}  // namespace varenko

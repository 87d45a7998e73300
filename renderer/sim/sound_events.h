// What the show does that can be heard: launches, bursts and the finales' second stages, queued
// by the simulation as they happen for the sound to read after the frame. Pushing draws nothing
// from the generator and changes no simulated value, so a show is the same with sound or without.
#pragma once

#include "renderer/sim/vecmath.h"

namespace varenko {

enum class SoundEventKind : unsigned char {
  Launch,  // a shell leaves the ground
  Burst,   // a shell or sub-shell bursts (a finale's kind: its first stage, the pull)
  Blast,   // a finale's second stage
};

struct SoundEvent {
  SoundEventKind kind;
  unsigned burstKind;  // Burst: the kind it burst as (burst_kinds.h); else 0
  int stars;           // Burst: stars and carriers it sent off; else 0
  float pos[3];        // world position
};

// More than a frame of the busiest show ever queues; later ones in a full queue are dropped.
inline constexpr int SoundEventCapacity = 256;

struct SoundEventQueue {
  bool enabled;  // off: pushes are ignored (no sound, or a preview)
  int count;
  SoundEvent events[SoundEventCapacity];
};

extern SoundEventQueue soundEvents;

void PushSoundEvent(SoundEventKind kind, const Vec3& pos, unsigned burstKind = 0, int stars = 0);

}  // namespace varenko

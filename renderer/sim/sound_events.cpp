// The queue of audible events the simulation fills and the sound empties after every frame.
#include "renderer/sim/sound_events.h"

namespace varenko {

SoundEventQueue soundEvents = {};

void PushSoundEvent(SoundEventKind kind, const Vec3& pos, unsigned burstKind, int stars) {
  SoundEventQueue& q = soundEvents;
  if (!q.enabled || q.count < 0 || q.count >= SoundEventCapacity) return;
  q.events[q.count++] = SoundEvent{kind, burstKind, stars, {pos.x, pos.y, pos.z}};
}

}  // namespace varenko

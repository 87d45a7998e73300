// The saver loop's sound: the camera as the listener, events to the player or the recorder.
#include "renderer/host/saver_sound.h"

#include <algorithm>
#include <cmath>

#include "renderer/audio/sound_player.h"
#include "renderer/scene/camera.h"
#include "renderer/sim/sound_events.h"

namespace varenko {

namespace {

constexpr int RecordChunk = 1024;  // frames mixed at a time into the file

void RecordFrameSound(SaverSound& s) {
  ++s.frames;
  const long long due =
      std::llround(static_cast<double>(s.frames) * static_cast<double>(s.step) * SampleRate);
  std::int16_t chunk[2 * RecordChunk];
  while (s.mixer->now < due) {
    const int n = static_cast<int>(std::min<long long>(RecordChunk, due - s.mixer->now));
    MixSamples(*s.mixer, chunk, n);
    WriteWav(*s.record, chunk, n);
  }
}

}  // namespace

SoundListener CameraListener(const float eye[3], const float target[3]) {
  SoundListener l = {{eye[0], eye[1], eye[2]}, {0.0f, 0.0f, 0.0f}};
  // Looking along f, the level right axis is f x up = (-f.z, 0, f.x).
  const float rx = -(target[2] - eye[2]);
  const float rz = target[0] - eye[0];
  const float length = std::sqrt(rx * rx + rz * rz);
  if (length > 0.0f) {
    l.right[0] = rx / length;
    l.right[2] = rz / length;
  }
  return l;
}

void StartSaverSound(SaverSound& s, int volume, std::uint32_t seed, float step) {
  soundEvents.count = 0;
  soundEvents.enabled = false;
  s.recording = s.record != nullptr && step > 0.0f;
  s.step = step;
  s.frames = 0;
  if (s.recording) {
    s.mixer = new SoundMixer{};
    StartMixer(*s.mixer, seed, volume);
    soundEvents.enabled = volume > 0;
    return;
  }
  if (!s.allowed || volume <= 0) return;
  s.player = new SoundPlayer{};
  if (!StartPlayer(*s.player, seed, volume)) {
    delete s.player;
    s.player = nullptr;
    return;
  }
  soundEvents.enabled = true;
}

void SaverSoundFrame(SaverSound& s) {
  if (s.mixer == nullptr && s.player == nullptr) return;
  const float eye[3] = {camera.eyePos.x, camera.eyePos.y, camera.eyePos.z};
  const float target[3] = {camera.lookTarget.x, camera.lookTarget.y, camera.lookTarget.z};
  const SoundListener l = CameraListener(eye, target);
  const int count = std::clamp(soundEvents.count, 0, SoundEventCapacity);
  for (int i = 0; i < count; ++i) {
    if (s.mixer != nullptr)
      HearEvent(*s.mixer, soundEvents.events[i], l);
    else
      PostHeardEvent(*s.player, soundEvents.events[i], l);
  }
  soundEvents.count = 0;
  if (s.recording) RecordFrameSound(s);
}

void StopSaverSound(SaverSound& s) {
  soundEvents.enabled = false;
  soundEvents.count = 0;
  if (s.player != nullptr) {
    StopPlayer(*s.player);
    s.mixSeconds = static_cast<double>(s.player->mixNanoseconds.load()) * 1e-9;
    const long long chunks = s.player->chunksMixed.load();
    s.soundSeconds = static_cast<double>(chunks) * PlayerChunkFrames / SampleRate;
    // An event waits on average half a chunk for the next mix, then the output's latency.
    if (chunks > 0)
      s.outputDelay = static_cast<double>(s.player->latencyMicroseconds.load()) * 1e-6 /
                          static_cast<double>(chunks) +
                      0.5 * PlayerChunkFrames / SampleRate;
  }
  delete s.player;
  delete s.mixer;
  s.player = nullptr;
  s.mixer = nullptr;
  s.recording = false;
}

}  // namespace varenko

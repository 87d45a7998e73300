// The player's hand-off ring and the audio thread's loop.
#include "renderer/audio/sound_player.h"

#include <chrono>
#include <cmath>

#include "renderer/audio/audio_device.h"

namespace varenko {

namespace {

void PlaybackThread(void* arg) { RunPlayback(*static_cast<SoundPlayer*>(arg)); }

// The events handed over since the last chunk, heard at the start of this one.
void TakeEvents(SoundPlayer& p) {
  const unsigned head = p.head.load(std::memory_order_acquire);
  unsigned tail = p.tail.load(std::memory_order_relaxed);
  for (; tail != head; ++tail) {
    const HeardEvent& h = p.ring[tail % PlayerRingSize];
    HearEvent(p.mixer, h.event, h.listener);
  }
  p.tail.store(tail, std::memory_order_release);
}

}  // namespace

void PostHeardEvent(SoundPlayer& p, const SoundEvent& e, const SoundListener& l) {
  const unsigned head = p.head.load(std::memory_order_relaxed);
  if (head - p.tail.load(std::memory_order_acquire) >= PlayerRingSize) return;
  p.ring[head % PlayerRingSize] = HeardEvent{e, l};
  p.head.store(head + 1, std::memory_order_release);
}

void RunPlayback(SoundPlayer& p) {
  p.device = OpenAudioDevice();
  if (p.device == nullptr) return;
  p.running.store(true);
  std::int16_t chunk[2 * PlayerChunkFrames];
  while (!p.stop.load(std::memory_order_acquire)) {
    const auto start = std::chrono::steady_clock::now();
    TakeEvents(p);
    MixSamples(p.mixer, chunk, PlayerChunkFrames);
    const auto spent = std::chrono::steady_clock::now() - start;
    p.mixNanoseconds.fetch_add(std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count(),
                               std::memory_order_relaxed);
    p.chunksMixed.fetch_add(1, std::memory_order_relaxed);
    p.latencyMicroseconds.fetch_add(std::llround(OutputLatency(p.device) * 1e6),
                                    std::memory_order_relaxed);
    if (!WriteAudio(p.device, chunk, PlayerChunkFrames)) break;
  }
  p.running.store(false);
  CloseAudioDevice(p.device);
  p.device = nullptr;
}

bool StartPlayer(SoundPlayer& p, std::uint32_t seed, int volume) {
  StartMixer(p.mixer, seed, volume);
  p.head.store(0);
  p.tail.store(0);
  p.stop.store(false);
  p.thread = StartAudioThread(PlaybackThread, &p);
  return p.thread != nullptr;
}

void StopPlayer(SoundPlayer& p) {
  if (p.thread == nullptr) return;
  p.stop.store(true, std::memory_order_release);
  JoinAudioThread(p.thread);
  p.thread = nullptr;
}

}  // namespace varenko

// Playback beside the frame loop: the frame loop hands heard events to the audio thread through a
// lock-free ring and never waits; the audio thread mixes 10 ms at a time into the platform's
// output, whose buffer of about 60 ms keeps it fed at any frame rate. An output that is missing or
// fails ends the thread; the show goes on silent.
#pragma once

#include <atomic>
#include <cstdint>

#include "renderer/audio/sound_mix.h"

namespace varenko {

inline constexpr int PlayerChunkFrames = SampleRate / 100;  // 10 ms
inline constexpr int PlayerBufferMs = 60;                   // what the output holds ahead
inline constexpr int PlayerRingSize = 512;                  // a power of two

struct HeardEvent {
  SoundEvent event;
  SoundListener listener;
};

struct AudioDevice;  // the platform's output (audio_device.h)

struct SoundPlayer {
  SoundMixer mixer;  // the audio thread's alone once it runs
  HeardEvent ring[PlayerRingSize];
  std::atomic<unsigned> head{0};  // written by the frame loop
  std::atomic<unsigned> tail{0};  // written by the audio thread
  std::atomic<bool> stop{false};
  std::atomic<bool> running{false};  // the output is open and being fed
  std::atomic<long long> chunksMixed{0};
  std::atomic<long long> mixNanoseconds{0};       // time spent mixing, for the thread's share
  std::atomic<long long> latencyMicroseconds{0};  // the output's latency summed over the chunks
  AudioDevice* device = nullptr;
  void* thread = nullptr;  // the platform's thread handle
};

// Hands an event to the audio thread; a full ring drops it. Never blocks.
void PostHeardEvent(SoundPlayer& p, const SoundEvent& e, const SoundListener& l);

// The audio thread's body: opens the output, then mixes and writes until told to stop or the
// output fails, then closes it.
void RunPlayback(SoundPlayer& p);

// Starts the thread (the platform's thread); false when none could be made.
bool StartPlayer(SoundPlayer& p, std::uint32_t seed, int volume);
// Tells the thread to stop and waits for it; the output is closed after at most one buffer.
void StopPlayer(SoundPlayer& p);

}  // namespace varenko

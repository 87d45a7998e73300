// The platform's sound output for the player: PulseAudio's simple API on Linux, WinMM on Windows.
// 48 kHz, 16-bit, stereo, with about PlayerBufferMs of buffer.
#pragma once

#include <cstdint>

namespace varenko {

struct AudioDevice;

// Opens the output; nullptr when there is none. On Linux a refusal prints one line.
AudioDevice* OpenAudioDevice();
// Queues the frames, waiting while the output's buffer is full; false when the output failed
// (on Linux after printing one line).
bool WriteAudio(AudioDevice* d, const std::int16_t* samples, int frames);
// Seconds from a sample written now to its sound at the output (buffer and device); 0 unknown.
double OutputLatency(AudioDevice* d);
// Drops what is queued and closes the output.
void CloseAudioDevice(AudioDevice* d);

// The audio thread, made and joined the platform's way.
void* StartAudioThread(void (*body)(void* arg), void* arg);
void JoinAudioThread(void* thread);

}  // namespace varenko

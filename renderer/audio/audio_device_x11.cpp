// The Linux sound output: PulseAudio's simple API (served by PipeWire's pulse server on current
// desktops), and the audio thread as a std::thread.
#include <pulse/error.h>
#include <pulse/simple.h>

#include <cstdio>
#include <thread>

#include "renderer/audio/audio_device.h"
#include "renderer/audio/sound_player.h"

namespace varenko {

struct AudioDevice {
  pa_simple* stream;
};

namespace {

constexpr std::uint32_t BytesPerFrame = 4;

std::uint32_t Bytes(int ms) {
  return static_cast<std::uint32_t>(SampleRate / 1000 * ms) * BytesPerFrame;
}

}  // namespace

AudioDevice* OpenAudioDevice() {
  pa_sample_spec format = {};
  format.format = PA_SAMPLE_S16LE;
  format.rate = SampleRate;
  format.channels = 2;
  pa_buffer_attr buffer = {};
  buffer.maxlength = static_cast<std::uint32_t>(-1);
  buffer.tlength = Bytes(PlayerBufferMs);
  buffer.prebuf = static_cast<std::uint32_t>(-1);
  buffer.minreq = Bytes(PlayerChunkFrames * 1000 / SampleRate);
  buffer.fragsize = static_cast<std::uint32_t>(-1);
  int error = 0;
  pa_simple* s = pa_simple_new(nullptr, "varenko", PA_STREAM_PLAYBACK, nullptr, "fireworks",
                               &format, nullptr, &buffer, &error);
  if (s == nullptr) {
    std::fprintf(stderr, "varenko: no sound output (%s); the show goes on silent\n",
                 pa_strerror(error));
    return nullptr;
  }
  return new AudioDevice{s};
}

bool WriteAudio(AudioDevice* d, const std::int16_t* samples, int frames) {
  int error = 0;
  if (pa_simple_write(d->stream, samples, static_cast<std::size_t>(frames) * BytesPerFrame,
                      &error) >= 0)
    return true;
  std::fprintf(stderr, "varenko: the sound output failed (%s); the show goes on silent\n",
               pa_strerror(error));
  return false;
}

double OutputLatency(AudioDevice* d) {
  int error = 0;
  const pa_usec_t usec = pa_simple_get_latency(d->stream, &error);
  return usec == static_cast<pa_usec_t>(-1) ? 0.0 : static_cast<double>(usec) * 1e-6;
}

void CloseAudioDevice(AudioDevice* d) {
  if (d == nullptr) return;
  int error = 0;
  pa_simple_flush(d->stream, &error);
  pa_simple_free(d->stream);
  delete d;
}

void* StartAudioThread(void (*body)(void* arg), void* arg) {
  try {
    return new std::thread(body, arg);
  } catch (...) {  // no thread could be made: no sound
    return nullptr;
  }
}

void JoinAudioThread(void* thread) {
  auto* t = static_cast<std::thread*>(thread);
  t->join();
  delete t;
}

}  // namespace varenko

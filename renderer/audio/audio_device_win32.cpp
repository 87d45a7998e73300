// The Windows sound output: WinMM's waveOut with six 10 ms buffers in turn, the audio thread
// waiting on the device's event for a buffer to come back. Nothing is ever shown on failure.
#include <windows.h>
// mmsystem.h needs the types windows.h declares first.
#include <mmsystem.h>

#include <cstring>

#include "renderer/audio/audio_device.h"
#include "renderer/audio/sound_player.h"

namespace varenko {

namespace {

constexpr int BufferCount = PlayerBufferMs * SampleRate / 1000 / PlayerChunkFrames;
constexpr DWORD WaitLimitMs = 500;  // a device that stops answering counts as failed

}  // namespace

struct AudioDevice {
  HWAVEOUT out;
  HANDLE done;  // signalled whenever the device finishes a buffer
  int next;     // the buffer to fill next
  WAVEHDR header[BufferCount];
  std::int16_t samples[BufferCount][2 * PlayerChunkFrames];
};

AudioDevice* OpenAudioDevice() {
  auto* d = new AudioDevice{};
  d->done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = SampleRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = SampleRate * 4;
  if (d->done == nullptr ||
      waveOutOpen(&d->out, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(d->done), 0,
                  CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    if (d->done != nullptr) CloseHandle(d->done);
    delete d;
    return nullptr;
  }
  for (int i = 0; i < BufferCount; ++i) {
    WAVEHDR& h = d->header[i];
    h.lpData = reinterpret_cast<LPSTR>(d->samples[i]);
    h.dwBufferLength = sizeof(d->samples[i]);
    h.dwFlags = WHDR_DONE;  // free to fill
  }
  return d;
}

bool WriteAudio(AudioDevice* d, const std::int16_t* samples, int frames) {
  WAVEHDR& h = d->header[d->next];
  while ((h.dwFlags & WHDR_DONE) == 0)
    if (WaitForSingleObject(d->done, WaitLimitMs) != WAIT_OBJECT_0 && (h.dwFlags & WHDR_DONE) == 0)
      return false;
  if ((h.dwFlags & WHDR_PREPARED) != 0) waveOutUnprepareHeader(d->out, &h, sizeof(h));
  const int n = frames < PlayerChunkFrames ? frames : PlayerChunkFrames;
  std::memcpy(d->samples[d->next], samples, static_cast<std::size_t>(n) * 4);
  h.dwBufferLength = static_cast<DWORD>(n) * 4;
  h.dwFlags = 0;
  if (waveOutPrepareHeader(d->out, &h, sizeof(h)) != MMSYSERR_NOERROR ||
      waveOutWrite(d->out, &h, sizeof(h)) != MMSYSERR_NOERROR)
    return false;
  d->next = (d->next + 1) % BufferCount;
  return true;
}

double OutputLatency(AudioDevice* d) {
  int queued = 0;
  for (const WAVEHDR& h : d->header) queued += (h.dwFlags & WHDR_DONE) == 0 ? 1 : 0;
  return static_cast<double>(queued * PlayerChunkFrames) / SampleRate;
}

void CloseAudioDevice(AudioDevice* d) {
  if (d == nullptr) return;
  waveOutReset(d->out);  // every queued buffer comes back done
  for (WAVEHDR& h : d->header)
    if ((h.dwFlags & WHDR_PREPARED) != 0) waveOutUnprepareHeader(d->out, &h, sizeof(h));
  waveOutClose(d->out);
  CloseHandle(d->done);
  delete d;
}

namespace {

struct ThreadStart {
  void (*body)(void*);
  void* arg;
};

DWORD WINAPI ThreadMain(LPVOID start) {
  const ThreadStart s = *static_cast<ThreadStart*>(start);
  delete static_cast<ThreadStart*>(start);
  s.body(s.arg);
  return 0;
}

}  // namespace

void* StartAudioThread(void (*body)(void* arg), void* arg) {
  auto* start = new ThreadStart{body, arg};
  HANDLE thread = CreateThread(nullptr, 0, ThreadMain, start, 0, nullptr);
  if (thread == nullptr) {
    delete start;
    return nullptr;
  }
  // The frame loop gives way to everything else; the sound must not wait behind it.
  SetThreadPriority(thread, THREAD_PRIORITY_ABOVE_NORMAL);
  return thread;
}

void JoinAudioThread(void* thread) {
  WaitForSingleObject(static_cast<HANDLE>(thread), INFINITE);
  CloseHandle(static_cast<HANDLE>(thread));
}

}  // namespace varenko

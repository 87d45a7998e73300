// The saver loop's sound: started with the scene, told of every frame, stopped before the scene
// goes. It reads the show's audible events and the camera after each frame and either hands them
// to the playback thread or, in record mode, mixes the frame's share of sound into a WAV file in
// the show's own time, whatever the real time.
#pragma once

#include <cstdint>

#include "renderer/audio/sound_mix.h"
#include "renderer/audio/wav_file.h"

namespace varenko {

struct SoundPlayer;

struct SaverSound {
  // Set by the host before the set-up.
  bool allowed = true;        // false: a preview, silent whatever the volume
  WavFile* record = nullptr;  // record mode: the sound into this open file, frame by frame
  // The sound's own state.
  bool recording = false;
  float step = 0.0f;              // seconds of sound a recorded frame adds
  long long frames = 0;           // frames recorded
  SoundMixer* mixer = nullptr;    // record mode's
  SoundPlayer* player = nullptr;  // playback's; null when silent
  // Left by the stop: seconds the playback thread spent mixing, and seconds of sound it mixed.
  double mixSeconds = 0.0;
  double soundSeconds = 0.0;
  // And the mean time from an event's hand-off to its sound at the output, seconds.
  double outputDelay = 0.0;
};

// The listener of a camera at `eye` looking at `target` (no roll): its right axis is level.
SoundListener CameraListener(const float eye[3], const float target[3]);

// Volume 0..100 ("11"); 0 opens no output. `step`: a fixed-step run's step (record mode needs it).
void StartSaverSound(SaverSound& s, int volume, std::uint32_t seed, float step);
// After a frame ran: its events, heard from the camera, and in record mode its share of sound.
void SaverSoundFrame(SaverSound& s);
void StopSaverSound(SaverSound& s);

}  // namespace varenko

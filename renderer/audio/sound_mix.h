// The sound of the show, mixed by our own code: every audible event becomes a synthesised voice,
// placed relative to the listener (delayed by distance at the speed of sound, quieter and duller
// with distance, panned by the listener's right axis), summed under a voice limit and a soft
// limiter into 48 kHz 16-bit stereo. No OpenGL and no device here: the player and the recorder
// drive the mixer.
#pragma once

#include <cstdint>

#include "renderer/sim/sound_events.h"

namespace varenko {

inline constexpr int SampleRate = 48000;
// World units a second. The camera wanders within 3000 units of the launch area, at heights up to
// 1700, and shells burst 600 to 1500 units up over it, so a burst is typically 2000 to 2800 units
// from the eye. At 2400 units a second the boom of a burst at that distance follows its flash by
// about a second, as it does for a spectator a few hundred metres from a real display.
inline constexpr float SpeedOfSound = 2400.0f;
// The distance at which an event is heard at its own loudness; nearer is no louder.
inline constexpr float ReferenceDistance = 800.0f;
// Voices sounding at once; a new voice takes the place of the quietest when all are busy.
inline constexpr int MaxVoices = 48;
// The limiter holds every sample within this share of full scale.
inline constexpr float LimiterCeiling = 0.8f;

// Where the listener is: the eye and its right axis (unit length, or zero for no pan).
struct SoundListener {
  float eye[3];
  float right[3];
};

// An event's place as heard: how late, how loud, how far to the side, how dull.
struct SoundPlace {
  long long delaySamples;
  float gain;      // 1 at ReferenceDistance or nearer, falling as 1 / distance
  float pan;       // -1 left to 1 right
  float cutoffHz;  // the air's low-pass: 18 kHz near, down to 500 Hz far away
};

SoundPlace PlaceSound(const float pos[3], const SoundListener& l);

enum class VoiceKind : unsigned char {
  Thump,    // a lift charge
  Whistle,  // a whistling shell climbing
  Boom,     // a burst: crack and rumble, body from its stars
  Pop,      // a sub-shell's small burst
  Salute,   // the salute's sharp report
  Crackle,  // the popping of crackle carriers
  Buzz,     // a swarm of bees
  Pull,     // a finale's first stage drawing in
  Blast,    // a finale's second stage
};

struct Voice {
  VoiceKind kind;
  long long start;  // the mixer's sample at which it is first heard
  int length;       // samples
  int age;          // samples played
  float left;       // gains into each channel: loudness, distance and pan
  float right;
  float air;  // the air's one-pole low-pass coefficient
  float airState;
  float env;    // the main envelope, multiplied by decay every sample
  float decay;  //
  float crack;  // the initial crack's envelope, multiplied by crackDecay every sample
  float crackDecay;
  float tone;   // the voice's own low-pass coefficient (its body)
  float freq;   // Hz: the pitch of tonal voices
  float phase;  // 0..1
  float lp1;    // the voice's own filter states
  float lp2;
  float wait;           // crackle: samples to the next pop
  float pop;            // crackle: the current pop's envelope
  std::uint32_t noise;  // the voice's own noise generator
};

struct SoundMixer {
  std::uint32_t random;  // the sound's own generator: whistles, voice seeds; never the show's
  long long now;         // samples mixed so far
  float master;          // the volume's gain
  float limiterGain;     // the soft limiter's gain, 1 when nothing is loud
  float release;         // its per-sample way back towards 1
  int voiceCount;
  Voice voices[MaxVoices];
};

// A mixer at sample 0 with volume 0..100 (clamped) and its generator seeded from the show's seed.
void StartMixer(SoundMixer& m, std::uint32_t seed, int volume);

// The event as heard from the listener, starting at the mixer's current sample (plus its delay).
void HearEvent(SoundMixer& m, const SoundEvent& e, const SoundListener& l);

// The next `frames` stereo frames, interleaved left, right; the mixer moves on by as many.
void MixSamples(SoundMixer& m, std::int16_t* out, int frames);

// --- the voices (sound_voices.cpp) -----------------------------------------------------------

// A voice of the kind, its loudness and body (0 small .. 1 the largest burst), starting at
// `start`; the place sets its gains and air. `seed` seeds its noise.
Voice MakeVoice(VoiceKind kind, float loudness, float body, long long start, const SoundPlace& at,
                std::uint32_t seed);

// Adds the voice's samples from the mixer's sample `from` into the two channels; false once it
// has ended.
bool RenderVoice(Voice& v, long long from, float* left, float* right, int frames);

}  // namespace varenko

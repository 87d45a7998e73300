// The synthesised voices: each sound of the show made from noise, filters, envelopes and pitch
// sweeps, sample by sample, with no recorded sample from anywhere.
#include <algorithm>
#include <cmath>

#include "renderer/audio/sound_mix.h"

namespace varenko {

namespace {

constexpr float Pi = 3.14159265f;
constexpr float Rate = static_cast<float>(SampleRate);

// The per-sample factor that brings an envelope to 1/e in `seconds`.
float DecayOver(float seconds) { return std::exp(-1.0f / (seconds * Rate)); }

// The coefficient of a one-pole low-pass at `hz`.
float LowPass(float hz) { return 1.0f - std::exp(-2.0f * Pi * std::min(hz, Rate * 0.45f) / Rate); }

// White noise in -1..1 from a xorshift generator.
float Noise(std::uint32_t& s) {
  s ^= s << 13;
  s ^= s >> 17;
  s ^= s << 5;
  return static_cast<float>(s) * (2.0f / 4294967296.0f) - 1.0f;
}

int Samples(float seconds) { return static_cast<int>(seconds * Rate); }

// Low-passed noise loses loudness as its cutoff falls; this brings it back to about full scale.
float NoiseMakeUp(float hz) { return std::sqrt(Rate / (Pi * hz)) * 0.7f; }

// Crack and rumble of a burst: a short broadband crack, then noise through two low-passes whose
// cutoff and decay come from the burst's body.
float Boom(Voice& v) {
  const float n = Noise(v.noise);
  v.lp1 += v.tone * (n - v.lp1);
  v.lp2 += v.tone * (v.lp1 - v.lp2);
  const float s = v.crack * n + v.env * v.lp2 * v.freq;
  v.env *= v.decay;
  v.crack *= v.crackDecay;
  return s;
}

// Crackle: pops at random times, dense when the first carriers go and thinning out; each pop a
// few milliseconds of bright (differenced) noise.
float Crackle(Voice& v) {
  if (--v.wait <= 0.0f) {
    const float t = static_cast<float>(v.age) / Rate;
    const float perSecond = 20.0f + 600.0f * std::exp(-t / 0.9f);
    const float u = 0.5f * (Noise(v.noise) + 1.0f);
    v.wait = -std::log(std::max(u, 1e-6f)) * Rate / perSecond;
    v.pop = 0.4f + 0.6f * 0.5f * (Noise(v.noise) + 1.0f);
  }
  const float n = Noise(v.noise);
  const float s = (n - v.lp1) * v.pop;
  v.lp1 = n;
  v.pop *= v.crackDecay;
  return s * v.env;
}

// The buzz of bees: a sawtooth whose pitch wobbles, softened by a low-pass, with a rough
// flutter of its loudness, fading in and out over the bees' life.
float Buzz(Voice& v) {
  const float t = static_cast<float>(v.age) / Rate;
  const float life = static_cast<float>(v.length) / Rate;
  const float hz = v.freq * (1.0f + 0.15f * std::sin(2.0f * Pi * 7.0f * t));
  v.phase += hz / Rate;
  v.phase -= std::floor(v.phase);
  const float saw = 2.0f * v.phase - 1.0f;
  v.lp1 += v.tone * (saw - v.lp1);
  const float flutter = 0.75f + 0.25f * std::sin(2.0f * Pi * 23.0f * t);
  const float fade = std::min({1.0f, t / 0.2f, (life - t) / 0.5f});
  return v.lp1 * flutter * std::max(fade, 0.0f) * 0.6f;
}

// A finale drawing in: a low rumble whose cutoff and loudness swell over the stage, over a
// rising sub tone.
float Pull(Voice& v) {
  const float t = static_cast<float>(v.age) / Rate;
  const float share = t * Rate / static_cast<float>(v.length);
  const float hz = 50.0f + 250.0f * share;
  const float k = LowPass(hz);
  v.lp1 += k * (Noise(v.noise) - v.lp1);
  v.phase += (30.0f + 40.0f * share) / Rate;
  v.phase -= std::floor(v.phase);
  // The blast that follows masks the end; the last 20 ms still fade, so that no click is left
  // where it does not come (a show ending, a voice taken for a newer one).
  const float release = std::min(1.0f, static_cast<float>(v.length - v.age) / (0.02f * Rate));
  const float swell = share * share * release;
  return swell * (v.lp1 * NoiseMakeUp(hz) * 0.5f + 0.5f * std::sin(2.0f * Pi * v.phase));
}

float Thump(Voice& v) {
  // A low knock whose pitch drops from 135 to 45 Hz, with a puff of low noise.
  v.freq = 45.0f + (v.freq - 45.0f) * v.crackDecay;
  v.phase += v.freq / Rate;
  v.phase -= std::floor(v.phase);
  v.lp1 += v.tone * (Noise(v.noise) - v.lp1);
  const float s = v.env * (std::sin(2.0f * Pi * v.phase) + v.lp1 * 3.0f);
  v.env *= v.decay;
  return s;
}

float Whistle(Voice& v) {
  // A shrill tone climbing over the lift, slightly breathy, swelling and fading.
  const float t = static_cast<float>(v.age) / Rate;
  const float life = static_cast<float>(v.length) / Rate;
  v.phase += v.freq * (1.0f + 1.2f * t / life) / Rate;
  v.phase -= std::floor(v.phase);
  const float tone = std::sin(2.0f * Pi * v.phase) + 0.2f * std::sin(4.0f * Pi * v.phase);
  const float fade = std::min({1.0f, t / 0.15f, (life - t) / 0.4f});
  return std::max(fade, 0.0f) * (0.5f * tone + 0.05f * Noise(v.noise));
}

float Blast(Voice& v) {
  // The deep blast: a burst's boom with a long body and a sub tone falling from 60 to 30 Hz.
  const float boom = Boom(v);
  v.phase += (30.0f + 30.0f * v.env) / Rate;
  v.phase -= std::floor(v.phase);
  return boom + 0.8f * v.env * std::sin(2.0f * Pi * v.phase);
}

float NextSample(Voice& v) {
  switch (v.kind) {
    case VoiceKind::Thump:
      return Thump(v);
    case VoiceKind::Whistle:
      return Whistle(v);
    case VoiceKind::Boom:
    case VoiceKind::Pop:
    case VoiceKind::Salute:
      return Boom(v);
    case VoiceKind::Crackle:
      return Crackle(v);
    case VoiceKind::Buzz:
      return Buzz(v);
    case VoiceKind::Pull:
      return Pull(v);
    case VoiceKind::Blast:
      return Blast(v);
  }
  return 0.0f;
}

// The rumble of a burst: its cutoff, decay and crack from the body.
void ShapeBoom(Voice& v, float cutoff, float seconds, float crackSeconds, float crackLevel) {
  v.length = Samples(seconds * 5.0f);
  v.tone = LowPass(cutoff);
  v.freq = NoiseMakeUp(cutoff);
  v.decay = DecayOver(seconds);
  v.crack = crackLevel;
  v.crackDecay = DecayOver(crackSeconds);
}

}  // namespace

Voice MakeVoice(VoiceKind kind, float loudness, float body, long long start, const SoundPlace& at,
                std::uint32_t seed) {
  Voice v = {};
  v.kind = kind;
  v.start = start;
  const float angle = (std::clamp(at.pan, -1.0f, 1.0f) + 1.0f) * Pi * 0.25f;  // equal power
  v.left = loudness * at.gain * std::cos(angle);
  v.right = loudness * at.gain * std::sin(angle);
  v.air = LowPass(at.cutoffHz);
  v.env = 1.0f;
  v.noise = seed | 1u;
  body = std::clamp(body, 0.0f, 1.0f);
  switch (kind) {
    case VoiceKind::Thump:
      v.length = Samples(0.5f);
      v.decay = DecayOver(0.09f);
      v.crackDecay = DecayOver(0.04f);  // the pitch's drop
      v.freq = 135.0f;
      v.tone = LowPass(300.0f);
      break;
    case VoiceKind::Whistle:
      v.length = Samples(1.4f + 0.8f * body);
      v.freq = 1100.0f + 500.0f * body;
      break;
    case VoiceKind::Boom:
      ShapeBoom(v, 420.0f - 260.0f * body, 0.35f + 0.9f * body, 0.006f, 0.9f);
      break;
    case VoiceKind::Pop:
      ShapeBoom(v, 1200.0f, 0.08f, 0.003f, 0.6f);
      break;
    case VoiceKind::Salute:
      ShapeBoom(v, 700.0f, 0.3f, 0.02f, 1.0f);
      break;
    case VoiceKind::Crackle:
      v.length = Samples(4.0f);
      v.crackDecay = DecayOver(0.0015f);
      v.wait = 1.0f;
      break;
    case VoiceKind::Buzz:
      v.length = Samples(3.0f);
      v.freq = 150.0f + 60.0f * body;
      v.tone = LowPass(1500.0f);
      break;
    case VoiceKind::Pull:
      v.length = Samples(4.0f);
      break;
    case VoiceKind::Blast:
      ShapeBoom(v, 110.0f, 1.4f, 0.025f, 1.0f);
      break;
  }
  return v;
}

bool RenderVoice(Voice& v, long long from, float* left, float* right, int frames) {
  int i = 0;
  if (v.start > from) {
    if (v.start - from >= frames) return true;
    i = static_cast<int>(v.start - from);
  }
  for (; i < frames && v.age < v.length; ++i, ++v.age) {
    v.airState += v.air * (NextSample(v) - v.airState);
    left[i] += v.left * v.airState;
    right[i] += v.right * v.airState;
  }
  return v.age < v.length;
}

}  // namespace varenko

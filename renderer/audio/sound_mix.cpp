// The mixer: events placed relative to the listener and turned into voices, the voice limit, the
// sum of the voices, the master volume and the soft limiter.
#include "renderer/audio/sound_mix.h"

#include <algorithm>
#include <cmath>

#include "renderer/sim/burst_kinds.h"

namespace varenko {

namespace {

constexpr int MixBlock = 256;  // frames summed at a time
// A whistle on about one shell in four, chosen by the sound's own generator.
constexpr unsigned WhistleOneIn = 4;
// The whistle is heard from the shell's climb, not from the ground it left.
constexpr float WhistleHeight = 300.0f;
// Crackle carriers live 2.5 to 6.5 seconds, most of them close to the shortest.
constexpr float CrackleAfter = 2.5f;
constexpr float LimiterRelease = 0.25f;  // seconds for the limiter to recover
constexpr float Headroom = 1.0f;         // the master gain at volume 100

// The high half of a linear congruential generator: its low bits repeat with short periods.
std::uint32_t NextRandom(SoundMixer& m) {
  m.random = m.random * 1664525u + 1013904223u;
  return m.random >> 16;
}

// A voice's noise seed: two draws, spread over all 32 bits (a xorshift generator started from a
// small number gives small numbers for a while, heard as a click).
std::uint32_t VoiceSeed(SoundMixer& m) {
  const std::uint32_t high = NextRandom(m);
  const std::uint32_t low = NextRandom(m);
  return ((high << 16) | low) * 0x9E3779B9u;
}

long long Seconds(float s) { return static_cast<long long>(s * static_cast<float>(SampleRate)); }

// The voice limit: a new voice takes a free place, else that of the quietest voice if it is
// quieter than the newcomer.
void AddVoice(SoundMixer& m, const Voice& v) {
  if (m.voiceCount < MaxVoices) {
    m.voices[m.voiceCount++] = v;
    return;
  }
  int quietest = 0;
  for (int i = 1; i < MaxVoices; ++i)
    if (m.voices[i].left + m.voices[i].right < m.voices[quietest].left + m.voices[quietest].right)
      quietest = i;
  if (m.voices[quietest].left + m.voices[quietest].right < v.left + v.right) m.voices[quietest] = v;
}

void Add(SoundMixer& m, VoiceKind kind, float loudness, float body, const float pos[3],
         const SoundListener& l, float after) {
  const SoundPlace at = PlaceSound(pos, l);
  AddVoice(m, MakeVoice(kind, loudness, body, m.now + at.delaySamples + Seconds(after), at,
                        VoiceSeed(m)));
}

// A burst: its boom, louder and fuller the more stars it sends off, and what its kind adds.
void HearBurst(SoundMixer& m, const SoundEvent& e, const SoundListener& l) {
  const float body = std::sqrt(std::min(static_cast<float>(e.stars), 250.0f) / 250.0f);
  switch (e.burstKind) {
    case SmallSphere:
    case SmallEmbers:
    case SmallTrailStars:
      Add(m, VoiceKind::Pop, 0.5f, 0.0f, e.pos, l, 0.0f);
      return;
    case BurstSalute:
      Add(m, VoiceKind::Salute, 1.2f, 1.0f, e.pos, l, 0.0f);
      return;
    case BurstGatherFinale:
    case BurstSwirlFinale:
      Add(m, VoiceKind::Boom, 0.6f, 0.3f, e.pos, l, 0.0f);
      Add(m, VoiceKind::Pull, 0.9f, 1.0f, e.pos, l, 0.0f);
      return;
    default:
      break;
  }
  Add(m, VoiceKind::Boom, 0.35f + 0.65f * body, body, e.pos, l, 0.0f);
  if (e.burstKind == BurstCrackle) Add(m, VoiceKind::Crackle, 0.5f, 1.0f, e.pos, l, CrackleAfter);
  if (e.burstKind == BurstBees) Add(m, VoiceKind::Buzz, 0.25f, body, e.pos, l, 0.05f);
}

}  // namespace

SoundPlace PlaceSound(const float pos[3], const SoundListener& l) {
  const float d[3] = {pos[0] - l.eye[0], pos[1] - l.eye[1], pos[2] - l.eye[2]};
  const float distance = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  SoundPlace at;
  at.delaySamples = std::llround(static_cast<double>(distance) / SpeedOfSound * SampleRate);
  at.gain = ReferenceDistance / std::max(distance, ReferenceDistance);
  const float side = d[0] * l.right[0] + d[1] * l.right[1] + d[2] * l.right[2];
  at.pan = distance > 0.0f ? std::clamp(side / distance, -1.0f, 1.0f) : 0.0f;
  // Air takes the highs first: the cutoff halves about every 1000 units.
  at.cutoffHz = std::clamp(18000.0f * std::exp2(-distance / 1000.0f), 500.0f, 18000.0f);
  return at;
}

void StartMixer(SoundMixer& m, std::uint32_t seed, int volume) {
  m.random = seed ^ 0x5A17C0DEu;
  m.now = 0;
  const float v = static_cast<float>(std::clamp(volume, 0, 100)) / 100.0f;
  m.master = Headroom * v * v;  // loudness follows the square, as the ear hears a fader
  m.limiterGain = 1.0f;
  m.release = 1.0f - std::exp(-1.0f / (LimiterRelease * static_cast<float>(SampleRate)));
  m.voiceCount = 0;
}

void HearEvent(SoundMixer& m, const SoundEvent& e, const SoundListener& l) {
  switch (e.kind) {
    case SoundEventKind::Launch: {
      Add(m, VoiceKind::Thump, 0.6f, 0.0f, e.pos, l, 0.0f);
      if (NextRandom(m) % WhistleOneIn == 0) {
        const float up[3] = {e.pos[0], e.pos[1] + WhistleHeight, e.pos[2]};
        const float pitch = static_cast<float>(NextRandom(m)) / 65535.0f;
        Add(m, VoiceKind::Whistle, 0.35f, pitch, up, l, 0.1f);
      }
      break;
    }
    case SoundEventKind::Burst:
      HearBurst(m, e, l);
      break;
    case SoundEventKind::Blast:
      Add(m, VoiceKind::Blast, 1.6f, 1.0f, e.pos, l, 0.0f);
      break;
  }
}

void MixSamples(SoundMixer& m, std::int16_t* out, int frames) {
  float left[MixBlock];
  float right[MixBlock];
  while (frames > 0) {
    const int n = std::min(frames, MixBlock);
    std::fill(left, left + n, 0.0f);
    std::fill(right, right + n, 0.0f);
    for (int i = 0; i < m.voiceCount;) {
      if (RenderVoice(m.voices[i], m.now, left, right, n)) {
        ++i;
      } else {
        m.voices[i] = m.voices[--m.voiceCount];  // ended: the last voice takes its place
      }
    }
    for (int i = 0; i < n; ++i) {
      // The limiter's gain drops at once to what keeps this sample under the ceiling and comes
      // back slowly, so a finale is held under full scale without a click.
      const float l = left[i] * m.master;
      const float r = right[i] * m.master;
      const float peak = std::max(std::fabs(l), std::fabs(r));
      m.limiterGain += m.release * (1.0f - m.limiterGain);
      if (peak * m.limiterGain > LimiterCeiling) m.limiterGain = LimiterCeiling / peak;
      out[2 * i] = static_cast<std::int16_t>(std::lrint(l * m.limiterGain * 32767.0f));
      out[2 * i + 1] = static_cast<std::int16_t>(std::lrint(r * m.limiterGain * 32767.0f));
    }
    out += 2 * n;
    frames -= n;
    m.now += n;
  }
}

}  // namespace varenko

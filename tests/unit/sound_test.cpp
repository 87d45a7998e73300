// The show's sound: events heard from their place (delay by distance at the speed of sound,
// loudness, side), a forced finale mixed from the seeded show without clipping and without
// changing the show, the same samples for the same seed, silence at volume 0, and the WAV file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "renderer/audio/sound_mix.h"
#include "renderer/audio/wav_file.h"
#include "renderer/host/saver_sound.h"
#include "renderer/host/settings.h"
#include "renderer/sim/burst_kinds.h"
#include "renderer/sim/random.h"
#include "renderer/sim/show.h"
#include "renderer/sim/sound_events.h"

namespace varenko {
namespace {

// A listener looking down -z: right is +x.
constexpr SoundListener Ahead = {{100.0f, 50.0f, -200.0f}, {1.0f, 0.0f, 0.0f}};

// A burst at (x, y, z) from the listener.
SoundEvent BurstAt(float x, float y, float z, unsigned kind, int stars) {
  const float* eye = Ahead.eye;
  return SoundEvent{SoundEventKind::Burst, kind, stars, {eye[0] + x, eye[1] + y, eye[2] + z}};
}

// `seconds` of the mix after the events, all heard at sample 0.
std::vector<std::int16_t> Mix(std::initializer_list<SoundEvent> events, float seconds,
                              int volume = 100) {
  SoundMixer m;
  StartMixer(m, 1, volume);
  for (const SoundEvent& e : events) HearEvent(m, e, Ahead);
  std::vector<std::int16_t> out(2 * static_cast<std::size_t>(seconds * SampleRate));
  MixSamples(m, out.data(), static_cast<int>(out.size() / 2));
  return out;
}

struct Heard {
  double onset;        // seconds to the first sample that is not silent
  double left, right;  // energy of each channel
};

Heard Listen(const std::vector<std::int16_t>& s) {
  Heard h = {-1.0, 0.0, 0.0};
  for (std::size_t i = 0; i < s.size(); i += 2) {
    if (h.onset < 0.0 && (s[i] != 0 || s[i + 1] != 0)) h.onset = double(i / 2) / SampleRate;
    h.left += double(s[i]) * s[i];
    h.right += double(s[i + 1]) * s[i + 1];
  }
  return h;
}

TEST(Sound, EachBurstIsHeardFromItsPlace) {
  const struct {
    float x, y, z;
    double delay;  // distance / SpeedOfSound
    int side;      // -1 left, 0 centre, 1 right
  } places[] = {
      {0.0f, 0.0f, -2400.0f, 1.0, 0},     // ahead, at the typical distance: a second late
      {1440.0f, 0.0f, -1920.0f, 1.0, 1},  // ahead and to the right, as far
      {-600.0f, 0.0f, -800.0f, 1000.0 / 2400.0, -1},
      {0.0f, 4800.0f, 0.0f, 2.0, 0},                   // straight up, twice as far
      {-3000.0f, 0.0f, 4000.0f, 5000.0 / 2400.0, -1},  // behind on the left
  };
  for (const auto& p : places) {
    const Heard h = Listen(Mix({BurstAt(p.x, p.y, p.z, BurstSphere, 175)}, 3.0f));
    EXPECT_NEAR(h.onset, p.delay, 0.001) << p.x << " " << p.y << " " << p.z;
    // The nearer channel carries more than twice the other's energy; in the centre both match.
    const int heardSide = h.right > 2.0 * h.left ? 1 : h.left > 2.0 * h.right ? -1 : 0;
    EXPECT_EQ(heardSide, p.side) << p.x << " " << p.z;
    EXPECT_TRUE(p.side != 0 || std::fabs(h.left / h.right - 1.0) < 0.01);
  }
}

TEST(Sound, EveryEventHasItsVoices) {
  using enum VoiceKind;
  const struct {
    SoundEvent event;
    std::vector<VoiceKind> voices;
    double after;  // seconds between the first voice and the last one's start
  } events[] = {
      {BurstAt(0, 0, -1000, BurstSphere, 175), {Boom}, 0.0},
      {BurstAt(0, 0, -1000, BurstCrackle, 250), {Boom, Crackle}, 2.5},
      {BurstAt(0, 0, -1000, BurstBees, 30), {Boom, Buzz}, 0.05},
      {BurstAt(0, 0, -1000, BurstSalute, 0), {Salute}, 0.0},
      {BurstAt(0, 0, -1000, BurstSwirlFinale, 0), {Boom, Pull}, 0.0},
      {BurstAt(0, 0, -1000, SmallEmbers, 10), {Pop}, 0.0},
      {SoundEvent{SoundEventKind::Blast, 0, 0, {0, 0, -1000}}, {Blast}, 0.0},
  };
  for (const auto& e : events) {
    SoundMixer m;
    StartMixer(m, 1, 100);
    HearEvent(m, e.event, Ahead);
    ASSERT_EQ(m.voiceCount, int(e.voices.size())) << e.event.burstKind;
    for (int i = 0; i < m.voiceCount; ++i) EXPECT_EQ(m.voices[i].kind, e.voices[i]);
    EXPECT_EQ(m.voices[m.voiceCount - 1].start - m.voices[0].start,
              std::llround(e.after * SampleRate));
  }
  // Launches: a thump each, and a whistle on about one in four, drawn by the sound's own
  // generator: the show's generator is left where it was.
  srand(99);
  SoundMixer m;
  StartMixer(m, 5, 100);
  int whistles = 0;
  for (int i = 0; i < 400; ++i) {
    m.voiceCount = 0;
    HearEvent(m, SoundEvent{SoundEventKind::Launch, 0, 0, {0, 5, -500}}, Ahead);
    EXPECT_EQ(m.voices[0].kind, Thump);
    whistles += m.voiceCount - 1;
  }
  EXPECT_NEAR(whistles, 100, 30);
  EXPECT_EQ(RandState(), (srand(99), RandState()));
}

TEST(Sound, CloserAndLargerBurstsAreLouder) {
  auto energy = [](const SoundEvent& e) {
    const Heard h = Listen(Mix({e}, 3.5f));
    return h.left + h.right;
  };
  const double near = energy(BurstAt(0, 0, -1000, BurstSphere, 175));
  const double far = energy(BurstAt(0, 0, -3000, BurstSphere, 175));
  const double large = energy(BurstAt(0, 0, -3000, BurstSphere, 225));
  const double small = energy(BurstAt(0, 0, -3000, BurstEmbers, 40));
  const double pop = energy(BurstAt(0, 0, -3000, SmallSphere, 30));
  EXPECT_GT(near, 4.0 * far);
  EXPECT_GT(large, far);
  EXPECT_GT(far, 1.5 * small);
  EXPECT_GT(small, pop);
  EXPECT_EQ(Listen(Mix({BurstAt(0, 0, -1000, BurstSalute, 0)}, 1.0f, 0)).left, 0.0);
}

// Every voice stays within a few times full scale before the limiter, and reports die away: the
// last quarter of each is far quieter than its first.
TEST(Sound, VoicesStayBoundedAndReportsDieAway) {
  using enum VoiceKind;
  for (VoiceKind kind : {Thump, Whistle, Boom, Pop, Salute, Crackle, Buzz, Pull, Blast}) {
    Voice v = MakeVoice(kind, 1.0f, 1.0f, 0, SoundPlace{0, 1.0f, 0.0f, 18000.0f}, 12345);
    std::vector<float> left(v.length, 0.0f), right(v.length, 0.0f);
    EXPECT_FALSE(RenderVoice(v, 0, left.data(), right.data(), v.length));
    double peak = 0.0, first = 0.0, last = 0.0;
    for (int i = 0; i < v.length; ++i) peak = std::max(peak, double(std::fabs(left[i])));
    for (int i = 0; i < v.length / 4; ++i) first += left[i] * left[i];
    for (int i = v.length * 3 / 4; i < v.length; ++i) last += left[i] * left[i];
    EXPECT_TRUE(peak > 0.05 && peak < 4.0) << int(kind) << " " << peak;  // false for NaN too
    const bool report =
        kind == Thump || kind == Boom || kind == Pop || kind == Salute || kind == Blast;
    EXPECT_TRUE(!report || last < 0.01 * first) << int(kind);
    // No voice stops with a click: its last millisecond is faint against its loudest.
    double tail = 0.0;
    for (int i = v.length - SampleRate / 1000; i < v.length; ++i)
      tail = std::max(tail, double(std::fabs(left[i])));
    EXPECT_LT(tail, 0.1 * peak) << int(kind);
  }
}

// The air takes the highs: the share of a sound's energy in its sample-to-sample changes falls
// with distance.
TEST(Sound, FartherBurstsAreDuller) {
  auto brightness = [](float distance) {
    const std::vector<std::int16_t> s = Mix({BurstAt(0, 0, -distance, BurstSalute, 0)}, 4.0f);
    double all = 0.0, changes = 0.0;
    for (std::size_t i = 2; i < s.size(); i += 2) {
      all += double(s[i]) * s[i];
      changes += double(s[i] - s[i - 2]) * (s[i] - s[i - 2]);
    }
    return changes / all;
  };
  const double near = brightness(800.0f), middle = brightness(2400.0f), far = brightness(5000.0f);
  EXPECT_GT(near, 1.5 * middle);
  EXPECT_GT(middle, 1.5 * far);
}

// The camera of the headless show is far off; this listener stands close under the finale.
constexpr SoundListener UnderTheFinale = {{300.0f, 600.0f, 500.0f}, {1.0f, 0.0f, 0.0f}};

// The seeded show of the hash test with either finale forced, its events heard frame by frame.
std::vector<std::int16_t> FinaleSound(int forced, int frames, std::uint64_t& hash, int& events) {
  ApplyDefaults();
  StartHeadlessShow(7, 0.05f, forced);
  SoundMixer m;
  StartMixer(m, 7, 100);
  soundEvents = SoundEventQueue{true, 0, {}};
  std::vector<std::int16_t> out;
  const int perFrame = SampleRate / 20;
  events = 0;
  for (int f = 0; f < frames; ++f) {
    StepSimulation();
    for (int i = 0; i < soundEvents.count; ++i) HearEvent(m, soundEvents.events[i], UnderTheFinale);
    events += soundEvents.count;
    soundEvents.count = 0;
    out.resize(out.size() + 2 * perFrame);
    MixSamples(m, out.data() + out.size() - 2 * perFrame, perFrame);
  }
  soundEvents.enabled = false;
  hash = ShowHash();
  return out;
}

TEST(Sound, AForcedFinaleNeverClipsNorChangesTheShow) {
  const struct {
    int forced;
    std::uint64_t hash;  // as the show hash test records it: no sound
  } finales[] = {{BurstGatherFinale, 0xd7ef56041903af18ULL}};
  for (const auto& f : finales) {
    std::uint64_t hash = 0, again = 0;
    int events = 0, eventsAgain = 0;
    const std::vector<std::int16_t> s = FinaleSound(f.forced, 500, hash, events);
    EXPECT_EQ(hash, f.hash);
    EXPECT_GT(events, 10);
    int peak = 0;
    for (std::int16_t v : s) peak = std::max(peak, std::abs(int(v)));
    EXPECT_LE(peak, int(LimiterCeiling * 32767.0f) + 1);
    EXPECT_GT(peak, int(0.6f * 32767.0f));  // loud enough that the limiter had work
    EXPECT_EQ(FinaleSound(f.forced, 500, again, eventsAgain), s);
  }
}

TEST(Sound, TheListenersRightAxisIsLevelAndTurnsWithTheView) {
  const float eye[3] = {10.0f, 50.0f, 10.0f};
  const struct {
    float target[3];
    float right[3];
  } views[] = {{{10, 50, 0}, {1, 0, 0}},    // looking down -z
               {{20, 80, 10}, {0, 0, 1}},   // along +x, tipped up
               {{10, 90, 10}, {0, 0, 0}}};  // straight up: no side
  for (const auto& v : views) {
    const SoundListener l = CameraListener(eye, v.target);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(l.right[i], v.right[i]) << i;
  }
}

TEST(Sound, TheWavFileHoldsEveryFrameWrittenLittleEndian) {
  const std::string path = ::testing::TempDir() + "varenko_sound_test.wav";
  WavFile w;
  ASSERT_TRUE(OpenWav(w, path.c_str()));
  std::vector<std::int16_t> s(2 * 1000, 0);
  s[0] = 0x1234;
  s[1] = -2;
  WriteWav(w, s.data(), 1000);
  ASSERT_TRUE(CloseWav(w));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char b[48] = {};
  ASSERT_EQ(std::fread(b, 1, 48, f), 48u);
  std::fseek(f, 0, SEEK_END);
  EXPECT_EQ(std::ftell(f), 44 + 4000);
  std::fclose(f);
  std::remove(path.c_str());
  auto u32 = [&b](int at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24; };
  EXPECT_EQ(std::string(reinterpret_cast<char*>(b), 4), "RIFF");
  EXPECT_EQ(u32(4), 36 + 4000);
  EXPECT_EQ(u32(24), 48000);
  EXPECT_EQ(b[22], 2);
  EXPECT_EQ(b[34], 16);
  EXPECT_EQ(u32(40), 4000);
  EXPECT_EQ(u32(44), 0xFFFE1234);
}

}  // namespace
}  // namespace varenko

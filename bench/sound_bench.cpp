// The mixer's cost: 10 ms of sound (one chunk of the playback thread) with every voice busy, the
// hearing of a burst (placement and voice set-up), and the frame loop's hand-over of events.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "renderer/audio/sound_mix.h"
#include "renderer/audio/sound_player.h"
#include "renderer/sim/burst_kinds.h"

namespace varenko {
namespace {

constexpr SoundListener Listener = {{0.0f, 400.0f, 2500.0f}, {1.0f, 0.0f, 0.0f}};

// A finale's worth of voices, all sounding from the first sample.
SoundMixer BusyMixer() {
  SoundMixer m;
  StartMixer(m, 3, 100);
  const unsigned kinds[] = {BurstSphere, BurstCrackle, BurstBees, BurstSalute, BurstGatherFinale};
  for (int i = 0; i < MaxVoices; ++i) {
    const SoundEvent e{SoundEventKind::Burst, kinds[i % 5], 175, {float(i * 10), 900.0f, 0.0f}};
    HearEvent(m, e, {{float(i * 10), 900.0f, 0.0f}, {1.0f, 0.0f, 0.0f}});
  }
  return m;
}

void MixTenMilliseconds(benchmark::State& state) {
  SoundMixer m = BusyMixer();
  std::vector<std::int16_t> out(2 * SampleRate / 100);
  for (auto _ : state) {
    if (m.voiceCount < MaxVoices / 2) m = BusyMixer();
    MixSamples(m, out.data(), SampleRate / 100);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["voices"] = m.voiceCount;
}
BENCHMARK(MixTenMilliseconds);

void HearABurst(benchmark::State& state) {
  SoundMixer m;
  StartMixer(m, 3, 100);
  const SoundEvent e{SoundEventKind::Burst, BurstSphere, 175, {100.0f, 900.0f, -50.0f}};
  for (auto _ : state) {
    m.voiceCount = 0;
    HearEvent(m, e, Listener);
    benchmark::DoNotOptimize(m.voices[0]);
  }
}
BENCHMARK(HearABurst);

// The frame loop's share of playback: handing a busy frame's 20 events to the audio thread.
void HandOverAFramesEvents(benchmark::State& state) {
  static SoundPlayer player;
  const SoundEvent e{SoundEventKind::Burst, BurstSphere, 175, {100.0f, 900.0f, -50.0f}};
  for (auto _ : state) {
    for (int i = 0; i < 20; ++i) PostHeardEvent(player, e, Listener);
    player.tail.store(player.head.load());  // as the audio thread takes them
  }
}
BENCHMARK(HandOverAFramesEvents);

}  // namespace
}  // namespace varenko

BENCHMARK_MAIN();

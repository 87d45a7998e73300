// The renderer's linear congruential generator and its uniform draws.
#include "renderer/sim/random.h"

namespace varenko {

namespace {
std::uint32_t state = 1;
}

void srand(std::uint32_t seed) { state = seed; }

int rand() {
  state = state * 214013u + 2531011u;  // unsigned arithmetic wraps modulo 2^32
  return static_cast<int>((state >> 16) & 0x7FFFu);
}

std::uint32_t RandState() { return state; }

float U(float a, float b) {
  const float factor = (b - a) / 32767.0f;
  return a + static_cast<float>(rand()) * factor;
}

int Q(int n) {
  // 64-bit product: n may come from a setting and must not overflow.
  return static_cast<int>((static_cast<std::int64_t>(rand()) * n) / RandMax);
}

}  // namespace varenko

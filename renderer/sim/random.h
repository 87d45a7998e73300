// The renderer's one pseudo-random generator: a 32-bit linear congruential generator whose results
// run 0..32767, and the two draws built on it. Every formula of the show scales by 32767, so the
// C library's rand (whose range differs between platforms) must never stand in for it.
//
// Each call is one draw. C++ leaves the order of evaluation of function arguments unspecified, so
// code that needs draws in a given order makes them in separate statements.
#pragma once

#include <cstdint>

namespace varenko {

inline constexpr int RandMax = 32767;

// Sets the generator's state.
void srand(std::uint32_t seed);

// state = state * 214013 + 2531011 (mod 2^32); returns (state >> 16) & 0x7FFF.
int rand();

// The generator's state, for tests and for saving a show's position.
std::uint32_t RandState();

// A float uniform on [a, b]: a + rand() * ((b - a) / 32767), the factor held in single precision.
float U(float a, float b);

// (rand() * n) / 32767 in integer arithmetic: 0..n-1 with equal weight, and n only when rand gives
// 32767. A negative n mirrors that range.
int Q(int n);

}  // namespace varenko

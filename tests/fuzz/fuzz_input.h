// Reads a fuzzer's bytes as a sequence of small values; past the end every read gives zero.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace varenko {

struct FuzzInput {
  const std::uint8_t* data;
  std::size_t size;

  std::uint8_t Byte() { return size == 0 ? 0 : (--size, *data++); }
  std::uint32_t Word() {
    std::uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w = w << 8 | Byte();
    return w;
  }
  std::string Text() {  // its length is the byte before it
    const std::size_t n = std::min<std::size_t>(Byte(), size);
    const std::string s(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return s;
  }
};

// A broken invariant aborts, so libFuzzer keeps the input that did it.
inline void Check(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "invariant broken: %s\n", what), std::abort();
}

}  // namespace varenko

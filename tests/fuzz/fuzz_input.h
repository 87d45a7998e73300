// Reads a fuzzer's bytes as a sequence of small values; past the end every read gives zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace varenko {

struct FuzzInput {
  const std::uint8_t* data;
  std::size_t size;

  bool Empty() const { return size == 0; }
  std::uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  std::uint32_t Word() {
    std::uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w = (w << 8) | Byte();
    return w;
  }
  // A text whose length is the next byte (at most `most`).
  std::string Text(std::size_t most = 255) {
    std::size_t n = Byte();
    n = n < most ? n : most;
    n = n < size ? n : size;
    std::string s(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return s;
  }
};

// A broken invariant: abort, so libFuzzer keeps the input that did it.
inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

}  // namespace varenko

// Pixel-format choice over arbitrary descriptors: the first of the best-scoring formats, or 0 when
// every score is 0.
#include <vector>

#include "renderer/host/pixel_format.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  FuzzInput in{data, size};
  std::vector<PixelFormatRecord> formats;
  while (in.size > 0 && formats.size() < 512)
    formats.push_back({in.Word(), in.Byte(), in.Byte(), in.Byte()});
  const int best = BestPixelFormat([&](int index, PixelFormatRecord& r) {
    Check(index >= 1, "format index below 1");
    if (index > static_cast<int>(formats.size())) return false;
    r = formats[static_cast<std::size_t>(index - 1)];
    return true;
  });
  int top = 0, topIndex = 0;
  for (std::size_t i = 0; i < formats.size(); ++i) {
    const int score = ScorePixelFormat(formats[i]);
    Check(score >= 0, "negative score");
    if (score > top) top = score, topIndex = static_cast<int>(i) + 1;
  }
  Check(best == topIndex, "not the first best-scoring format");
  return 0;
}

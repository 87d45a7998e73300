// The renderer's settings text: the atoi conversion against the C library's strtoll (saturated to
// int), then the whole input as a settings file.
#include <cerrno>
#include <climits>
#include <string>

#include "renderer/host/settings.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  const std::string text(reinterpret_cast<const char*>(data), size);
  errno = 0;
  long long expected = std::strtoll(text.c_str(), nullptr, 10);
  expected = expected < INT_MIN ? INT_MIN : expected > INT_MAX ? INT_MAX : expected;
  Check(SettingTextToInt(text) == expected, "SettingTextToInt differs from saturated strtoll");

  ApplyDefaults();
  ApplySettingsText(text);
  return 0;
}

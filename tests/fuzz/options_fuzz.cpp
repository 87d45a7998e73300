// The Linux renderer's command line: the input split at NUL bytes into arguments. Whatever it
// parses to must lie inside the option ranges the host relies on.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "renderer/host/options.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  std::vector<std::string> args = {"varenko"};
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (std::size_t end = 0; !rest.empty() && args.size() < 64; rest.remove_prefix(end + 1)) {
    end = std::min(rest.find('\0'), rest.size() - 1);
    args.emplace_back(rest.substr(0, rest[end] == '\0' ? end : end + 1));
  }
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);

  const ParseResult r = ParseOptions(static_cast<int>(args.size()), argv.data());
  Check(r.status != ParseStatus::Error || !r.error.empty(), "an error without its text");
  if (r.status == ParseStatus::Run) {
    const HostOptions& o = r.options;
    Check(!o.windowed || (o.windowWidth >= 1 && o.windowWidth <= MaxWindowSide &&
                          o.windowHeight >= 1 && o.windowHeight <= MaxWindowSide),
          "window size out of range");
    Check(!o.fixedStep || (o.fixedDt > 0.0f && o.fixedDt <= MaxFixedDt), "step out of range");
    Check(o.frames >= 0 && o.frames <= MaxFrames, "frame count out of range");
    Check(o.burstKind >= -1 && o.burstKind <= MaxForcedBurstKind, "burst kind out of range");
    for (int i = 0; i < SettingOptionCount; ++i) {
      const std::optional<int>& value = o.settingOverrides[i];
      Check(!SettingsTable[i].OnOff() || !value || *value == 0 || *value == 1,
            "an on/off setting other than 0 or 1");
    }
    if (!o.recordDir.empty()) RecordFramePath(o.recordDir, o.frames);
    ApplySettingOverrides(o);
  }
  std::uint32_t id = 0;
  if (args.size() > 1 && ParseWindowId(args[1], id)) Check(id != 0, "window id 0 accepted");
  return 0;
}

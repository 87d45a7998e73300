// Parsing of the Linux renderer's command line.
#include "renderer/host/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace varenko {

namespace {

// A whole decimal integer in [lo, hi]: no sign other than a leading '-', no spaces, no trailing
// text.
bool ParseInteger(std::string_view text, long long lo, long long hi, long long& out) {
  if (text.empty() || text.size() > 20) return false;
  std::size_t i = 0;
  const bool negative = text[0] == '-';
  if (negative) i = 1;
  if (i == text.size()) return false;
  unsigned long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > (1ULL << 62)) return false;  // far beyond every range asked for
  }
  const long long v = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
  if (v < lo || v > hi) return false;
  out = v;
  return true;
}

bool ParseSize(std::string_view text, int& width, int& height) {
  const std::size_t x = text.find('x');
  if (x == std::string_view::npos) return false;
  long long w = 0;
  long long h = 0;
  if (!ParseInteger(text.substr(0, x), 1, MaxWindowSide, w)) return false;
  if (!ParseInteger(text.substr(x + 1), 1, MaxWindowSide, h)) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool ParseSeconds(const char* text, float& out) {
  if (text[0] == '\0' || std::strlen(text) > 64) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (errno != 0 || end == text || *end != '\0') return false;
  if (!std::isfinite(v) || v <= 0.0 || v > MaxFixedDt) return false;  // also refuses nan
  out = static_cast<float>(v);
  return out > 0.0f;  // a step that rounds to zero would freeze the show
}

}  // namespace

ParseResult ParseOptions(int argc, const char* const* argv) {
  ParseResult r{ParseStatus::Run, HostOptions{}, std::string()};
  auto error = [&r](std::string text) {
    r.status = ParseStatus::Error;
    r.error = std::move(text);
    return r;
  };

  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i] != nullptr ? argv[i] : "";
    if (name == "--help" || name == "-h") {
      r.status = ParseStatus::Help;
      return r;
    }
    if (name == "--stats") {
      r.options.stats = true;
      continue;
    }
    if (name == "--draw-reference") {
      r.options.referenceDraw = true;
      continue;
    }
    const bool takesValue = name == "--window" || name == "--seed" || name == "--fixed-dt" ||
                            name == "--frames" || name == "--screenshot" || name == "--settings" ||
                            name == "--burst";
    if (!takesValue) return error("unknown option \"" + std::string(name.substr(0, 64)) + "\"");
    if (i + 1 >= argc || argv[i + 1] == nullptr) return error(std::string(name) + " needs a value");
    const char* value = argv[++i];
    const std::string_view v = value;
    const std::string shown = "\"" + std::string(v.substr(0, 64)) + "\"";

    if (name == "--window") {
      if (!ParseSize(v, r.options.windowWidth, r.options.windowHeight))
        return error("--window takes WIDTHxHEIGHT, each 1 to " + std::to_string(MaxWindowSide) +
                     ", not " + shown);
      r.options.windowed = true;
    } else if (name == "--seed") {
      long long seed = 0;
      if (!ParseInteger(v, 0, 4294967295LL, seed))
        return error("--seed takes a whole number 0 to 4294967295, not " + shown);
      r.options.seeded = true;
      r.options.seed = static_cast<std::uint32_t>(seed);
    } else if (name == "--fixed-dt") {
      if (!ParseSeconds(value, r.options.fixedDt))
        return error("--fixed-dt takes seconds above 0 and at most 60, not " + shown);
      r.options.fixedStep = true;
    } else if (name == "--frames") {
      if (!ParseInteger(v, 1, MaxFrames, r.options.frames))
        return error("--frames takes a whole number 1 to " + std::to_string(MaxFrames) + ", not " +
                     shown);
    } else if (name == "--screenshot") {
      if (v.empty()) return error("--screenshot needs a file name");
      r.options.screenshotPath = value;
    } else if (name == "--settings") {
      if (v.empty()) return error("--settings needs a file name");
      r.options.settingsPath = value;
    } else {  // --burst
      long long kind = 0;
      if (!ParseInteger(v, 0, MaxForcedBurstKind, kind))
        return error("--burst takes a burst kind 0 to " + std::to_string(MaxForcedBurstKind) +
                     ", not " + shown);
      r.options.burstKind = static_cast<int>(kind);
    }
  }
  return r;
}

const char* UsageText() {
  return "usage: varenko [options]\n"
         "Fireworks over a night sky, full screen until a key, a click or a mouse move.\n"
         "  --window WxH         a normal window of W x H pixels (closes on Escape)\n"
         "  --seed N             start the show from seed N instead of the clock\n"
         "  --fixed-dt SECONDS   advance every frame by this step instead of the clock\n"
         "  --frames N           exit after N frames\n"
         "  --screenshot FILE    write the last frame as a PNG picture\n"
         "  --settings FILE      read the settings from FILE\n"
         "  --stats              print frame statistics as one JSON line at exit\n"
         "  --burst K            every shell bursts as kind K (0 to 21)\n"
         "  --draw-reference     draw every sprite on its own (slow; for comparisons)\n"
         "  --help               show this text\n";
}

}  // namespace varenko

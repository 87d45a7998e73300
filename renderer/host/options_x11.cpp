// Parsing of the Linux renderer's command line.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "renderer/host/frame_pacing.h"
#include "renderer/host/options.h"
#include "renderer/host/settings.h"

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

// The options of the eight renderer settings, in key order ("00" to "07").
constexpr const char* SettingOptionNames[SettingOptionCount] = {
    "--max-shells", "--smoke-span", "--wind",   "--ambient",
    "--stars",      "--flare",      "--clouds", "--illumination"};
constexpr int FirstSwitchSetting = 6;  // --clouds and --illumination are on or off

int SettingOptionIndex(std::string_view name) {
  for (int i = 0; i < SettingOptionCount; ++i)
    if (name == SettingOptionNames[i]) return i;
  return -1;
}

// A settings value: a whole decimal number with an optional sign, read as the settings file reads
// its values (numbers past the int range saturate). Unlike the file, nothing else is accepted:
// a mistyped option should be an error, not a silent 0.
bool ParseSettingValue(std::string_view text, int& out) {
  if (text.empty() || text.size() > MaxSettingTextLength) return false;
  std::size_t i = text[0] == '+' || text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  out = SettingTextToInt(text);
  return true;
}

// XScreenSaver's hacks take their options with one dash ("-root"); both spellings are accepted.
std::string_view LongOptionName(std::string_view arg, std::string& storage) {
  if (arg.size() > 2 && arg[0] == '-' && arg[1] != '-' && !(arg[1] >= '0' && arg[1] <= '9')) {
    storage = "-" + std::string(arg);
    return storage;
  }
  return arg;
}

// One signed offset "+N" or "-N" of a monitor geometry.
bool ParseOffset(std::string_view text, int& out) {
  if (text.size() < 2 || (text[0] != '+' && text[0] != '-')) return false;
  long long v = 0;
  if (!ParseInteger(text.substr(1), 0, MaxWindowSide, v)) return false;
  out = static_cast<int>(text[0] == '-' ? -v : v);
  return true;
}

bool ParseMonitor(std::string_view text, MonitorRect& m) {
  const std::size_t sign = text.find_first_of("+-");
  if (sign == std::string_view::npos) return false;
  const std::size_t second = text.find_first_of("+-", sign + 1);
  if (second == std::string_view::npos) return false;
  return ParseSize(text.substr(0, sign), m.width, m.height) &&
         ParseOffset(text.substr(sign, second - sign), m.x) &&
         ParseOffset(text.substr(second), m.y);
}

}  // namespace

int EffectiveMaxFps(const HostOptions& o) {
  if (o.maxFps >= 0) return o.maxFps;
  return o.fixedStep ? 0 : -1;
}

bool ParseMonitorList(std::string_view text, std::vector<MonitorRect>& monitors) {
  monitors.clear();
  while (true) {
    const std::size_t comma = text.find(',');
    MonitorRect m{};
    if (static_cast<int>(monitors.size()) == MaxMonitors || !ParseMonitor(text.substr(0, comma), m))
      return false;
    monitors.push_back(m);
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

bool ParseWindowId(std::string_view text, std::uint32_t& id) {
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t value = 0;
  for (const char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9')
      digit = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = static_cast<unsigned>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = static_cast<unsigned>(c - 'A' + 10);
    else
      return false;
    value = value * base + digit;  // at most 10 digits: no overflow of 64 bits
  }
  if (value == 0 || value > 0xFFFFFFFFu) return false;
  id = static_cast<std::uint32_t>(value);
  return true;
}

void ApplySettingOverrides(const HostOptions& o) {
  for (int i = 0; i < SettingOptionCount; ++i) {
    const std::optional<int>& value = o.settingOverrides[i];
    if (value.has_value()) StoreSettingText(i, std::to_string(*value));
  }
}

std::string RecordFramePath(const std::string& dir, long long frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05lld.png", frame);
  std::string path = dir;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + name;
}

ParseResult ParseOptions(int argc, const char* const* argv) {
  ParseResult r{ParseStatus::Run, HostOptions{}, std::string()};
  auto error = [&r](std::string text) {
    r.status = ParseStatus::Error;
    r.error = std::move(text);
    return r;
  };

  for (int i = 1; i < argc; ++i) {
    std::string spelled;
    const std::string_view name = LongOptionName(argv[i] != nullptr ? argv[i] : "", spelled);
    if (name == "--help" || name == "-h") {
      r.status = ParseStatus::Help;
      return r;
    }
    if (name == "--version") {
      r.status = ParseStatus::Version;
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
    if (name == "--root") {
      r.options.root = true;
      continue;
    }
    if (name == "--fps") {
      r.options.showFps = true;
      continue;
    }
    const int setting = SettingOptionIndex(name);
    const bool takesValue = name == "--window" || name == "--seed" || name == "--fixed-dt" ||
                            name == "--frames" || name == "--screenshot" || name == "--settings" ||
                            name == "--burst" || name == "--window-id" || name == "--record" ||
                            name == "--max-fps" || name == "--power-supply" ||
                            name == "--monitors" || setting >= 0;
    if (!takesValue) return error("unknown option \"" + std::string(name.substr(0, 64)) + "\"");
    if (i + 1 >= argc || argv[i + 1] == nullptr) return error(std::string(name) + " needs a value");
    const char* value = argv[++i];
    const std::string_view v = value;
    const std::string shown = "\"" + std::string(v.substr(0, 64)) + "\"";

    if (setting >= FirstSwitchSetting) {
      if (v != "0" && v != "1") return error(std::string(name) + " takes 0 or 1, not " + shown);
      r.options.settingOverrides[setting] = v == "1" ? 1 : 0;
    } else if (setting >= 0) {
      int number = 0;
      if (!ParseSettingValue(v, number))
        return error(std::string(name) + " takes a whole number, not " + shown);
      r.options.settingOverrides[setting] = number;
    } else if (name == "--window-id") {
      if (!ParseWindowId(v, r.options.windowId))
        return error("--window-id takes a window id (0x hexadecimal or decimal), not " + shown);
    } else if (name == "--max-fps") {
      long long fps = 0;
      if (!ParseInteger(v, 0, MaxFpsLimit, fps))
        return error("--max-fps takes a whole number 0 to " + std::to_string(MaxFpsLimit) +
                     ", not " + shown);
      r.options.maxFps = static_cast<int>(fps);
    } else if (name == "--power-supply") {
      if (v.empty()) return error("--power-supply needs a folder name");
      r.options.powerSupplyDir = value;
    } else if (name == "--monitors") {
      if (!ParseMonitorList(v, r.options.monitors))
        return error("--monitors takes WxH+X+Y,... (1 to " + std::to_string(MaxMonitors) +
                     " monitors), not " + shown);
    } else if (name == "--record") {
      if (v.empty()) return error("--record needs a folder name");
      r.options.recordDir = value;
    } else if (name == "--window") {
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

  const HostOptions& o = r.options;
  if (static_cast<int>(o.windowed) + static_cast<int>(o.root) + static_cast<int>(o.windowId != 0) >
      1)
    return error("choose one of --window, --root and --window-id");
  // A recording is a fixed number of frames at a fixed step, so that the pictures are the same on
  // every machine whatever its speed.
  if (!o.recordDir.empty() && (o.frames == 0 || !o.fixedStep))
    return error("--record needs --frames N and --fixed-dt SECONDS");
  return r;
}

const char* UsageText() {
  return "usage: varenko [options]\n"
         "Fireworks over a night sky, full screen until a key, a click or a mouse move.\n"
         "  --window WxH         a normal window of W x H pixels (closes on Escape)\n"
         "  --root               draw on $XSCREENSAVER_WINDOW, else on the root window\n"
         "  --window-id ID       draw into window ID (0x hexadecimal or decimal)\n"
         "                       (with --root or --window-id the program ends on SIGTERM or\n"
         "                       when the window is destroyed, never on input)\n"
         "  --seed N             start the show from seed N instead of the clock\n"
         "  --fixed-dt SECONDS   advance every frame by this step instead of the clock\n"
         "  --frames N           exit after N frames\n"
         "  --screenshot FILE    write the last frame as a PNG picture\n"
         "  --settings FILE      read the settings from FILE\n"
         "  --record DIR         write every frame as DIR/frame-00001.png ... (creates DIR;\n"
         "                       needs --frames and --fixed-dt)\n"
         "  --stats              print frame statistics as one JSON line at exit\n"
         "  --burst K            every shell bursts as kind K (0 to 21)\n"
         "  --draw-reference     draw every sprite on its own (slow; for comparisons)\n"
         "  --max-fps N          at most N frames a second (0: as fast as possible); without\n"
         "                       it frames follow the display's refresh (60 a second when\n"
         "                       unknown), or run as fast as possible with --fixed-dt; on\n"
         "                       battery power the rate is halved\n"
         "  --fps                show the frame rate in the lower-left corner\n"
         "  --power-supply DIR   read the power source from DIR\n"
         "                       (default /sys/class/power_supply)\n"
         "  --monitors WxH+X+Y,...  lay the picture over these monitors instead of those\n"
         "                       the X server reports (full screen only)\n"
         "Settings, overriding the settings file:\n"
         "  --max-shells N       shells in the air at once (1 to 30; 0 launches none)\n"
         "  --smoke-span N       longest life of a smoke puff in seconds (0 to 30; 0: no smoke)\n"
         "  --wind N             wind speed (0 to 100)\n"
         "  --ambient N          brightness of smoke and clouds in hundredths (0 to 30)\n"
         "  --stars N            stars in the sky, 20 per unit (0 to 100)\n"
         "  --flare N            lens-flare brightness (0 to 100; 0: no flare)\n"
         "  --clouds 0|1         cloudy sky\n"
         "  --illumination 0|1   bursts light up smoke and clouds\n"
         "  --help               show this text\n"
         "  --version            show the version\n"
         "Options may also be written with one dash, as in -root.\n";
}

}  // namespace varenko

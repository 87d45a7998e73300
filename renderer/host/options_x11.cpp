// Parsing of the Linux renderer's command line: the option rows, from which --help is made too.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <utility>

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

bool ParseSeconds(std::string_view view, float& out) {
  if (view.empty() || view.size() > 64) return false;
  const std::string text(view);
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || end == text.c_str() || *end != '\0') return false;
  if (!std::isfinite(v) || v <= 0.0 || v > MaxFixedDt) return false;  // also refuses nan
  out = static_cast<float>(v);
  return out > 0.0f;  // a step that rounds to zero would freeze the show
}

int SettingOptionIndex(std::string_view name) {
  for (int i = 0; i < SettingOptionCount; ++i)
    if (name == SettingsTable[i].option) return i;
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

namespace {

// --- The option rows ---------------------------------------------------------------------------

template <bool HostOptions::*Field>
bool SetFlag(const OptionRow&, std::string_view, HostOptions& o) {
  o.*Field = true;
  return true;
}

template <std::string HostOptions::*Field>
bool SetName(const OptionRow&, std::string_view value, HostOptions& o) {
  if (value.empty()) return false;
  o.*Field = value;
  return true;
}

template <auto Field>
bool SetNumber(const OptionRow& row, std::string_view value, HostOptions& o) {
  long long number = 0;
  if (!ParseInteger(value, row.low, row.high, number)) return false;
  o.*Field = static_cast<std::remove_reference_t<decltype(o.*Field)>>(number);
  return true;
}

bool SetWindow(const OptionRow&, std::string_view value, HostOptions& o) {
  o.windowed = true;
  return ParseSize(value, o.windowWidth, o.windowHeight);
}

bool SetWindowId(const OptionRow&, std::string_view value, HostOptions& o) {
  return ParseWindowId(value, o.windowId);
}

bool SetSeed(const OptionRow& row, std::string_view value, HostOptions& o) {
  o.seeded = true;
  return SetNumber<&HostOptions::seed>(row, value, o);
}

bool SetFixedDt(const OptionRow&, std::string_view value, HostOptions& o) {
  o.fixedStep = true;
  return ParseSeconds(value, o.fixedDt);
}

bool SetMonitors(const OptionRow&, std::string_view value, HostOptions& o) {
  return ParseMonitorList(value, o.monitors);
}

constexpr bool (*NoValue)(const OptionRow&, std::string_view, HostOptions&) = nullptr;

// In the order --help lists them; the rows that end the parse come after the settings.
// clang-format off
constexpr OptionRow Rows[] = {
    {"--window", "WxH", "a normal window of W x H pixels (closes on Escape)",
     "takes WIDTHxHEIGHT, each {lo} to {hi}", 1, MaxWindowSide, SetWindow},
    {"--root", nullptr, "draw on $XSCREENSAVER_WINDOW, else on the root window", "", 0, 0,
     SetFlag<&HostOptions::root>},
    {"--window-id", "ID", "draw into window ID (0x hexadecimal or decimal)\n"
     "(with --root or --window-id the program ends on SIGTERM or\n"
     "when the window is destroyed, never on input)",
     "takes a window id (0x hexadecimal or decimal)", 1, 0xFFFFFFFFLL, SetWindowId},
    {"--seed", "N", "start the show from seed N instead of the clock",
     "takes a whole number {lo} to {hi}", 0, 4294967295LL, SetSeed},
    {"--fixed-dt", "SECONDS", "advance every frame by this step instead of the clock",
     "takes seconds above 0 and at most {hi}", 0, static_cast<long long>(MaxFixedDt), SetFixedDt},
    {"--frames", "N", "exit after N frames", "takes a whole number {lo} to {hi}", 1, MaxFrames,
     SetNumber<&HostOptions::frames>},
    {"--screenshot", "FILE", "write the last frame as a PNG picture", "needs a file name", 0, 0,
     SetName<&HostOptions::screenshotPath>},
    {"--settings", "FILE", "read the settings from FILE", "needs a file name", 0, 0,
     SetName<&HostOptions::settingsPath>},
    {"--record", "DIR", "write every frame as DIR/frame-00001.png ... (creates DIR;\n"
     "needs --frames and --fixed-dt)", "needs a folder name", 0, 0,
     SetName<&HostOptions::recordDir>},
    {"--record-audio", "FILE", "write the show's sound as heard as a 48 kHz stereo WAV\n"
     "file, frames x step long (needs --frames and --fixed-dt)", "needs a file name", 0, 0,
     SetName<&HostOptions::recordAudioPath>},
    {"--stats", nullptr, "print frame statistics as one JSON line at exit", "", 0, 0,
     SetFlag<&HostOptions::stats>},
    {"--burst", "K", "every shell bursts as kind K ({lo} to {hi})",
     "takes a burst kind {lo} to {hi}", 0, MaxForcedBurstKind, SetNumber<&HostOptions::burstKind>},
    {"--draw-reference", nullptr, "draw every sprite on its own (slow; for comparisons)", "", 0, 0,
     SetFlag<&HostOptions::referenceDraw>},
    {"--sky-reference", nullptr, "draw the sky the plain way (slower; for comparisons)", "", 0, 0,
     SetFlag<&HostOptions::referenceSky>},
    {"--max-fps", "N", "at most N frames a second (0: as fast as possible); without\n"
     "it frames follow the display's refresh (60 a second when\n"
     "unknown), or run as fast as possible with --fixed-dt; on\n"
     "battery power the rate is halved",
     "takes a whole number {lo} to {hi}", 0, MaxFpsLimit, SetNumber<&HostOptions::maxFps>},
    {"--fps", nullptr, "show the frame rate in the lower-left corner", "", 0, 0,
     SetFlag<&HostOptions::showFps>},
    {"--power-supply", "DIR", "read the power source from DIR\n(default /sys/class/power_supply)",
     "needs a folder name", 0, 0, SetName<&HostOptions::powerSupplyDir>},
    {"--monitors", "WxH+X+Y,...", "lay the picture over these monitors instead of those\n"
     "the X server reports (full screen only)",
     "takes WxH+X+Y,... ({lo} to {hi} monitors)", 1, MaxMonitors, SetMonitors},
    {"--help", nullptr, "show this text", "", 0, 0, NoValue, ParseStatus::Help},
    {"--version", nullptr, "show the version", "", 0, 0, NoValue, ParseStatus::Version},
};
// clang-format on

const OptionRow* FindRow(std::string_view name) {
  for (const OptionRow& row : Rows)
    if (name == row.name) return &row;
  return nullptr;
}

// The one-line errors that belong to no single option.
constexpr char UnknownOption[] = "unknown option ";
constexpr char NeedsAValue[] = " needs a value";
constexpr char OneWindowOnly[] = "choose one of --window, --root and --window-id";
constexpr char RecordNeedsSteps[] = "--record needs --frames N and --fixed-dt SECONDS";
constexpr char RecordAudioNeedsSteps[] = "--record-audio needs --frames N and --fixed-dt SECONDS";

// A row's text with "{lo}" and "{hi}" written out.
std::string FillRange(const OptionRow& row, std::string_view text) {
  std::string out(text);
  for (const auto& [mark, number] : {std::pair{"{lo}", row.low}, std::pair{"{hi}", row.high}})
    for (std::size_t at = out.find(mark); at != std::string::npos; at = out.find(mark))
      out.replace(at, 4, std::to_string(number));
  return out;
}

// A value as an error shows it: quoted, at most 64 characters.
std::string Shown(std::string_view value) { return "\"" + std::string(value.substr(0, 64)) + "\""; }

std::string Refusal(const OptionRow& row, std::string_view value) {
  std::string text = std::string(row.name) + " " + FillRange(row, row.refusal);
  if (std::string_view(row.refusal).starts_with("takes")) text += ", not " + Shown(value);
  return text;
}

// A setting's option: its value read as the settings file reads it, or 0 or 1 for an on/off one.
bool SetSetting(int index, std::string_view value, HostOptions& o) {
  int number = 0;
  if (SettingsTable[index].OnOff()) {
    if (value != "0" && value != "1") return false;
    number = value == "1" ? 1 : 0;
  } else if (!ParseSettingValue(value, number)) {
    return false;
  }
  o.settingOverrides[index] = number;
  return true;
}

std::string SettingRefusal(int index, std::string_view value) {
  return std::string(SettingsTable[index].option) +
         (SettingsTable[index].OnOff() ? " takes 0 or 1, not " : " takes a whole number, not ") +
         Shown(value);
}

// The checks of options that go together.
const char* CombinationError(const HostOptions& o) {
  if (static_cast<int>(o.windowed) + static_cast<int>(o.root) + static_cast<int>(o.windowId != 0) >
      1)
    return OneWindowOnly;
  // A recording is a fixed number of frames at a fixed step, so that the pictures are the same on
  // every machine whatever its speed.
  if (!o.recordDir.empty() && (o.frames == 0 || !o.fixedStep)) return RecordNeedsSteps;
  if (!o.recordAudioPath.empty() && (o.frames == 0 || !o.fixedStep)) return RecordAudioNeedsSteps;
  return nullptr;
}

// "  --name VALUE" padded to the help column, then the help, its further lines indented.
void AppendUsage(std::string& out, std::string_view name, const char* value,
                 std::string_view help) {
  constexpr std::size_t HelpColumn = 23;
  std::string head = "  " + std::string(name) + (value ? " " + std::string(value) : "");
  head += head.size() < HelpColumn ? std::string(HelpColumn - head.size(), ' ') : "  ";
  for (std::size_t eol = 0; eol != std::string_view::npos; help.remove_prefix(eol + 1)) {
    eol = help.find('\n');
    out += head + std::string(help.substr(0, eol)) + "\n";
    head.assign(HelpColumn, ' ');
  }
}

std::string MakeUsage() {
  std::string out =
      "usage: varenko [options]\n"
      "Fireworks over a night sky, full screen until a key, a click or a mouse move.\n";
  for (const OptionRow& row : Rows)
    if (row.ends == ParseStatus::Run)
      AppendUsage(out, row.name, row.value, FillRange(row, row.help));
  out += "Settings, overriding the settings file:\n";
  for (const SettingRow& s : SettingsTable) {
    std::string help = s.help;
    if (!s.OnOff()) {
      help += " (" + std::to_string(s.minimum) + " to " + std::to_string(s.maximum);
      help += s.note[0] != '\0' ? "; " + std::string(s.note) + ")" : ")";
    }
    AppendUsage(out, s.option, s.OnOff() ? "0|1" : "N", help);
  }
  for (const OptionRow& row : Rows)
    if (row.ends != ParseStatus::Run) AppendUsage(out, row.name, row.value, row.help);
  return out + "Options may also be written with one dash, as in -root.\n";
}

}  // namespace

std::span<const OptionRow> OptionRows() { return Rows; }

ParseResult ParseOptions(int argc, const char* const* argv) {
  ParseResult r{ParseStatus::Run, HostOptions{}, std::string()};
  auto refuse = [&r](std::string text) {
    r.status = ParseStatus::Error;
    r.error = std::move(text);
    return r;
  };
  for (int i = 1; i < argc; ++i) {
    std::string spelled;
    std::string_view name = LongOptionName(argv[i] != nullptr ? argv[i] : "", spelled);
    if (name == "-h") name = "--help";
    const OptionRow* row = FindRow(name);
    const int setting = SettingOptionIndex(name);
    if (row == nullptr && setting < 0) return refuse(UnknownOption + Shown(name));
    if (row != nullptr && row->ends != ParseStatus::Run) {
      r.status = row->ends;
      return r;
    }
    if (row != nullptr && row->value == nullptr) {
      row->set(*row, {}, r.options);
      continue;
    }
    if (i + 1 >= argc || argv[i + 1] == nullptr) return refuse(std::string(name) + NeedsAValue);
    const std::string_view value = argv[++i];
    if (row != nullptr ? !row->set(*row, value, r.options) : !SetSetting(setting, value, r.options))
      return refuse(row != nullptr ? Refusal(*row, value) : SettingRefusal(setting, value));
  }
  if (const char* error = CombinationError(r.options)) return refuse(error);
  return r;
}

const char* UsageText() {
  static const std::string text = MakeUsage();
  return text.c_str();
}

}  // namespace varenko

// The Linux renderer's command line: the options, their checks and their one-line error texts.
// Every value is outside input, so each is parsed completely and range-checked before use.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/settings_table.h"
#include "renderer/host/monitor_layout.h"
#include "renderer/sim/burst_kinds.h"

namespace varenko {

inline constexpr int MaxWindowSide = 16384;  // beyond what any OpenGL viewport accepts
inline constexpr long long MaxFrames = 1000000000;
inline constexpr double MaxFixedDt = 60.0;  // seconds
// The burst kinds a shell can be given: every named kind.
inline constexpr int MaxForcedBurstKind = static_cast<int>(BurstKindCount) - 1;

// One option per row of the settings table (common/settings_table.h), in key order.
inline constexpr int SettingOptionCount = RendererSettingCount;

enum class ParseStatus { Run, Help, Version, Error };

struct HostOptions {
  bool windowed = false;  // --window WxH: a normal window instead of the full-screen saver
  int windowWidth = 0;
  int windowHeight = 0;
  // --root / --window-id ID: draw into a window another program made (a screen-saver host).
  // The renderer then grabs nothing, closes on no input and follows the window's size.
  bool root = false;           // $XSCREENSAVER_WINDOW when set, else the root window
  std::uint32_t windowId = 0;  // nonzero: --window-id
  bool seeded = false;         // --seed N: the generator starts from N instead of the clock
  std::uint32_t seed = 0;
  bool fixedStep = false;  // --fixed-dt S: every frame steps S seconds
  float fixedDt = 0.0f;
  long long frames = 0;         // --frames N: exit after N frames; 0 runs until closed
  std::string screenshotPath;   // --screenshot FILE.png: the last frame as PNG
  std::string settingsPath;     // --settings FILE
  bool stats = false;           // --stats: one JSON line at exit
  int burstKind = -1;           // --burst K: every shell bursts as kind K
  bool referenceDraw = false;   // --draw-reference: draw each sprite on its own (slow reference)
  bool referenceSky = false;    // --sky-reference: draw the sky the plain, slower way
  std::string recordDir;        // --record DIR: every frame as DIR/frame-NNNNN.png
  std::string recordAudioPath;  // --record-audio FILE.wav: the show's sound, in step with frames
  // --max-shells ... --illumination: values that override the settings file, in key order.
  std::optional<int> settingOverrides[SettingOptionCount];
  // --max-fps N: at most N frames a second; 0 draws back to back; -1 (not given) follows the
  // display, except in a fixed-step run, which draws back to back.
  int maxFps = -1;
  bool showFps = false;  // --fps (-fps): a frame-rate readout in the picture's lower-left corner
  std::string powerSupplyDir = "/sys/class/power_supply";  // --power-supply DIR
  std::vector<MonitorRect> monitors;  // --monitors: instead of the monitors the X server reports
  bool help = false;

  bool embedded() const { return root || windowId != 0; }
};

struct ParseResult {
  ParseStatus status;
  HostOptions options;
  std::string error;  // one line, without the program name, when status is Error
};

// One option of the command line apart from the settings, whose options come from the settings
// table. --help is made from these rows, and the parser looks every option up in them.
struct OptionRow {
  const char* name;   // "--seed"; also accepted with one dash
  const char* value;  // the value's name in --help ("N"); nullptr: the option takes no value
  const char* help;   // --help text; each '\n' goes on to an indented line
  // The error after the option's name: "takes ..." is followed by ", not \"VALUE\"", anything else
  // ("needs a file name", for an empty value) stands alone. In this text and the help, "{lo}" and
  // "{hi}" stand for low and high.
  const char* refusal;
  long long low, high;  // the range of a number
  // Reads the value into the options; false refuses it (with the row's error).
  bool (*set)(const OptionRow& row, std::string_view value, HostOptions& options);
  ParseStatus ends = ParseStatus::Run;  // --help and --version end the parse there
};

std::span<const OptionRow> OptionRows();

ParseResult ParseOptions(int argc, const char* const* argv);

// A window id as X tools print it: hexadecimal after "0x", else decimal; 1 to 0xFFFFFFFF.
bool ParseWindowId(std::string_view text, std::uint32_t& id);

// The frame-rate limit the run uses: --max-fps when given, else 0 for a fixed-step run and -1
// (the display's pace) for a run on the clock.
int EffectiveMaxFps(const HostOptions& options);

// A list of monitors "WxH+X+Y,WxH+X+Y,...": 1 to MaxMonitors of them, sides 1 to MaxWindowSide,
// offsets -MaxWindowSide to MaxWindowSide.
bool ParseMonitorList(std::string_view text, std::vector<MonitorRect>& monitors);

// Stores the settings given on the command line over those read from the settings file.
void ApplySettingOverrides(const HostOptions& options);

// DIR/frame-00001.png for frame 1, widening past 99999.
std::string RecordFramePath(const std::string& dir, long long frame);

// The --help text: the option rows, the settings table's options, then --help and --version.
const char* UsageText();

}  // namespace varenko

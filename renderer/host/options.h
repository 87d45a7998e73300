// The Linux renderer's command line: the options, their checks and their one-line error texts.
// Every value is outside input, so each is parsed completely and range-checked before use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "renderer/host/monitor_layout.h"

namespace varenko {

inline constexpr int MaxWindowSide = 16384;  // beyond what any OpenGL viewport accepts
inline constexpr long long MaxFrames = 1000000000;
inline constexpr double MaxFixedDt = 60.0;     // seconds
inline constexpr int MaxForcedBurstKind = 21;  // the burst kinds a shell can be given

inline constexpr int SettingOptionCount = 8;  // one option per renderer setting, in key order

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
  long long frames = 0;        // --frames N: exit after N frames; 0 runs until closed
  std::string screenshotPath;  // --screenshot FILE.png: the last frame as PNG
  std::string settingsPath;    // --settings FILE
  bool stats = false;          // --stats: one JSON line at exit
  int burstKind = -1;          // --burst K: every shell bursts as kind K
  bool referenceDraw = false;  // --draw-reference: draw each sprite on its own (slow reference)
  std::string recordDir;       // --record DIR: every frame as DIR/frame-NNNNN.png
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

enum class ParseStatus { Run, Help, Version, Error };

struct ParseResult {
  ParseStatus status;
  HostOptions options;
  std::string error;  // one line, without the program name, when status is Error
};

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

// The --help text.
const char* UsageText();

}  // namespace varenko

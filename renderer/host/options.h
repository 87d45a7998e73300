// The Linux renderer's command line: the options, their checks and their one-line error texts.
// Every value is outside input, so each is parsed completely and range-checked before use.
#pragma once

#include <cstdint>
#include <string>

namespace varenko {

inline constexpr int MaxWindowSide = 16384;  // beyond what any OpenGL viewport accepts
inline constexpr long long MaxFrames = 1000000000;
inline constexpr double MaxFixedDt = 60.0;     // seconds
inline constexpr int MaxForcedBurstKind = 21;  // the burst kinds a shell can be given

struct HostOptions {
  bool windowed = false;  // --window WxH: a normal window instead of the full-screen saver
  int windowWidth = 0;
  int windowHeight = 0;
  bool seeded = false;  // --seed N: the generator starts from N instead of the clock
  std::uint32_t seed = 0;
  bool fixedStep = false;  // --fixed-dt S: every frame steps S seconds
  float fixedDt = 0.0f;
  long long frames = 0;        // --frames N: exit after N frames; 0 runs until closed
  std::string screenshotPath;  // --screenshot FILE.png: the last frame as PNG
  std::string settingsPath;    // --settings FILE
  bool stats = false;          // --stats: one JSON line at exit
  int burstKind = -1;          // --burst K: every shell bursts as kind K
  bool referenceDraw = false;  // --draw-reference: draw each sprite on its own (slow reference)
  bool help = false;
};

enum class ParseStatus { Run, Help, Error };

struct ParseResult {
  ParseStatus status;
  HostOptions options;
  std::string error;  // one line, without the program name, when status is Error
};

ParseResult ParseOptions(int argc, const char* const* argv);

// The --help text.
const char* UsageText();

}  // namespace varenko

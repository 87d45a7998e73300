// Choice of the OpenGL pixel format by score: the scoring over descriptor records, kept apart from
// the driver so that every rule can be checked without one.
#pragma once

#include <cstdint>
#include <functional>

namespace varenko {

// The descriptor fields the scoring reads, with the Win32 flag values.
struct PixelFormatRecord {
  std::uint32_t dwFlags;
  std::uint8_t iPixelType;
  std::uint8_t cColorBits;
  std::uint8_t cDepthBits;
};

inline constexpr std::uint32_t PfdDoubleBuffer = 0x1;
inline constexpr std::uint32_t PfdDrawToWindow = 0x4;
inline constexpr std::uint32_t PfdSupportOpenGL = 0x20;
inline constexpr std::uint32_t PfdGenericFormat = 0x40;
inline constexpr std::uint32_t PfdGenericAccelerated = 0x1000;
inline constexpr std::uint8_t PfdTypeRgba = 0;

// Flags of the descriptor asked for when no format qualifies: window, OpenGL, double buffer.
inline constexpr std::uint32_t FallbackPixelFormatFlags =
    PfdDrawToWindow | PfdSupportOpenGL | PfdDoubleBuffer;
inline constexpr std::uint8_t FallbackColorBits = 24;
inline constexpr std::uint8_t FallbackDepthBits = 24;

// Score of a format, or 0 when it is not a double-buffered RGBA OpenGL window format. Hardware
// formats outrank accelerated generic ones, which outrank plain software ones; colour beyond 16
// bits counts half.
int ScorePixelFormat(const PixelFormatRecord& f);

// describe(index, record) fills the record of format `index` (1, 2, ...) and returns false past
// the last one. Returns the index of the best-scoring format (the lowest index among equals), or
// 0 when none qualifies. Stops after maxFormats whatever describe answers, so a driver that never
// says "no more" cannot hang the start.
inline constexpr int MaxPixelFormats = 100000;
int BestPixelFormat(const std::function<bool(int, PixelFormatRecord&)>& describe,
                    int maxFormats = MaxPixelFormats);

}  // namespace varenko

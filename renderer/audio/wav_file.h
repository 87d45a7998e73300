// A 48 kHz 16-bit stereo WAV file written as the show goes: the header first with the sizes left
// open, the samples, and the sizes filled in at the end.
#pragma once

#include <cstdint>
#include <cstdio>

namespace varenko {

struct WavFile {
  std::FILE* file = nullptr;
  long long frames = 0;  // stereo frames written
  bool failed = false;   // a write failed: the file is incomplete
};

// Creates the file (replacing one there); false when it cannot.
bool OpenWav(WavFile& w, const char* path);
// Appends interleaved stereo frames, little-endian whatever the machine.
void WriteWav(WavFile& w, const std::int16_t* samples, int frames);
// Fills in the sizes and closes; false when anything failed.
bool CloseWav(WavFile& w);

}  // namespace varenko

// The WAV file of record mode.
#include "renderer/audio/wav_file.h"

#include <cstring>

#include "renderer/audio/sound_mix.h"

namespace varenko {

namespace {

constexpr int HeaderBytes = 44;
// A RIFF file counts its size in 32 bits.
constexpr long long MaxDataBytes = 0xFFFFFFFFLL - HeaderBytes;

void Put32(unsigned char* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

void Put16(unsigned char* at, std::uint16_t v) {
  at[0] = static_cast<unsigned char>(v);
  at[1] = static_cast<unsigned char>(v >> 8);
}

void Header(unsigned char* h, std::uint32_t dataBytes) {
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, dataBytes + HeaderBytes - 8);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, 1);  // PCM
  Put16(h + 22, 2);
  Put32(h + 24, SampleRate);
  Put32(h + 28, SampleRate * 4);
  Put16(h + 32, 4);
  Put16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, dataBytes);
}

}  // namespace

bool OpenWav(WavFile& w, const char* path) {
  w = WavFile{};
  w.file = std::fopen(path, "wb");
  if (w.file == nullptr) return false;
  unsigned char h[HeaderBytes];
  Header(h, 0);
  w.failed = std::fwrite(h, 1, HeaderBytes, w.file) != HeaderBytes;
  return true;
}

void WriteWav(WavFile& w, const std::int16_t* samples, int frames) {
  if (w.file == nullptr || w.failed || frames <= 0) return;
  if ((w.frames + frames) * 4 > MaxDataBytes) {
    w.failed = true;
    return;
  }
  unsigned char bytes[4 * 256];
  for (int done = 0; done < frames && !w.failed;) {
    const int n = frames - done < 256 ? frames - done : 256;
    for (int i = 0; i < 2 * n; ++i)
      Put16(bytes + 2 * i, static_cast<std::uint16_t>(samples[2 * done + i]));
    w.failed =
        std::fwrite(bytes, 4, static_cast<std::size_t>(n), w.file) != static_cast<std::size_t>(n);
    done += n;
  }
  w.frames += frames;
}

bool CloseWav(WavFile& w) {
  if (w.file == nullptr) return false;
  unsigned char h[HeaderBytes];
  Header(h, static_cast<std::uint32_t>(w.frames * 4));
  if (!w.failed)
    w.failed = std::fseek(w.file, 0, SEEK_SET) != 0 ||
               std::fwrite(h, 1, HeaderBytes, w.file) != HeaderBytes;
  if (std::fclose(w.file) != 0) w.failed = true;
  w.file = nullptr;
  return !w.failed;
}

}  // namespace varenko

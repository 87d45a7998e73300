// The pictures linked into the renderer: five smoke puffs and the cloud field, made by
// tools/make_renderer_pictures.py and embedded at build time.
#include "renderer/scene/pictures.h"

#include <cstring>

extern "C" {
extern const unsigned char varenko_smoke0[], varenko_smoke0_end[];
extern const unsigned char varenko_smoke1[], varenko_smoke1_end[];
extern const unsigned char varenko_smoke2[], varenko_smoke2_end[];
extern const unsigned char varenko_smoke3[], varenko_smoke3_end[];
extern const unsigned char varenko_smoke4[], varenko_smoke4_end[];
extern const unsigned char varenko_clouds[], varenko_clouds_end[];
}

namespace varenko {

namespace {

constexpr const char* SmokeHeader = "P5\n64 64\n255\n";
constexpr const char* CloudHeader =
    "P7\nWIDTH 512\nHEIGHT 512\nDEPTH 2\nMAXVAL 255\nTUPLTYPE GRAYSCALE_ALPHA\nENDHDR\n";
constexpr std::size_t SmokeBytes = SmokeImageSize * SmokeImageSize;
constexpr std::size_t CloudBytes = CloudImageSize * CloudImageSize * 2;

// Stand-ins when a picture is damaged: transparent, so nothing odd is drawn.
const unsigned char EmptySmoke[SmokeBytes] = {};
const unsigned char EmptyClouds[CloudBytes] = {};

}  // namespace

const unsigned char* PicturePixels(const unsigned char* begin, const unsigned char* end,
                                   const char* header, std::size_t pixelBytes) {
  if (begin == nullptr || end == nullptr || end < begin) return nullptr;
  const std::size_t size = static_cast<std::size_t>(end - begin);
  const std::size_t headerBytes = std::strlen(header);
  if (size != headerBytes + pixelBytes) return nullptr;
  if (std::memcmp(begin, header, headerBytes) != 0) return nullptr;
  return begin + headerBytes;
}

const unsigned char* SmokeImage(int k) {
  static const unsigned char* const files[SmokeImageCount][2] = {
      {varenko_smoke0, varenko_smoke0_end},
      {varenko_smoke1, varenko_smoke1_end},
      {varenko_smoke2, varenko_smoke2_end},
      {varenko_smoke3, varenko_smoke3_end},
      {varenko_smoke4, varenko_smoke4_end}};
  if (k < 0 || k >= SmokeImageCount) return EmptySmoke;
  const unsigned char* pixels = PicturePixels(files[k][0], files[k][1], SmokeHeader, SmokeBytes);
  return pixels != nullptr ? pixels : EmptySmoke;
}

const unsigned char* CloudImage() {
  const unsigned char* pixels =
      PicturePixels(varenko_clouds, varenko_clouds_end, CloudHeader, CloudBytes);
  return pixels != nullptr ? pixels : EmptyClouds;
}

}  // namespace varenko

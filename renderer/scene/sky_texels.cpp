// The sky's generated data: star field, horizon glow and skyline, star-dome vertices, cloud grid.
#include "renderer/scene/sky_texels.h"

#include <algorithm>
#include <cmath>

#include "renderer/scene/pictures.h"
#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/random.h"

namespace varenko {

namespace {

constexpr int N = SkyImageSize;
constexpr float Pi = 3.14159265358979f;

unsigned char* Texel(std::vector<unsigned char>& image, int row, int column) {
  return &image[(static_cast<std::size_t>(row) * N + column) * 3];
}

void SetTexel(std::vector<unsigned char>& image, int row, int column, int c0, int c1, int c2) {
  unsigned char* t = Texel(image, row, column);
  t[0] = static_cast<unsigned char>(c0 & 0xFF);
  t[1] = static_cast<unsigned char>(c1 & 0xFF);
  t[2] = static_cast<unsigned char>(c2 & 0xFF);
}

// Midpoint displacement over (lo, hi), the left half finished before the right.
void Displace(int (&skyline)[SkylineLength], int lo, int hi) {
  const int a = hi - lo;
  if (a <= 1) return;
  const int mid = (lo + hi) / 2;
  int h = (skyline[lo] + skyline[hi]) / 2;
  h += (rand() * (a / 2)) / RandMax - a / 4;
  skyline[mid] = std::max(h, 1);
  Displace(skyline, lo, mid);
  Displace(skyline, mid, hi);
}

}  // namespace

std::int64_t StarCount(int starDensity) {
  const std::int64_t wanted = std::int64_t{20} * starDensity;
  return std::clamp<std::int64_t>(wanted, 0, MaxStarDraws);
}

std::vector<unsigned char> StarFieldTexels(int starDensity) {
  std::vector<unsigned char> image(static_cast<std::size_t>(N) * N * 3, 0);
  const std::int64_t count = StarCount(starDensity);
  for (std::int64_t i = 0; i < count; ++i) {
    // Rows and columns 2..510: every neighbour of a star stays inside the image.
    const int row = Q(508) + 2;
    const int column = Q(508) + 2;
    int c[3];
    c[0] = Q(36) + 220;
    c[1] = Q(36) + 220;
    c[2] = Q(36) + 220;
    const int full = Q(3);
    if (full < 3) c[full] = 255;  // 3 comes only from the generator's top value: no channel
    SetTexel(image, row, column, c[0], c[1], c[2]);
    const int shape = Q(6);
    const int edges[4][2] = {
        {row, column - 1}, {row, column + 1}, {row - 1, column}, {row + 1, column}};
    if (shape <= 2) {  // faint: a dimmed centre with a thin, unevenly tinted cross
      unsigned char* centre = Texel(image, row, column);
      for (int k = 0; k < 3; ++k) centre[k] = static_cast<unsigned char>(centre[k] / 2);
      int d[3];
      d[0] = Q(6) + 3;
      d[1] = Q(6) + 3;
      d[2] = Q(6) + 3;
      for (const auto& e : edges)
        SetTexel(image, e[0], e[1], c[0] / d[0], c[1] / d[1], c[2] / d[2]);
    } else if (shape <= 4) {  // medium: a half-bright cross
      for (const auto& e : edges) SetTexel(image, e[0], e[1], c[0] >> 1, c[1] >> 1, c[2] >> 1);
    } else if (shape == 5) {  // bright: a strong cross and dim corners
      for (const auto& e : edges) {
        SetTexel(image, e[0], e[1], static_cast<int>(c[0] * 0.75f), static_cast<int>(c[1] * 0.75f),
                 static_cast<int>(c[2] * 0.75f));
      }
      const int corners[4][2] = {{row - 1, column - 1},
                                 {row - 1, column + 1},
                                 {row + 1, column - 1},
                                 {row + 1, column + 1}};
      for (const auto& e : corners) SetTexel(image, e[0], e[1], c[0] >> 2, c[1] >> 2, c[2] >> 2);
    }
  }
  return image;
}

void MakeSkyline(int (&skyline)[SkylineLength]) {
  const int end = Q(10) + 5;
  skyline[0] = end;
  skyline[N] = end;
  Displace(skyline, 0, N);
}

bool MakeHorizon(const unsigned char* cloudImage, std::vector<unsigned char>& texels,
                 int (&skyline)[SkylineLength]) {
  if (Q(4) == 0) return false;

  int red;
  if (Q(3) != 0) {
    red = Q(42) + 60;
  } else {
    red = Q(102);
  }
  const int green = Q(red);
  int blue = 0;
  if (green < 50) blue = 100 - Q(red);
  texels.assign(static_cast<std::size_t>(N) * N * 3, 0);
  for (int r = 0; r < N; ++r) {
    for (int c = 0; c < N; ++c) SetTexel(texels, r, c, red, green, blue);
  }

  if (Q(3) != 0) {  // mottle the glow with a random window of the cloud field
    const int oy = Q(512);
    const int ox = Q(512);
    for (int r = 0; r < N; ++r) {
      for (int c = 0; c < N; ++c) {
        // Q(512) can give 512 itself; the modulo keeps the window inside the picture.
        const std::size_t i = (static_cast<std::size_t>((oy + r) % N) * N + (ox + c) % N) * 2;
        const int lum = cloudImage[i];
        const int alpha = cloudImage[i + 1];
        unsigned char* t = Texel(texels, r, c);
        t[0] = static_cast<unsigned char>(red * alpha / 256);
        t[1] = static_cast<unsigned char>(green * lum * alpha / 65536);
      }
    }
  }

  MakeSkyline(skyline);

  for (int r = 0; r < N; ++r) {
    const int h = std::clamp(skyline[r], 0, N - 1);
    for (int c = 0; c <= h; ++c) SetTexel(texels, r, c, 0, 0, 0);
    // A three-texel soft edge above the silhouette.
    if (h + 1 < N) {
      unsigned char* t = Texel(texels, r, h + 1);
      for (int k = 0; k < 3; ++k) t[k] = static_cast<unsigned char>(t[k] >> 2);
    }
    if (h + 2 < N) {
      unsigned char* t = Texel(texels, r, h + 2);
      for (int k = 0; k < 3; ++k) t[k] = static_cast<unsigned char>(t[k] >> 1);
    }
    if (h + 3 < N) {
      unsigned char* t = Texel(texels, r, h + 3);
      for (int k = 0; k < 3; ++k) t[k] = static_cast<unsigned char>(t[k] * 0.75f);
    }
  }
  return true;
}

void MakeStarDome(DomeVertex (&dome)[DomeRings][DomeColumns]) {
  for (int i = 0; i < DomeRings; ++i) {
    const float a = static_cast<float>(i) * Pi / 12.0f;
    for (int j = 0; j < DomeColumns; ++j) {
      const float b = static_cast<float>(j) * Pi / 6.0f;
      DomeVertex& v = dome[i][j];
      v.x = 20000.0f * std::cos(a) * std::cos(b);
      v.y = 18500.0f * std::sin(a) + 1500.0f;
      v.z = 20000.0f * std::cos(a) * std::sin(b);
      v.s = 1.2f * (2.5f - std::sin(a)) * std::cos(a) * std::cos(b);
      v.t = 1.2f * (2.5f - std::sin(a)) * std::cos(a) * std::sin(b);
      v.brightness = v.y < 1501.0f ? 0.0f : 1.0f;
    }
  }
}

void BuildCloudGrid(int ambientLevel) {
  for (int r = 0; r < CloudGridSize; ++r) {
    for (int c = 0; c < CloudGridSize; ++c) {
      CloudVertex& v = CloudGrid[r][c];
      const float fr = std::fabs(static_cast<float>(r - 24)) / 24.0f;
      const float fc = std::fabs(static_cast<float>(c - 24)) / 24.0f;
      v.x = static_cast<float>(r - 24) * 833.3333f;
      v.z = static_cast<float>(c - 24) * 833.3333f;
      v.y = 2000.0f - 1000.0f * (fr * fr + fc * fc);
      v.s = -static_cast<float>(r) * 0.125f;
      v.t = -static_cast<float>(c) * 0.125f;
      v.shade = std::max(0.0f, (v.y - 1000.0f) * static_cast<float>(ambientLevel) * 0.00001f);
      v.red = v.shade;
      v.green = v.shade;
      v.blue = v.shade;
    }
  }
}

float AdvanceCloudScroll(float scroll, int windSpeed, float dt) {
  float next = scroll + static_cast<float>(windSpeed) * dt * 0.00015f;
  if (next > 1.0f) next -= 1.0f;
  // A storm-force or negative wind (any stored value is accepted) or a long pause can move the
  // offset by more than one turn, or backwards; fold it back so the texture coordinates keep
  // their precision.
  if (!(next >= 0.0f && next <= 1.0f)) {
    next -= std::floor(next);
    if (!(next >= 0.0f && next <= 1.0f)) next = 0.0f;  // infinite or not a number
  }
  return next;
}

void ResetCloudGrid(float scroll) {
  for (int r = 0; r < CloudGridSize; ++r) {
    for (int c = 0; c < CloudGridSize; ++c) {
      CloudVertex& v = CloudGrid[r][c];
      v.red = v.shade;
      v.green = v.shade;
      v.blue = v.shade;
      v.s = scroll - static_cast<float>(r) * 0.125f;
    }
  }
}

}  // namespace varenko

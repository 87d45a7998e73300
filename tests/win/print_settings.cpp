// Prints what the renderer's real ReadSettings makes of the registry: the eight fields, then the
// smoke-puff lifetimes, one "name=value" per line.
#include <cstdio>

#include "renderer/host/settings.h"

int main() {
  using namespace varenko;
  ApplyDefaults();
  ReadSettings();
  std::printf("maxShells=%d\nsmokeSpan=%d\nwindSpeed=%d\nambientLevel=%d\n", settings.maxShells,
              settings.smokeSpan, settings.windSpeed, settings.ambientLevel);
  std::printf("starDensity=%d\nflareBrightness=%d\ncloudy=%d\nillumination=%d\n",
              settings.starDensity, settings.flareBrightness, settings.cloudy,
              settings.illumination);
  if (settings.smokeSpan != 0) {
    BuildSmokeLifeTable();
    std::printf("SmokeLifeTable=");
    for (int i = 0; i < 8; ++i) std::printf(i == 0 ? "%g" : ",%g", SmokeLifeTable[i]);
    std::printf("\n");
  } else {
    std::printf("SmokeLifeTable=none\n");
  }
  return 0;
}

// Entry of the Linux renderer `varenko`.
#include <cstdio>
#include <cstring>

#include "renderer/host/settings.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--settings") == 0 && i + 1 < argc)
      varenko::settingsFilePath = argv[++i];
  }
  varenko::ApplyDefaults();
  varenko::ReadSettings();
  return 0;
}

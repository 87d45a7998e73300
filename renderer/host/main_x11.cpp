// Entry of the Linux renderer `varenko`: the command line, then the X11 host.
#include <cstdio>

#include "common/version.h"
#include "renderer/host/host_x11.h"
#include "renderer/host/options.h"

int main(int argc, char** argv) {
  const varenko::ParseResult parsed = varenko::ParseOptions(argc, argv);
  if (parsed.status == varenko::ParseStatus::Help) {
    std::fputs(varenko::UsageText(), stdout);
    return 0;
  }
  if (parsed.status == varenko::ParseStatus::Version) {
    std::fputs("varenko " VARENKO_VERSION "\n", stdout);
    return 0;
  }
  if (parsed.status == varenko::ParseStatus::Error) {
    std::fprintf(stderr, "varenko: %s (see --help)\n", parsed.error.c_str());
    return 2;
  }
  return varenko::RunX11Saver(parsed.options);
}

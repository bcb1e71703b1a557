// service-host: runs a service program the way systemd runs a Type=notify service.

#include <cstdio>
#include <string>
#include <vector>

#include "host_options.h"
#include "service_host.h"

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (!words.empty() && (words[0] == "-h" || words[0] == "--help")) {
    std::fputs(kHostUsage, stdout);
    return 0;
  }
  std::string error;
  const std::optional<HostOptions> options = ParseHostOptions(words, error);
  if (!options) {
    std::fprintf(stderr, "service-host: %s\n%s", error.c_str(), kHostUsage);
    return 2;
  }
  return RunServiceHost(*options);
}

#pragma once
// The command line of service-host.

#include <optional>
#include <string>
#include <vector>

struct UserControlAt {
  int n = 0;            // sends user control code 128 + n
  double seconds = 0;   // after the service's start
};

struct HostOptions {
  std::optional<double> stopAfterSeconds;
  std::vector<UserControlAt> controls;
  std::string program;
  std::vector<std::string> arguments;
};

// The options, or nothing with error set to a one-line reason.
std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& words, std::string& error);

extern const char* const kHostUsage;

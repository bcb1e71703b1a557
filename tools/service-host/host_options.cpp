#include "host_options.h"

#include <charconv>
#include <cmath>

const char* const kHostUsage =
    "usage: service-host [--stop-after SECONDS] [--control N@SECONDS]... [--] PROGRAM [ARGUMENT]...\n"
    "Runs PROGRAM as systemd runs a Type=notify service and prints each status change.\n"
    "  --stop-after SECONDS  send the stop control (SIGTERM) after SECONDS; Ctrl-C sends it at once\n"
    "  --control N@SECONDS   send user control code 128+N (SIGRTMIN+N) after SECONDS\n"
    "Exits with the program's exit status (128 + the signal number when a signal ended it).\n";

namespace {

bool ParseSeconds(std::string_view text, double& seconds) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(seconds) && seconds >= 0;
}

bool ParseControl(std::string_view text, UserControlAt& control) {
  const std::size_t at = text.find('@');
  if (at == std::string_view::npos) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + at, control.n);
  return error == std::errc() && end == text.data() + at && control.n >= 0 &&
         ParseSeconds(text.substr(at + 1), control.seconds);
}

}  // namespace

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& words, std::string& error) {
  HostOptions options;
  std::size_t i = 0;
  for (; i < words.size() && words[i].starts_with("-"); ++i) {
    const std::string& word = words[i];
    if (word == "--") {
      ++i;
      break;
    }
    const bool hasValue = i + 1 < words.size();
    if (word == "--stop-after" && hasValue) {
      double seconds = 0;
      if (!ParseSeconds(words[++i], seconds)) {
        error = "--stop-after needs a number of seconds, not \"" + words[i] + "\"";
        return std::nullopt;
      }
      options.stopAfterSeconds = seconds;
    } else if (word == "--control" && hasValue) {
      UserControlAt control;
      if (!ParseControl(words[++i], control)) {
        error = "--control needs N@SECONDS, not \"" + words[i] + "\"";
        return std::nullopt;
      }
      options.controls.push_back(control);
    } else {
      error = "unknown option or missing value: " + word;
      return std::nullopt;
    }
  }
  if (i == words.size()) {
    error = "no program given";
    return std::nullopt;
  }
  options.program = words[i];
  options.arguments.assign(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());
  return options;
}

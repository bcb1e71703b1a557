#pragma once
// Runs a tool (man, lintian, dpkg-deb, systemd-analyze, an installed program)
// to its end and collects what it printed.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/e2e_support.h"

struct ToolRun {
  bool started = false;       // false: the tool is not installed
  std::optional<int> status;  // nothing: it did not end within the time allowed
  std::string output;
  std::string errors;
};

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments,
                const e2e::ScratchDirectory& scratch,
                const std::vector<std::pair<std::string, std::string>>& environment = {}, int timeoutMs = 120000);

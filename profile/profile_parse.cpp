#include "profile/profile_parse.h"

#include "common/blank_text.h"

namespace platform {

namespace {

std::string_view CutAtNul(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Calls lineHandler(text, lineNumber) for each line; CR LF, LF and CR all end a line.
template <class Handler>
void ForEachLine(std::string_view content, Handler lineHandler) {
  int number = 0;
  std::size_t start = 0;
  while (start < content.size()) {
    // A plain scan: find_first_of searches the set of line ends at every byte.
    std::size_t end = start;
    while (end < content.size() && content[end] != '\n' && content[end] != '\r') ++end;
    lineHandler(content.substr(start, end - start), ++number);
    if (end < content.size() && content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

void ParseLine(std::string_view raw, int number, ProfileDocument& document) {
  const std::string_view line = common::TrimBlanks(raw);
  if (line.empty() || line.front() == ';') return;
  if (line.front() == '[') {
    std::string_view name = line.substr(1);
    name = name.substr(0, name.find(']'));
    document.sections.push_back({std::string(common::TrimBlanks(CutAtNul(name))), number, {}});
    return;
  }
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || document.sections.empty()) return;
  const std::string_view key = common::TrimBlanks(CutAtNul(line.substr(0, equals)));
  if (key.empty()) return;
  const std::string_view value = Unquote(common::TrimBlanks(line.substr(equals + 1)));
  document.sections.back().entries.push_back({std::string(key), std::string(CutAtNul(value)), number});
}

}  // namespace

std::unique_ptr<ProfileDocument> ParseProfile(std::string_view content) {
  auto document = std::make_unique<ProfileDocument>();
  ForEachLine(content, [&](std::string_view line, int number) { ParseLine(line, number, *document); });
  return document;
}

}  // namespace platform

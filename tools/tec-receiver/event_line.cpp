#include "tools/tec-receiver/event_line.h"

namespace {

bool IsPlain(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x7F && c != '\\';
}

void AppendEscaped(std::string& line, char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  auto byte = static_cast<unsigned char>(c);
  if (c == '\\') {
    line += "\\\\";
  } else if (c == '\n') {
    line += "\\n";
  } else {
    line += "\\x";
    line += kHex[byte >> 4];
    line += kHex[byte & 0xF];
  }
}

}  // namespace

std::string EscapeEventText(std::string_view text) {
  std::string line;
  line.reserve(text.size() + 16);
  // Runs of plain characters are copied at once.
  for (std::size_t at = 0; at < text.size();) {
    std::size_t plain = at;
    while (plain < text.size() && IsPlain(text[plain])) ++plain;
    line.append(text, at, plain - at);
    if (plain < text.size()) AppendEscaped(line, text[plain++]);
    at = plain;
  }
  return line;
}

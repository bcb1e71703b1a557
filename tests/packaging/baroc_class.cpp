#include "tests/packaging/baroc_class.h"

#include <cctype>
#include <sstream>
#include <string_view>
#include <utility>

namespace {

// The text without its "#" comments, split into words and the punctuation
// ":", ";", ",", "=", "{" and "}"; a quoted string is one word.
std::vector<std::string> Tokens(const std::string& text) {
  std::vector<std::string> tokens;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    line = line.substr(0, line.find('#'));
    for (std::size_t i = 0; i < line.size();) {
      const char c = line[i];
      if (std::isspace(static_cast<unsigned char>(c))) {
        ++i;
      } else if (c == '"') {
        const std::size_t close = line.find('"', i + 1);
        const std::size_t end = close == std::string::npos ? line.size() : close + 1;
        tokens.push_back(line.substr(i, end - i));
        i = end;
      } else if (std::string_view(":;,={}").find(c) != std::string_view::npos) {
        tokens.emplace_back(1, c);
        ++i;
      } else {
        std::size_t end = i;
        while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end])) &&
               std::string_view(":;,={}\"").find(line[end]) == std::string_view::npos)
          ++end;
        tokens.push_back(line.substr(i, end - i));
        i = end;
      }
    }
  }
  return tokens;
}

class TokenReader {
 public:
  explicit TokenReader(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}
  bool AtEnd() const { return next_ >= tokens_.size(); }
  const std::string& Peek() const {
    static const std::string none;
    return AtEnd() ? none : tokens_[next_];
  }
  std::string Take() { return AtEnd() ? std::string() : tokens_[next_++]; }
  bool Expect(const std::string& token, std::string* error) {
    if (Peek() == token) {
      ++next_;
      return true;
    }
    if (error) *error = "expected \"" + token + "\", found \"" + Peek() + "\"";
    return false;
  }

 private:
  std::vector<std::string> tokens_;
  std::size_t next_ = 0;
};

// One "name: facet, facet;" of DEFINES; a facet is a type or "default = value".
std::optional<BarocSlot> ParseSlot(TokenReader& reader, std::string* error) {
  BarocSlot slot;
  slot.name = reader.Take();
  if (!reader.Expect(":", error)) return std::nullopt;
  for (;;) {
    if (reader.Peek() == "default") {
      reader.Take();
      if (!reader.Expect("=", error)) return std::nullopt;
      slot.defaultValue = reader.Take();
    } else if (!reader.AtEnd() && std::isupper(static_cast<unsigned char>(reader.Peek()[0]))) {
      slot.type = reader.Take();
    } else {
      if (error) *error = "slot " + slot.name + ": unexpected \"" + reader.Peek() + "\"";
      return std::nullopt;
    }
    if (reader.Peek() == ";") break;
    if (!reader.Expect(",", error)) return std::nullopt;
  }
  reader.Take();
  return slot;
}

}  // namespace

std::optional<BarocClass> ParseBarocClass(const std::string& text, std::string* error) {
  TokenReader reader(Tokens(text));
  BarocClass parsed;
  if (!reader.Expect("TEC_CLASS", error) || !reader.Expect(":", error)) return std::nullopt;
  parsed.name = reader.Take();
  if (!reader.Expect("ISA", error)) return std::nullopt;
  parsed.base = reader.Take();
  if (!reader.Expect("DEFINES", error) || !reader.Expect("{", error)) return std::nullopt;
  while (!reader.AtEnd() && reader.Peek() != "}") {
    std::optional<BarocSlot> slot = ParseSlot(reader, error);
    if (!slot) return std::nullopt;
    parsed.slots.push_back(*slot);
  }
  if (!reader.Expect("}", error) || !reader.Expect(";", error) || !reader.Expect("END", error)) return std::nullopt;
  if (!reader.AtEnd()) {
    if (error) *error = "text after END: \"" + reader.Peek() + "\"";
    return std::nullopt;
  }
  return parsed;
}

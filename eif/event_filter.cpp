#include "eif/event_filter.h"

#include <string>
#include <vector>

#include "eif/eif_config.h"

namespace {

// The text that ends every event; the attribute scan stops where it begins.
constexpr std::string_view kEventEnd = "END\n\x01";

enum class ScanState { TokenStart, Unquoted, Quoted, AfterQuote };

bool IsSeparator(char c) { return c == '=' || c == ';'; }

// Splits the attribute part into tokens at "=" and ";" outside apostrophes.
// A separator at the start of a token does not end it.
std::vector<std::string_view> ScanTokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  ScanState state = ScanState::TokenStart;
  std::size_t tokenBegin = 0;
  std::size_t at = 0;
  for (; at < text.size(); ++at) {
    if (text.size() - at == kEventEnd.size() && text.substr(at) == kEventEnd) break;
    char c = text[at];
    bool separates = false;
    switch (state) {
      case ScanState::TokenStart:
        state = c == '\'' ? ScanState::Quoted : ScanState::Unquoted;
        break;
      case ScanState::Unquoted:
        separates = IsSeparator(c);
        break;
      case ScanState::Quoted:
        if (c == '\'') state = ScanState::AfterQuote;
        break;
      case ScanState::AfterQuote:
        if (c == '\'') state = ScanState::Quoted;
        else if (IsSeparator(c)) separates = true;
        else state = ScanState::Unquoted;
        break;
    }
    if (separates) {
      tokens.push_back(text.substr(tokenBegin, at - tokenBegin));
      tokenBegin = at + 1;
      state = ScanState::TokenStart;
    }
  }
  if (at > tokenBegin) tokens.push_back(text.substr(tokenBegin, at - tokenBegin));
  return tokens;
}

bool FilterMatches(const EifFilter& filter, const EifList<EifPair>& attributes) {
  for (const EifPair& wanted : filter) {
    const EifPair* carried = attributes.FindFirst(
        [&wanted](const EifPair& attribute) { return attribute.name == wanted.name ? 1 : 0; });
    if (carried == nullptr || carried->value != wanted.value) return false;
  }
  return true;
}

}  // namespace

EifList<EifPair> ParseEventAttributes(std::string_view eventText) {
  EifList<EifPair> attributes;
  std::size_t classEnd = eventText.find(';');
  if (classEnd == std::string_view::npos) return attributes;
  attributes.Append(EifPair{"Class", std::string(eventText.substr(0, classEnd))});
  std::vector<std::string_view> tokens = ScanTokens(eventText.substr(classEnd + 1));
  for (std::size_t i = 0; i + 1 < tokens.size(); i += 2)
    attributes.Append(EifPair{std::string(tokens[i]), std::string(tokens[i + 1])});
  return attributes;
}

int EventIsFiltered(std::string_view eventText, const EifList<EifFilter>& filters) {
  bool inMode = EifValueIs("FilterMode", "IN", "in");
  if (eventText.find(';') == std::string_view::npos) return 0;
  bool matched = false;
  if (!filters.Empty()) {
    EifList<EifPair> attributes = ParseEventAttributes(eventText);
    matched = filters.FindFirst([&attributes](const EifFilter& filter) {
      return FilterMatches(filter, attributes) ? 1 : 0;
    }) != nullptr;
  }
  return matched == !inMode ? 1 : 0;
}

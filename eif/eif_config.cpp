#include "eif/eif_config.h"

#include <climits>
#include <cstdio>

#include "platform/file_io.h"
#include "platform/random_access_file.h"

namespace {

EifList<EifPair> keyList;
EifList<EifFilter> filterList;
EifList<EifFilter> filterCacheList;

constexpr std::string_view kFilterPrefix = "Filter:";
constexpr std::string_view kFilterCachePrefix = "FilterCache:";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The next line piece at offset: up to and including a newline, at most
// EIF_LINE_PIECE characters.
std::string_view NextPiece(std::string_view content, std::size_t offset) {
  std::string_view rest = content.substr(offset, EIF_LINE_PIECE);
  std::size_t newline = rest.find('\n');
  return newline == std::string_view::npos ? rest : rest.substr(0, newline + 1);
}

bool IsSkippedLine(std::string_view piece) {
  return piece.empty() || piece[0] == '#' || piece[0] == '\n' || piece == "\r\n";
}

// The piece without its line terminator, cut at a NUL byte as the line's text ends there.
std::string_view LineText(std::string_view piece) {
  if (piece.ends_with('\n')) piece.remove_suffix(1);
  if (piece.ends_with('\r')) piece.remove_suffix(1);
  return piece.substr(0, piece.find('\0'));
}

// name=value: the name is everything before the first "=", blanks included;
// the value is the first run of non-blank characters after it.
bool ParseKeyLine(std::string_view line, EifPair& pair) {
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || equals == 0) return false;
  std::size_t valueBegin = equals + 1;
  while (valueBegin < line.size() && IsBlank(line[valueBegin])) ++valueBegin;
  std::size_t valueEnd = valueBegin;
  while (valueEnd < line.size() && !IsBlank(line[valueEnd])) ++valueEnd;
  if (valueEnd == valueBegin) return false;
  pair.name = line.substr(0, equals);
  pair.value = line.substr(valueBegin, valueEnd - valueBegin);
  return true;
}

bool ParseLine(std::string_view line) {
  if (line.starts_with(kFilterPrefix)) return ParseFilterLine(line.substr(kFilterPrefix.size()), filterList) == 0;
  if (line.starts_with(kFilterCachePrefix))
    return ParseFilterLine(line.substr(kFilterCachePrefix.size()), filterCacheList) == 0;
  EifPair pair;
  if (!ParseKeyLine(line, pair)) return false;
  keyList.Append(std::move(pair));
  return true;
}

void ParseContent(std::string_view content) {
  int lineNumber = 0;
  for (std::size_t offset = 0; offset < content.size();) {
    std::string_view piece = NextPiece(content, offset);
    offset += piece.size();
    ++lineNumber;
    if (IsSkippedLine(piece)) continue;
    if (!ParseLine(LineText(piece)))
      std::printf("syntax error in configuration file, line %d ignored\n", lineNumber);
  }
  std::fflush(stdout);
}

// Splits off the next token the way strtok does: leading delimiters skipped,
// the token runs to the next delimiter, which is consumed.
bool NextToken(std::string_view text, std::size_t& offset, char delimiter, std::string_view& token) {
  while (offset < text.size() && text[offset] == delimiter) ++offset;
  if (offset >= text.size()) return false;
  std::size_t end = text.find(delimiter, offset);
  if (end == std::string_view::npos) end = text.size();
  token = text.substr(offset, end - offset);
  offset = end < text.size() ? end + 1 : end;
  return true;
}

const EifPair* FindKey(std::string_view name) {
  return keyList.FindFirst([name](const EifPair& pair) { return pair.name == name ? 1 : 0; });
}

}  // namespace

int EifReadConfig(const std::string& path) {
  keyList = {};
  filterList = {};
  filterCacheList = {};
  std::string file = path.empty() ? EIF_DEFAULT_CONFIG_PATH : path;
  std::uint64_t size = 0;
  if (int error = platform::GetFileSize(file, size); error != 0) {
    if (path.empty()) return EIF_CONFIG_OK;
    std::fprintf(stderr, "stat failed: %s\n", platform::SystemErrorText(error).c_str());
    return EIF_CONFIG_STAT_FAILED;
  }
  std::optional<std::string> content = platform::ReadWholeFile(file);
  if (!content) {
    std::printf("%s: Can not fopen\n", file.c_str());
    std::fflush(stdout);
    return EIF_CONFIG_OPEN_FAILED;
  }
  ParseContent(*content);
  return EIF_CONFIG_OK;
}

int ParseFilterLine(std::string_view text, EifList<EifFilter>& list) {
  EifFilter filter;
  std::size_t offset = 0;
  std::string_view name, value;
  while (NextToken(text, offset, '=', name)) {
    if (!NextToken(text, offset, ';', value)) return -1;
    filter.Append(EifPair{std::string(name), std::string(value)});
  }
  if (!filter.Empty()) list.Append(std::move(filter));
  return 0;
}

const std::string* EifGetValue(std::string_view name) {
  const EifPair* pair = FindKey(name);
  return pair != nullptr ? &pair->value : nullptr;
}

std::vector<std::string> EifGetList(std::string_view name) {
  std::vector<std::string> items;
  const std::string* value = EifGetValue(name);
  if (value == nullptr) return items;
  std::size_t offset = 0;
  std::string_view item;
  while (items.size() < EIF_MAX_LIST_ITEMS && NextToken(*value, offset, ',', item)) items.emplace_back(item);
  return items;
}

long EifGetNumber(std::string_view name, long defaultValue) {
  const std::string* value = EifGetValue(name);
  if (value == nullptr || value->empty() || (*value)[0] < '0' || (*value)[0] > '9') return defaultValue;
  long number = 0;
  for (char c : *value) {
    if (c < '0' || c > '9') break;
    number = number > (INT_MAX - (c - '0')) / 10 ? INT_MAX : number * 10 + (c - '0');
  }
  return number;
}

bool EifValueIs(std::string_view name, std::string_view spelling1, std::string_view spelling2) {
  const std::string* value = EifGetValue(name);
  return value != nullptr && (*value == spelling1 || *value == spelling2);
}

const EifList<EifPair>& EifKeyList() { return keyList; }
const EifList<EifFilter>& EifFilterList() { return filterList; }
const EifList<EifFilter>& EifFilterCacheList() { return filterCacheList; }

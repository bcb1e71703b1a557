#pragma once
// The EIF configuration: key lines (name=value) and filter lines ("Filter:",
// "FilterCache:") read from one file into three process-wide lists.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "eif/eif_list.h"

constexpr const char* EIF_DEFAULT_CONFIG_PATH = "/etc/Tivoli/tecad_eif.conf";

// Results of EifReadConfig.
constexpr int EIF_CONFIG_OK = 0;
constexpr int EIF_CONFIG_STAT_FAILED = 2;
constexpr int EIF_CONFIG_OPEN_FAILED = 4;

// Lines are read in pieces of this many characters; a longer line counts as
// several lines.
constexpr std::size_t EIF_LINE_PIECE = 511;
// EifGetList gives at most this many items.
constexpr std::size_t EIF_MAX_LIST_ITEMS = 8;

// Replaces the three lists with the lines of the file at path (an empty path
// means the default file, whose absence is no error). Prints one message per
// line it cannot use. 0, or 2 when the file's status cannot be read, 4 when
// it cannot be opened.
int EifReadConfig(const std::string& path);

// The value of the first key line whose name is exactly name, or null.
const std::string* EifGetValue(std::string_view name);

// The value of name split at commas (runs of commas are one separator, empty
// items are dropped), at most EIF_MAX_LIST_ITEMS items; empty when absent.
std::vector<std::string> EifGetList(std::string_view name);

// The leading decimal digits of the value, when the value starts with a digit;
// defaultValue otherwise (also when absent).
long EifGetNumber(std::string_view name, long defaultValue);

// True when the value is exactly one of the two spellings.
bool EifValueIs(std::string_view name, std::string_view spelling1, std::string_view spelling2);

// Parses the text after "Filter:" or "FilterCache:" into a filter of name/value
// pairs and appends it to list when it has any. 0, or -1 when a name lacks a
// value (nothing is appended then).
int ParseFilterLine(std::string_view text, EifList<EifFilter>& list);

const EifList<EifPair>& EifKeyList();
const EifList<EifFilter>& EifFilterList();       // "Filter:" lines, applied before sending
const EifList<EifFilter>& EifFilterCacheList();  // "FilterCache:" lines, applied before caching

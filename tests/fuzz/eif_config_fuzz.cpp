// The EIF configuration reader over arbitrary file contents: every key line
// kept can be asked for by its name, lists and numbers keep their limits, and
// every filter holds name/value pairs with both sides present.

#include <climits>
#include <string>

#include "eif/eif_config.h"
#include "fuzz_support.h"

namespace {

void CheckKey(const EifPair& pair) {
  FUZZ_CHECK(!pair.name.empty() && pair.name.find('=') == std::string::npos);
  FUZZ_CHECK(!pair.value.empty());
  FUZZ_CHECK(pair.value.find_first_of(" \t\r\n\v\f") == std::string::npos);
  const std::string* value = EifGetValue(pair.name);
  FUZZ_CHECK(value != nullptr);
  const std::vector<std::string> items = EifGetList(pair.name);
  FUZZ_CHECK(items.size() <= EIF_MAX_LIST_ITEMS);
  for (const std::string& item : items) FUZZ_CHECK(!item.empty() && item.find(',') == std::string::npos);
  const long number = EifGetNumber(pair.name, -1);
  FUZZ_CHECK(number == -1 || (number >= 0 && number <= INT_MAX));
}

void CheckFilters(const EifList<EifFilter>& filters) {
  for (const EifFilter& filter : filters) {
    FUZZ_CHECK(!filter.Empty());
    for (const EifPair& pair : filter) {
      FUZZ_CHECK(!pair.name.empty() && pair.name.find('=') == std::string::npos);
      FUZZ_CHECK(!pair.value.empty() && pair.value.find(';') == std::string::npos);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(EifReadConfig(WriteScratchFile("eif.conf", content)) == EIF_CONFIG_OK);
  FUZZ_CHECK(EifKeyList().Count() + EifFilterList().Count() + EifFilterCacheList().Count() <= size);
  for (const EifPair& pair : EifKeyList()) CheckKey(pair);
  CheckFilters(EifFilterList());
  CheckFilters(EifFilterCacheList());

  // The same text as one filter line on its own.
  EifList<EifFilter> line;
  const int result = ParseFilterLine(content, line);
  FUZZ_CHECK(result == 0 || result == -1);
  FUZZ_CHECK(line.Count() <= 1 && (result == 0 || line.Empty()));
  CheckFilters(line);
  return 0;
}

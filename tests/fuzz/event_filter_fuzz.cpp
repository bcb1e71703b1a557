// The event filter over arbitrary events and filter lines: the IN mode holds
// back exactly what the OUT mode lets pass, the attribute scan gives the class
// first, and a filter made of an event's own attributes always matches it.

#include <string>

#include "eif/eif_config.h"
#include "eif/event_filter.h"
#include "fuzz_support.h"

namespace {

int FilteredInMode(std::string_view mode, std::string_view filterLines, std::string_view event) {
  const std::string config = "FilterMode=" + std::string(mode) + "\n" + std::string(filterLines);
  FUZZ_CHECK(EifReadConfig(WriteScratchFile("filter.conf", config)) == EIF_CONFIG_OK);
  const int result = EventIsFiltered(event, EifFilterList());
  FUZZ_CHECK(result == 0 || result == 1);
  return result;
}

// A filter of the first attributes of the event, each with the value the
// filter's look-up finds first for that name.
EifFilter FilterOfOwnAttributes(const EifList<EifPair>& attributes, std::size_t count) {
  EifFilter filter;
  for (const EifPair& attribute : attributes) {
    if (filter.Count() == count) break;
    const EifPair* first =
        attributes.FindFirst([&](const EifPair& candidate) { return candidate.name == attribute.name ? 1 : 0; });
    filter.Append(*first);
  }
  return filter;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::size_t ownCount = input.Byte() % 4;
  const std::string event(input.LongPiece());
  const std::string_view filterLines = input.Rest();

  const bool hasSeparator = event.find(';') != std::string::npos;
  const int out = FilteredInMode("OUT", filterLines, event);
  const int in = FilteredInMode("IN", filterLines, event);
  FUZZ_CHECK(hasSeparator ? in != out : in == 0 && out == 0);

  const EifList<EifPair> attributes = ParseEventAttributes(event);
  FUZZ_CHECK(hasSeparator == !attributes.Empty());
  if (attributes.Empty()) return 0;
  FUZZ_CHECK(attributes.Get(0)->name == "Class");
  FUZZ_CHECK(attributes.Get(0)->value == event.substr(0, event.find(';')));

  EifList<EifFilter> own;
  own.Append(FilterOfOwnAttributes(attributes, ownCount + 1));
  FUZZ_CHECK(EventIsFiltered(event, own) == 0);  // IN mode is still configured: a match passes
  return 0;
}

// The decoders of the printer's answers over arbitrary answers: they read only
// the bytes given (AddressSanitizer sees any read past them), give at most the
// announced number of entries, and an answer rebuilt from what they decoded
// decodes to the same entries.

#include <span>
#include <vector>

#include "fuzz_support.h"
#include "vigilix/answer_decoders.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Entries of a location answer: key, unused bytes, name length, name, then the
// trailer bytes.
Bytes EncodeLocations(const std::vector<vigilix::Location>& locations, std::size_t unused, bool withTrailer) {
  Bytes answer = {0, static_cast<std::uint8_t>(locations.size())};
  for (const vigilix::Location& location : locations) {
    answer.push_back(location.key);
    answer.insert(answer.end(), unused, 0);
    answer.push_back(static_cast<std::uint8_t>(location.name.size()));
    answer.insert(answer.end(), location.name.begin(), location.name.end());
    if (withTrailer) answer.push_back(0);
  }
  return answer;
}

Bytes EncodeStatus(std::uint8_t group, const std::vector<vigilix::AlertKey>& keys) {
  Bytes answer = {group, static_cast<std::uint8_t>(keys.size())};
  for (const vigilix::AlertKey& key : keys) answer.insert(answer.end(), {key.b, key.c, key.d, 0});
  return answer;
}

bool SameLocations(const std::vector<vigilix::Location>& a, const std::vector<vigilix::Location>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].key != b[i].key || a[i].name != b[i].name) return false;
  return true;
}

bool SameKeys(const std::vector<vigilix::AlertKey>& a, const std::vector<vigilix::AlertKey>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].group != b[i].group || a[i].b != b[i].b || a[i].c != b[i].c || a[i].d != b[i].d) return false;
  return true;
}

std::size_t Announced(std::span<const std::uint8_t> answer) { return answer.size() > 1 ? answer[1] : 0; }

void CheckLocations(const std::vector<vigilix::Location>& decoded, std::span<const std::uint8_t> answer) {
  FUZZ_CHECK(decoded.size() <= Announced(answer));
  for (const vigilix::Location& location : decoded)
    FUZZ_CHECK(location.name.size() <= 255 && location.name.find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> answer(data, size);

  const std::vector<vigilix::Location> sources = vigilix::DecodeInputSources(answer);
  CheckLocations(sources, answer);
  FUZZ_CHECK(SameLocations(vigilix::DecodeInputSources(EncodeLocations(sources, 29, true)), sources));

  const std::vector<vigilix::Location> bins = vigilix::DecodeOutputBins(answer);
  CheckLocations(bins, answer);
  FUZZ_CHECK(SameLocations(vigilix::DecodeOutputBins(EncodeLocations(bins, 7, false)), bins));

  const std::vector<vigilix::AlertKey> keys = vigilix::DecodeStatusAnswer(answer);
  FUZZ_CHECK(keys.size() <= Announced(answer));
  for (const vigilix::AlertKey& key : keys) FUZZ_CHECK(key.group == answer[0]);
  if (!keys.empty()) FUZZ_CHECK(SameKeys(vigilix::DecodeStatusAnswer(EncodeStatus(answer[0], keys)), keys));
  return 0;
}

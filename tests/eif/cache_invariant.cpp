#include "cache_invariant.h"

#include <algorithm>
#include <set>

#include "eif/event_cache.h"

namespace {

// Splits the file at each record end; what follows the last one is the tail.
void SplitRecords(std::string_view file, CacheInvariantResult& result) {
  std::size_t start = 0;
  for (std::size_t end = file.find(CACHE_RECORD_END); end != std::string_view::npos;
       end = file.find(CACHE_RECORD_END, start)) {
    result.records.emplace_back(file.substr(start, end + 1 - start));
    start = end + 1;
  }
  result.tornTail = std::string(file.substr(start));
}

std::string Shown(const std::string& record) {
  std::string shown = record.substr(0, 60);
  std::replace(shown.begin(), shown.end(), CACHE_RECORD_END, '|');
  return "\"" + shown + (record.size() > 60 ? "...\"" : "\"");
}

// Matches each record to the earliest later entry of appended with its bytes.
std::string CheckOrder(const std::vector<std::string>& records, const std::vector<std::string>& appended) {
  std::size_t next = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    auto match = std::find(appended.begin() + static_cast<std::ptrdiff_t>(next), appended.end(), records[i]);
    if (match == appended.end()) {
      bool known = std::find(appended.begin(), appended.end(), records[i]) != appended.end();
      return "record " + std::to_string(i) + " " + Shown(records[i]) +
             (known ? " is out of order or repeated" : " was never appended (torn, glued or foreign)");
    }
    next = static_cast<std::size_t>(match - appended.begin()) + 1;
  }
  return {};
}

bool IsHeadOfAppended(const std::string& tail, const std::vector<std::string>& appended) {
  return std::any_of(appended.begin(), appended.end(), [&](const std::string& record) {
    return record.size() > tail.size() && record.compare(0, tail.size(), tail) == 0;
  });
}

}  // namespace

CacheInvariantResult CheckCacheInvariant(std::string_view file, const std::vector<std::string>& appended,
                                         const CacheInvariantRules& rules) {
  CacheInvariantResult result;
  SplitRecords(file, result);
  if (!result.tornTail.empty()) {
    if (!rules.tornTailAllowed) result.failure = "the file ends in a torn record " + Shown(result.tornTail);
    else if (!IsHeadOfAppended(result.tornTail, appended))
      result.failure = "the torn tail " + Shown(result.tornTail) + " is no head of an appended record";
    if (!result.ok()) return result;
  }
  result.failure = CheckOrder(result.records, appended);
  if (!result.ok()) return result;
  const std::set<std::string> kept(result.records.begin(), result.records.end());
  for (const std::string& record : appended) {
    if (kept.count(record) != 0) continue;
    bool tornHere = !result.tornTail.empty() && record.compare(0, result.tornTail.size(), result.tornTail) == 0;
    if (tornHere || (rules.mayBeLost && rules.mayBeLost(record))) continue;
    result.failure = "record " + Shown(record) + " was lost";
    return result;
  }
  return result;
}

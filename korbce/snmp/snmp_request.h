#pragma once
// One fetch from one printer: the session settings, the objects to get and the
// subtrees to walk, and what came back.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "korbce/snmp/credentials.h"
#include "korbce/snmp/var_bind.h"

namespace korbce::snmp {

struct SessionSettings {
  std::string host;  // dotted address
  std::uint16_t port = 161;
  Credentials credentials;
  std::chrono::milliseconds timeout{1000};
  std::uint32_t retries = 1;
};

struct FetchPlan {
  std::vector<Oid> gets;   // asked in one GET, before the walks
  std::vector<Oid> walks;  // walked side by side, several in one request
  // Once the first walk has come back empty, the rest are not walked further.
  bool stopWhenFirstWalkEmpty = false;
};

struct FetchResult {
  bool answered = false;  // every request of the fetch got an answer in time
  // false when an answer was broken (an error status, an exception where a
  // value belongs, a walk that does not increase, an object not asked for) or
  // a bound cut the fetch short: the objects are not all the printer holds.
  bool intact = true;
  std::vector<VarBind> objects;
  std::vector<std::string> problems;  // what was cut short, for the trace
};

// Bounds of one fetch, so that no answer can make it endless.
constexpr std::size_t kMaxObjectsPerFetch = 8192;
constexpr std::size_t kMaxRequestsPerFetch = 2048;
constexpr long kBulkRepetitions = 24;           // the most objects of one walk in one answer
constexpr long kBulkObjectsPerRequest = 64;     // the walks of one request share these
constexpr std::size_t kMaxColumnsPerRequest = 32;

// The longest a fetch may take, however its printer answers: a few times
// what one unanswered request may wait with its retries, and never less than
// a busy agent needs for a whole probe.
inline std::chrono::milliseconds FetchTimeBound(const SessionSettings& settings) {
  constexpr int kRequestTimesPerFetch = 4;
  constexpr std::chrono::milliseconds kShortest{5000};
  const auto attempts = static_cast<std::chrono::milliseconds::rep>(settings.retries) + 1;
  return std::max(kShortest, settings.timeout * attempts * kRequestTimesPerFetch);
}

}  // namespace korbce::snmp

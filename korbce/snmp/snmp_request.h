#pragma once
// One fetch from one printer: the session settings, the objects to get and the
// subtrees to walk, and what came back.

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
  std::vector<Oid> walks;  // walked one after the other
  // Once the first walk has come back empty, the rest are not walked.
  bool stopWhenFirstWalkEmpty = false;
};

struct FetchResult {
  bool answered = false;  // every request of the fetch got an answer
  std::vector<VarBind> objects;
  std::vector<std::string> problems;  // what was cut short, for the trace
};

// Bounds of one fetch, so that no answer can make it endless.
constexpr std::size_t kMaxObjectsPerFetch = 8192;
constexpr std::size_t kMaxRequestsPerFetch = 2048;
constexpr long kBulkRepetitions = 24;

}  // namespace korbce::snmp

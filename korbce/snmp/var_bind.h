#pragma once
// One object a printer sent, copied out of the SNMP library's structures so
// that decoding needs no network and can be tested on any input.

#include <cstdint>
#include <string>
#include <vector>

namespace korbce::snmp {

using Oid = std::vector<std::uint32_t>;

enum class ValueKind {
  Integer,
  OctetString,
  ObjectId,
  IpAddress,
  Counter32,
  Gauge32,
  TimeTicks,
  Counter64,
  Null,
  NoSuchObject,
  NoSuchInstance,
  EndOfMibView,
  Other,
};

struct VarBind {
  Oid oid;
  ValueKind kind = ValueKind::Null;
  std::int64_t number = 0;  // Integer, Counter32, Gauge32, TimeTicks, Counter64
  std::string bytes;        // OctetString and IpAddress, at most kMaxValueBytes
  Oid objectId;             // ObjectId
};

constexpr std::size_t kMaxValueBytes = 1024;

// Whether oid lies below prefix (or is it).
bool StartsWith(const Oid& oid, const Oid& prefix);
// "1.3.6.1.2.1.1.1.0"
std::string OidText(const Oid& oid);

}  // namespace korbce::snmp

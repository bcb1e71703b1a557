#include "korbce/snmp/var_bind.h"

#include <algorithm>

namespace korbce::snmp {

bool StartsWith(const Oid& oid, const Oid& prefix) {
  return oid.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

std::string OidText(const Oid& oid) {
  std::string text;
  for (std::uint32_t part : oid) text += (text.empty() ? "" : ".") + std::to_string(part);
  return text;
}

}  // namespace korbce::snmp

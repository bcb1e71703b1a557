#pragma once
// A printer's objects as net-snmp holds names and values, in the numeric
// order of their names, for an agent that answers GET, GETNEXT and GETBULK
// from memory.

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tests/support/snmp_agent.h"

namespace snmp_test {

struct PrinterObject {
  std::vector<oid> name;
  u_char type = ASN_NULL;
  std::string value;  // the bytes snmp_pdu_add_variable takes for type
};

class PrinterObjectTable {
 public:
  explicit PrinterObjectTable(const std::vector<SnmpRecord>& records);

  std::size_t Size() const { return objects_.size(); }
  const PrinterObject& At(std::size_t position) const { return objects_[position]; }
  // The object named exactly; nullptr when there is none.
  const PrinterObject* Find(const oid* name, std::size_t length) const;
  // The position of the first object after name; Size() when none follows.
  std::size_t After(const oid* name, std::size_t length) const;

 private:
  std::vector<PrinterObject> objects_;
};

}  // namespace snmp_test

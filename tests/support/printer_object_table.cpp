#include "tests/support/printer_object_table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/decimal_text.h"
#include "common/list_text.h"

namespace snmp_test {
namespace {

std::vector<oid> NameOf(const std::string& text) {
  std::vector<oid> name;
  for (std::string_view arc : common::SplitList(text, '.')) {
    if (const auto number = common::ParseDecimal(arc)) name.push_back(*number);
  }
  return name;
}

template <typename Number>
std::string BytesOf(Number number) {
  std::string bytes(sizeof number, '\0');
  std::memcpy(bytes.data(), &number, sizeof number);
  return bytes;
}

std::string HexBytes(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

PrinterObject ObjectOf(const SnmpRecord& record) {
  PrinterObject object;
  object.name = NameOf(record.oid);
  if (record.tag == "2") {
    object.type = ASN_INTEGER;
    object.value = BytesOf(static_cast<long>(std::stol(record.value)));
  } else if (record.tag == "4x") {
    object.type = ASN_OCTET_STR;
    object.value = HexBytes(record.value);
  } else if (record.tag == "6") {
    object.type = ASN_OBJECT_ID;
    for (oid arc : NameOf(record.value)) object.value += BytesOf(arc);
  } else if (record.tag == "64") {
    object.type = ASN_IPADDRESS;
    for (oid arc : NameOf(record.value)) object.value += static_cast<char>(arc);
  } else if (record.tag == "65" || record.tag == "66" || record.tag == "67") {
    object.type = record.tag == "65" ? ASN_COUNTER : record.tag == "66" ? ASN_GAUGE : ASN_TIMETICKS;
    object.value = BytesOf(static_cast<u_long>(std::stoul(record.value)));
  } else {
    object.type = ASN_OCTET_STR;
    object.value = record.value;
  }
  return object;
}

bool Before(const PrinterObject& object, const std::vector<oid>& name) {
  return snmp_oid_compare(object.name.data(), object.name.size(), name.data(), name.size()) < 0;
}

}  // namespace

PrinterObjectTable::PrinterObjectTable(const std::vector<SnmpRecord>& records) {
  for (const SnmpRecord& record : records) objects_.push_back(ObjectOf(record));
  std::sort(objects_.begin(), objects_.end(),
            [](const PrinterObject& a, const PrinterObject& b) { return Before(a, b.name); });
}

const PrinterObject* PrinterObjectTable::Find(const oid* name, std::size_t length) const {
  const std::vector<oid> wanted(name, name + length);
  const auto found = std::lower_bound(objects_.begin(), objects_.end(), wanted, Before);
  if (found == objects_.end() || found->name != wanted) return nullptr;
  return &*found;
}

std::size_t PrinterObjectTable::After(const oid* name, std::size_t length) const {
  const auto next = std::upper_bound(objects_.begin(), objects_.end(), std::vector<oid>(name, name + length),
                                     [](const std::vector<oid>& wanted, const PrinterObject& object) {
                                       return snmp_oid_compare(wanted.data(), wanted.size(), object.name.data(),
                                                               object.name.size()) < 0;
                                     });
  return static_cast<std::size_t>(next - objects_.begin());
}

}  // namespace snmp_test

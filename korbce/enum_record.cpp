#include "korbce/enum_record.h"

#include <algorithm>

namespace korbce {

EnumRecord BuildEnumRecord(const PrinterState& printer) {
  namespace layout = PrinterEnumRecordLayout;
  EnumRecord record{};
  std::copy(printer.macAddress.begin(), printer.macAddress.end(), record.begin() + layout::kMacAddress);
  WriteLe16(&record[layout::kEnumPrinterId], printer.id);
  WriteLe32(&record[layout::kProtocolFlags], printer.protocolFlags);
  WriteLe16(&record[layout::kAdapterType], printer.adapterType);
  WriteLe16(&record[layout::kPortType], printer.portType);
  return record;
}

}  // namespace korbce

#include "service/printer_table.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "bce/bce.h"
#include "common/ipv4_text.h"
#include "platform/host_lookup.h"
#include "service/printer_names.h"

namespace {

using Lock = platform::ScopedLock<platform::RecursiveCriticalSection>;

constexpr std::size_t kIdCount = std::size_t{UINT16_MAX} + 1;

std::string FormatMacAddress(const std::uint8_t* mac) {
  char text[2 * PrinterEnumRecordLayout::kMacAddressLength + 1];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  return text;
}

}  // namespace

void PrinterTable::AddOrUpdate(PrinterEnumRecord enumInfo) {
  Lock lock(lock_);
  std::uint16_t printerId = enumInfo.EnumPrinterId();
  if (PrinterRecord* known = Find(printerId)) {
    known->enumInfo = enumInfo;
    return;
  }
  if (positions_.empty()) positions_.resize(kIdCount);
  // Out of memory above or here: the table stays as it was.
  PrinterRecord& added = records_.emplace_back();
  added.printerId = printerId;
  added.enumInfo = enumInfo;
  positions_[printerId] = static_cast<std::uint32_t>(records_.size());
}

std::size_t PrinterTable::Count() const {
  Lock lock(lock_);
  return records_.size();
}

std::size_t PrinterTable::CountNotCommunicating() const {
  Lock lock(lock_);
  return static_cast<std::size_t>(
      std::count_if(records_.begin(), records_.end(), [](const PrinterRecord& r) { return r.isCommunicating == 0; }));
}

std::size_t PrinterTable::CopyIds(std::span<std::uint16_t> destination) const {
  Lock lock(lock_);
  std::size_t copied = std::min(records_.size(), destination.size());
  std::transform(records_.begin(), records_.begin() + copied, destination.begin(),
                 [](const PrinterRecord& record) { return record.printerId; });
  return copied;
}

// The engine and the name server are asked with the lock released, so that
// alerts are taken meanwhile.
void PrinterTable::ResolveHostNames() {
  for (std::uint16_t printerId : TcpIpPrinterIds()) {
    auto address = ReadField(printerId, std::optional<PrinterAddressBlock>(),
                             [](const PrinterRecord& r) { return r.addressInfo; });
    if (!address) continue;  // the lock was released since the ids were taken
    BceGetPrinterAddrEx(printerId, 0, address->bytes.data(), ADDRESS_KIND_IP);
    auto name = platform::ReverseLookup(
        common::ParseIPv4NetworkOrder(address->IpAddressText()).value_or(common::kNoIPv4Address));
    Lock lock(lock_);
    if (PrinterRecord* record = Find(printerId)) {
      record->addressInfo = *address;
      if (name) record->hostName = std::move(*name);
    }
  }
}

std::vector<std::uint16_t> PrinterTable::TcpIpPrinterIds() const {
  Lock lock(lock_);
  std::vector<std::uint16_t> ids;
  for (const PrinterRecord& record : records_) {
    if (record.enumInfo.IsTcpIp()) ids.push_back(record.printerId);
  }
  return ids;
}

template <class Result, class Read>
Result PrinterTable::ReadField(std::uint16_t printerId, Result unknown, Read read) const {
  Lock lock(lock_);
  const PrinterRecord* record = Find(printerId);
  return record ? Result(read(*record)) : unknown;
}

std::string PrinterTable::GetMacAddressText(std::uint16_t printerId) const {
  return ReadField(printerId, std::string(),
                   [](const PrinterRecord& r) { return FormatMacAddress(r.enumInfo.MacAddress()); });
}

std::string PrinterTable::GetIpAddressText(std::uint16_t printerId) const {
  return ReadField(printerId, std::string(), [](const PrinterRecord& r) {
    return r.enumInfo.IsTcpIp() ? r.addressInfo.IpAddressText() : std::string();
  });
}

std::string PrinterTable::GetHostName(std::uint16_t printerId) const {
  return ReadField(printerId, std::string(), [](const PrinterRecord& r) { return r.hostName; });
}

std::string PrinterTable::GetPrinterModel(std::uint16_t printerId) const {
  return ReadField(printerId, std::string(), [](const PrinterRecord& r) { return r.printerModel; });
}

std::string PrinterTable::GetAdapterProductName(std::uint16_t printerId) const {
  return ReadField(printerId, std::string(),
                   [](const PrinterRecord& r) { return std::string(AdapterProductName(r.enumInfo.AdapterType())); });
}

std::string PrinterTable::GetPortName(std::uint16_t printerId) const {
  return ReadField(printerId, std::string(),
                   [](const PrinterRecord& r) { return std::string(PortAttachmentName(r.enumInfo.PortType())); });
}

std::int32_t PrinterTable::IsOffline(std::uint16_t printerId) const {
  return ReadField(printerId, std::int32_t{1}, [](const PrinterRecord& r) { return r.isOffline; });
}

std::int32_t PrinterTable::IsCommunicating(std::uint16_t printerId) const {
  return ReadField(printerId, std::int32_t{0}, [](const PrinterRecord& r) { return r.isCommunicating; });
}

void PrinterTable::ToggleOffline(std::uint16_t printerId) {
  Lock lock(lock_);
  if (PrinterRecord* record = Find(printerId)) record->isOffline = record->isOffline == 0 ? 1 : 0;
}

void PrinterTable::ToggleCommunicating(std::uint16_t printerId) {
  Lock lock(lock_);
  if (PrinterRecord* record = Find(printerId)) record->isCommunicating = record->isCommunicating == 0 ? 1 : 0;
}

void PrinterTable::ForEachRecordOf(std::uint16_t printerId, const std::function<void(PrinterRecord&)>& visit) {
  Lock lock(lock_);
  // Ids are unique in the table: a printer has one record at most.
  if (PrinterRecord* record = Find(printerId)) visit(*record);
}

PrinterRecord* PrinterTable::Find(std::uint16_t printerId) {
  if (positions_.empty() || positions_[printerId] == 0) return nullptr;
  return &records_[positions_[printerId] - 1];
}

const PrinterRecord* PrinterTable::Find(std::uint16_t printerId) const {
  return const_cast<PrinterTable*>(this)->Find(printerId);
}

#pragma once
// The service's table of monitored printers, keyed by the engine's printer id.
// Every operation but ResolveHostNames holds the table's recursive lock for
// its whole duration, so a thread that already holds it (through
// ForEachRecordOf) may call the others.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/critical_section.h"
#include "service/printer_record.h"

class PrinterTable {
 public:
  PrinterTable() = default;
  virtual ~PrinterTable() = default;
  PrinterTable(const PrinterTable&) = delete;
  PrinterTable& operator=(const PrinterTable&) = delete;

  // Refreshes the description of a known printer, or appends a new record.
  void AddOrUpdate(PrinterEnumRecord enumInfo);
  std::size_t Count() const;
  // The printers whose communication is lost.
  std::size_t CountNotCommunicating() const;
  // Copies the ids of the first records, as many as destination holds;
  // returns how many were copied.
  std::size_t CopyIds(std::span<std::uint16_t> destination) const;
  // Fills the address block and host name of every TCP/IP printer through the
  // engine and a reverse look-up, made with the table's lock released.
  void ResolveHostNames();

  std::string GetMacAddressText(std::uint16_t printerId) const;
  std::string GetIpAddressText(std::uint16_t printerId) const;
  std::string GetHostName(std::uint16_t printerId) const;
  std::string GetPrinterModel(std::uint16_t printerId) const;
  std::string GetAdapterProductName(std::uint16_t printerId) const;
  std::string GetPortName(std::uint16_t printerId) const;
  // 1 for an unknown id.
  std::int32_t IsOffline(std::uint16_t printerId) const;
  // 0 for an unknown id.
  std::int32_t IsCommunicating(std::uint16_t printerId) const;
  void ToggleOffline(std::uint16_t printerId);
  void ToggleCommunicating(std::uint16_t printerId);

  // Runs visit on every record of the id, in table order, with the lock held.
  // visit may call the other operations but must not add records.
  void ForEachRecordOf(std::uint16_t printerId, const std::function<void(PrinterRecord&)>& visit);

 private:
  std::vector<std::uint16_t> TcpIpPrinterIds() const;
  PrinterRecord* Find(std::uint16_t printerId) REQUIRES(lock_);
  const PrinterRecord* Find(std::uint16_t printerId) const REQUIRES(lock_);
  template <class Result, class Read>
  Result ReadField(std::uint16_t printerId, Result unknown, Read read) const;

  // Taken after the event queue's lock, never before it.
  mutable platform::RecursiveCriticalSection lock_;
  // Ids unique, in order of discovery. A record is over a kilobyte: a deque
  // holds each where it was made, where a vector would move them all and keep
  // room for as many again each time it grows.
  std::deque<PrinterRecord> records_ GUARDED_BY(lock_);
  // Position + 1 in records_ of each id, 0 for an id without a record: every
  // event composed looks its printer up several times, so that a large table
  // costs no search. One slot per 16-bit id, allocated with the first record:
  // 256 KB, where a hash map of a full fleet takes several megabytes.
  std::vector<std::uint32_t> positions_ GUARDED_BY(lock_);
};

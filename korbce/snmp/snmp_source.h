#pragma once
// Network printers over SNMP: the probes of an enumeration, the ids kept in
// the id file, and the polls of captured printers. Every SNMP request goes
// through the transport's one thread; the engine's calls only hand it work
// and read the states the polls left, so that no call waits for the network
// except an enumeration.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "korbce/printer_source.h"
#include "korbce/snmp/notification_receiver.h"
#include "korbce/snmp/printer_conditions.h"
#include "korbce/snmp/printer_ids.h"
#include "korbce/snmp/printer_snapshot.h"
#include "korbce/snmp/problem_log.h"
#include "korbce/snmp/snmp_config.h"
#include "korbce/snmp/snmp_request.h"
#include "korbce/snmp/snmp_transport.h"
#include "platform/critical_section.h"

namespace platform {
struct ProfileDocument;
}

namespace korbce {
namespace snmp {
struct DecodedPrinter;
}

class SnmpSource : public PrinterSource {
 public:
  // defaultIdFile: the IdFile when the section names none (empty: under
  // KOREVNTS_ROOT). taken tells the ids other sources use.
  SnmpSource(std::string defaultIdFile, std::function<bool(std::uint16_t)> taken);
  ~SnmpSource() override;

  // Takes the [SNMP] section of the engine's file; cheap while the document
  // stays the same. No section: no network printers.
  void Refresh(EngineFile& file) override EXCLUDES(mutex_);
  // The subnets the adapter hands over, swept by the next enumeration.
  void SetSubnets(std::vector<Subnet> subnets) override EXCLUDES(mutex_);
  // Ends the transport's thread, and closes the notification port.
  void Stop() override;

  std::optional<PrinterList> Enumerate(std::uint32_t mask) override EXCLUDES(mutex_);
  PrinterList EnumeratePort(std::string_view port) override EXCLUDES(mutex_);
  std::shared_ptr<const PrinterState> Find(std::uint16_t id) override EXCLUDES(mutex_);
  void Watch(std::uint16_t id, std::optional<std::chrono::seconds> checkInterval) override EXCLUDES(mutex_);
  StateChanges TakeStateChanges() override EXCLUDES(mutex_);

 private:
  struct NetworkPrinter;
  struct Probe {
    snmp::SessionSettings settings;
    std::uint32_t address = 0;  // first dotted part most significant
    std::string key;            // the id file's key when the printer has no hardware address
    bool target = false;        // configured: watched even while it does not answer
  };

  // Resolves the target's name when it is one, so never called with mutex_ held.
  static std::optional<Probe> ProbeOf(const snmp::SnmpConfig& config, const snmp::SnmpTarget& target);
  PrinterList ProbeAll(const std::vector<Probe>& probes);
  std::shared_ptr<const PrinterState> Found(const Probe& probe, const snmp::FetchResult& result) EXCLUDES(mutex_);
  // Whether the answer shows a printer; decoded receives what it holds.
  snmp::DecodedPrinter Decode(const Probe& probe, const std::vector<snmp::VarBind>& objects,
                              std::optional<std::int32_t> knownDevice = std::nullopt);
  bool ShowsPrinter(const Probe& probe, const snmp::FetchResult& result, snmp::DecodedPrinter& decoded);
  std::shared_ptr<const PrinterState> Remember(const Probe& probe, snmp::DecodedPrinter& decoded) EXCLUDES(mutex_);
  std::optional<std::uint16_t> IdFor(const Probe& probe, const std::string& key) REQUIRES(mutex_);
  // A probe that got no answer: the printer the id file or an earlier probe
  // knows at that address, or a new one for a target, watched until it answers.
  std::shared_ptr<const PrinterState> Silent(const Probe& probe) EXCLUDES(mutex_);
  void SaveIds() EXCLUDES(idFileLock_, mutex_);
  void Tick() EXCLUDES(mutex_);
  // On the transport's thread: opens the notification port as [SNMP] says,
  // and takes the notifications that have come.
  void TakeNotifications() EXCLUDES(mutex_);
  // A notification from the address: every watched printer there is polled
  // at once, with at most one such extra poll a second. Whether there is one.
  bool Notified(std::uint32_t address) EXCLUDES(mutex_);
  void IndexAddresses() REQUIRES(mutex_);
  static bool ExtraPollDue(const NetworkPrinter& printer, std::chrono::steady_clock::time_point now);
  static std::chrono::steady_clock::time_point ExtraPollTime(const NetworkPrinter& printer);
  void Visit(NetworkPrinter& printer, std::chrono::steady_clock::time_point now) REQUIRES(mutex_);
  // Puts the printer in the schedule at the earliest time it has something due.
  void Schedule(NetworkPrinter& printer) REQUIRES(mutex_);
  void StartPoll(NetworkPrinter& printer, std::chrono::steady_clock::time_point now) REQUIRES(mutex_);
  void StartProbe(NetworkPrinter& printer) REQUIRES(mutex_);
  void Probed(std::uint16_t id, const Probe& probe, const snmp::FetchResult& result) EXCLUDES(mutex_);
  NetworkPrinter* FetchEnded(std::uint16_t id, const snmp::FetchResult& result) REQUIRES(mutex_);
  void Missed(NetworkPrinter& printer) REQUIRES(mutex_);
  void Polled(std::uint16_t id, snmp::FetchResult result) EXCLUDES(mutex_);
  void Refreshed(std::uint16_t id, snmp::FetchResult result) EXCLUDES(mutex_);
  void Publish(NetworkPrinter& printer, bool configChanged) REQUIRES(mutex_);
  // Notes that Find tells the printer differently.
  void Changed(std::uint16_t id) REQUIRES(mutex_);
  snmp::PrinterConditions ConditionsOf(NetworkPrinter& printer, bool configChanged) REQUIRES(mutex_);

  const std::string defaultIdFile_;
  // Asks the fleet source, whose lock nests inside mutex_.
  const std::function<bool(std::uint16_t)> taken_;

  // Held while the id file's text is taken and written, so that a write never
  // replaces a later one; the engine's calls never wait for it.
  platform::CriticalSection idFileLock_ ACQUIRED_BEFORE(mutex_);
  std::string idFileProblem_ GUARDED_BY(idFileLock_);

  // Taken inside the engine's lock and never held while the engine's core is
  // called, nor while a name is resolved or a file written. Held while taken_
  // asks the fleet source, so that a new id is given at once to one printer.
  platform::CriticalSection mutex_;
  std::shared_ptr<const platform::ProfileDocument> document_ GUARDED_BY(mutex_);
  std::optional<snmp::SnmpConfig> config_ GUARDED_BY(mutex_);
  std::unique_ptr<snmp::PrinterIds> ids_ GUARDED_BY(mutex_) PT_GUARDED_BY(mutex_);
  std::vector<Subnet> subnets_ GUARDED_BY(mutex_);
  std::map<std::uint16_t, std::unique_ptr<NetworkPrinter>> printers_ GUARDED_BY(mutex_);
  // The printers at each address, for notifications; made again, when stale,
  // by the first notification after printers came, went or moved.
  std::unordered_multimap<std::uint32_t, std::uint16_t> byAddress_ GUARDED_BY(mutex_);
  bool byAddressStale_ GUARDED_BY(mutex_) = true;
  // When each printer is next due, so that a turn of the transport's thread
  // visits only the printers due, not all of them. At most one entry a printer.
  std::set<std::pair<std::chrono::steady_clock::time_point, std::uint16_t>> due_ GUARDED_BY(mutex_);
  bool transportStarted_ GUARDED_BY(mutex_) = false;
  // The printers published or dropped since the engine's check last took
  // them, or every printer; bounded even when no check takes them.
  StateChanges changes_ GUARDED_BY(mutex_){.all = true, .ids = {}};

  snmp::ProblemLog problems_;
  // Used on the transport's thread only, and closed once it has ended.
  snmp::NotificationReceiver receiver_{[this](std::uint32_t address) { return Notified(address); }};
  snmp::SnmpTransport transport_;  // last: its thread ends before the rest goes
};

}  // namespace korbce

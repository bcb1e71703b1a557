#pragma once
// Network printers of the SNMP end-to-end tests and the events they should
// give, as the console shows them: the condition table (every condition a
// printer reports, with the event it becomes, or none), served one printer
// per community of a test agent.

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "e2e_support.h"
#include "korbce/snmp/printer_snapshot.h"
#include "tests/support/snmp_agent.h"

namespace e2e {

// What the console shows of one event.
struct Shown {
  std::string severity, message;
  bool operator<(const Shown& other) const {
    return std::tie(severity, message) < std::tie(other.severity, other.message);
  }
  bool operator==(const Shown&) const = default;
};

inline void PrintTo(const Shown& shown, std::ostream* out) { *out << shown.severity << " '" << shown.message << "'"; }

inline Shown Critical(std::string message) { return {"CRITICAL", std::move(message)}; }
inline Shown Warning(std::string message) { return {"WARNING", std::move(message)}; }
inline Shown Harmless(std::string message) { return {"HARMLESS", std::move(message)}; }

// One printer of a scenario: served by its own community, with its own
// hardware address and model, so that its events can be told apart.
struct Printer {
  std::string community;
  korbce::snmp::PrinterSnapshot snapshot;
  std::vector<Shown> expected;  // in any order
};

korbce::snmp::PrinterSnapshot WithAlerts(std::vector<korbce::snmp::AlertRow> alerts);
korbce::snmp::PrinterSnapshot WithErrorState(unsigned first, unsigned second,
                                            std::vector<korbce::snmp::AlertRow> alerts = {});

// Every condition of the printer MIB, one printer each, with its events.
std::vector<Printer> ConditionTable();

// The recording of the printer, with a hardware address made of number.
std::vector<snmp_test::SnmpRecord> RecordsOf(const Printer& printer, std::size_t number);
// Gives each printer a model naming its community and writes its recording.
bool Serve(snmp_test::SnmpAgent& agent, std::vector<Printer>& printers);
// The engine's Targets key naming every printer's community at the agent,
// and the communities more.
std::string TargetsOf(const std::vector<Printer>& printers, const std::string& endpoint,
                      std::vector<std::string> more = {});

// The events of the printer the receiver has had so far.
std::vector<Shown> ShownOf(const Printer& printer, const Receiver& receiver);
std::vector<Shown> Sorted(std::vector<Shown> shown);

}  // namespace e2e

#pragma once
// An SNMP agent of the tests' own that serves many printers at once, fast
// enough that a benchmark measures the engine rather than the agent.
//
// Printers 1 to N live in memory, each with the objects of a printer
// recording (PrinterRecords) and a hardware address of its own. A request
// names its printer by its community (SNMPv1/v2c) or its context name
// (SNMPv3): p00001 ... pNNNNN; or, when the agent listens on a port per
// printer, by the port it arrives at. net-snmp's library parses and builds
// every message (SNMPv3 with one USM user), on one thread of the agent's own.
//
// A printer's paper jam (an alert row and the jammed bit of its error state)
// is switched on and off while the agent runs: by SetJam, or by a SET of the
// printer's hrPrinterDetectedErrorState.1 to 04 (jammed) or 00, which lets
// another process drive a standalone agent; the community "all" sets every
// printer at once.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/snmp_agent.h"

namespace snmp_test {

class FastSnmpAgent {
 public:
  struct Options {
    std::size_t printers = 1;
    bool portPerPrinter = false;
    // The one SNMPv3 user, authPriv with SHA and AES (the protocols of
    // SnmpV3User are not read). Without it SNMPv3 requests go unanswered.
    std::optional<SnmpV3User> v3User;
  };

  FastSnmpAgent();
  ~FastSnmpAgent();
  FastSnmpAgent(const FastSnmpAgent&) = delete;
  FastSnmpAgent& operator=(const FastSnmpAgent&) = delete;

  // Binds 127.0.0.1 and starts answering; false, with the reason in
  // Problem(), when it cannot. One agent per process: net-snmp keeps the
  // SNMPv3 users and the engine id for the whole process.
  bool Start(const Options& options);
  void Stop();

  // printer counts from 1; other numbers are ignored.
  void SetJam(std::size_t printer, bool jammed);
  void SetJamAll(bool jammed);

  // The port printer is asked at.
  std::uint16_t Port(std::size_t printer) const;
  std::size_t Printers() const;
  // Datagrams received so far: requests, SNMPv3 discovery included.
  std::uint64_t Requests() const;
  const std::string& Problem() const { return problem_; }

  // "p00001" for printer 1.
  static std::string Community(std::size_t printer);
  // The objects printer serves, as a recording: what a walk of it returns.
  static std::vector<SnmpRecord> Records(std::size_t printer, bool jammed);

 private:
  struct Serving;
  std::unique_ptr<Serving> serving_;
  std::string problem_;
};

}  // namespace snmp_test

#pragma once
// An SNMP agent for tests: snmpsimd on 127.0.0.1, on a free UDP port of its
// own, serving recordings that the test writes. Each recording is one
// community (data/<community>.snmprec); the agent re-reads a recording whose
// modification time moves forward, which Write takes care of.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/child_process.h"

namespace snmp_test {

// One line of a recording: "oid|tag|value". Tags: 2 Integer32, 4 OCTET STRING,
// 4x the same in hexadecimal, 6 OBJECT IDENTIFIER, 64 IpAddress, 65 Counter32,
// 66 Gauge32, 67 TimeTicks.
struct SnmpRecord {
  std::string oid;
  std::string tag;
  std::string value;
};

// The recording's text, its lines in the numeric order of their OIDs, as
// snmpsimd needs them.
std::string RecordingText(std::vector<SnmpRecord> records);

// An SNMPv3 user of the agent (USM). Protocols as snmpsimd spells them:
// MD5, SHA, SHA256; AES, DES.
struct SnmpV3User {
  std::string name;
  std::string authProtocol = "SHA";
  std::string authKey;
  std::string privProtocol = "AES";
  std::string privKey;
};

// The community under which an SNMPv3 request without a context name finds
// its recording: snmpsimd picks the recording named after the UDP transport.
constexpr char kV3Community[] = "1.3.6.1.6.1.1.0";

class SnmpAgent {
 public:
  // Keeps its data, index and log files in directory (created when missing).
  explicit SnmpAgent(std::filesystem::path directory);
  // Stops the agent (resuming it first when it is paused).
  ~SnmpAgent();
  SnmpAgent(const SnmpAgent&) = delete;
  SnmpAgent& operator=(const SnmpAgent&) = delete;

  // Whether snmpsimd is installed; tests skip without it.
  static bool Available();

  // Writes or replaces the recording of community: a new file renamed over
  // the old one, its modification time moved past the old one's.
  bool Write(const std::string& community, const std::vector<SnmpRecord>& records);
  // Writes raw text as the recording, for recordings a test spoils on purpose.
  bool WriteText(const std::string& community, const std::string& text);

  // Starts snmpsimd (v1/v2c only, or with the SNMPv3 user) and waits until it
  // listens; false, with the reason in Problem(), when it does not.
  bool Start(const std::optional<SnmpV3User>& v3User = std::nullopt);
  // Starts it again on the same port with the same user, indexing every
  // recording at start rather than at the first request that needs it.
  bool Restart();
  void Stop();
  // Makes the agent fall silent (SIGSTOP) and answer again (SIGCONT).
  bool Pause();
  bool Resume();

  std::uint16_t Port() const { return port_; }
  int ProcessId() const { return process_.ProcessId(); }
  // "127.0.0.1:port"
  std::string Endpoint() const;
  const std::string& Problem() const { return problem_; }
  std::string Log() const;

 private:
  std::filesystem::path RecordingPath(const std::string& community) const;
  // Starts snmpsimd and waits until it listens.
  bool Launch();
  bool WaitUntilListening();
  bool Running();

  std::filesystem::path directory_;
  platform::ChildProcess process_;
  std::uint16_t port_ = 0;
  std::optional<SnmpV3User> v3User_;
  bool paused_ = false;
  std::string problem_;
};

// A UDP port of 127.0.0.1 that nothing listens on now; 0 when none is found.
std::uint16_t FreeUdpPort();

}  // namespace snmp_test

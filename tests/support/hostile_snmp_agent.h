#pragma once
// An SNMPv2c agent of the tests' own on 127.0.0.1 that misbehaves on demand
// where snmpsimd cannot: it answers late and a few objects at a time, with
// an error status, with a walk that does not increase, or has a forger answer
// first from another port. It serves the same recordings as SnmpAgent.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_socket.h"
#include "tests/support/snmp_agent.h"

namespace snmp_test {

class HostileSnmpAgent {
 public:
  struct Behaviour {
    std::chrono::milliseconds delay{0};  // before each answer
    std::size_t bulkObjects = 0;         // most objects in a GETBULK answer; 0: as many as asked
    int errorStatus = 0;                 // put in every answer (5 is genErr)
    bool nonIncreasing = false;          // a walk's answers repeat the object asked for
    bool silent = false;                 // no answer at all
    // When not empty: before each answer, one with the same request-id built
    // from these records, sent from another port of 127.0.0.1.
    std::vector<SnmpRecord> forged;
    // The forged answer comes from the agent's own port with another
    // request-id instead.
    bool forgedWithWrongId = false;
  };

  HostileSnmpAgent() = default;
  ~HostileSnmpAgent();
  HostileSnmpAgent(const HostileSnmpAgent&) = delete;
  HostileSnmpAgent& operator=(const HostileSnmpAgent&) = delete;

  // Binds a free UDP port of 127.0.0.1 and serves the records there.
  bool Start(const std::vector<SnmpRecord>& records);
  void Stop();
  void Serve(const std::vector<SnmpRecord>& records);
  void Set(Behaviour behaviour);

  std::uint16_t Port() const { return port_; }
  std::string Endpoint() const { return "127.0.0.1:" + std::to_string(port_); }
  // Requests received so far.
  std::size_t Requests() const { return requests_; }

  using Oid = std::vector<std::uint32_t>;
  struct Value {
    std::uint8_t tag = 0x05;
    std::string bytes;  // the encoded contents
  };
  using Objects = std::map<Oid, Value>;

 private:
  void Loop();
  void Answer(const std::string& request, std::uint32_t peerAddress, std::uint16_t peerPort);

  platform::UniqueSocket socket_;
  platform::UniqueSocket forger_;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> requests_{0};
  std::mutex mutex_;
  Objects objects_;
  Objects forged_;
  Behaviour behaviour_;
  std::thread thread_;
};

}  // namespace snmp_test

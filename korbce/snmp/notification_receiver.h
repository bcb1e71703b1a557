#pragma once
// SNMP notifications from printers: SNMPv1 traps, SNMPv2c and SNMPv3 traps
// and informs (informs are answered). A notification only hints that a
// printer has something new to tell: the receiver checks its community or
// user, and hands the sender's address on; what the printer reports comes
// from the poll that the hint starts.
//
// Everything here runs on the transport's thread, the one that calls
// net-snmp: Configure and Read from its tick, Close once the thread has
// ended.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "korbce/snmp/credentials.h"
#include "korbce/snmp/problem_log.h"

namespace korbce::snmp {

struct NotificationSettings {
  std::uint16_t port = 0;  // 0: no receiver
  std::string community;   // of SNMPv1 and SNMPv2c notifications
  // Of SNMPv3 notifications; none taken when it has no name. A trap is
  // authenticated with the sender's engine id, which the engine learns when
  // it polls the printer with the same user; an inform with the engine's
  // own id, which the sender learns by asking.
  V3User user;

  bool operator==(const NotificationSettings&) const = default;
};

class NotificationReceiver {
 public:
  // Told the sender's IPv4 address (first dotted part most significant) of
  // each notification whose community or user is right; returns whether the
  // address is a watched printer's.
  using Notified = std::function<bool(std::uint32_t address)>;

  explicit NotificationReceiver(Notified notified);
  ~NotificationReceiver();
  NotificationReceiver(const NotificationReceiver&) = delete;
  NotificationReceiver& operator=(const NotificationReceiver&) = delete;

  // Opens the port, or opens it again when the settings changed; a port it
  // cannot take is said on the trace and tried again a minute later.
  void Configure(const NotificationSettings& settings);
  // Takes the notifications that have come, without waiting for more.
  void Read();
  void Close();

  struct Session;

 private:
  void Open();

  Notified notified_;
  // Notifications dropped, each sender's at most once a minute.
  ProblemLog dropped_{"SNMP notification from"};
  NotificationSettings settings_;
  std::unique_ptr<Session> session_;
  std::optional<std::chrono::steady_clock::time_point> retryAt_;
};

}  // namespace korbce::snmp

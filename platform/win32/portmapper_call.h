#pragma once
// One portmapper call over UDP: the call is sent again while no reply comes,
// at growing intervals, until a total time has passed.

#include <cstdint>
#include <optional>

#include "platform/win32/portmapper_message.h"

namespace platform {

// The RPC library's standard timing: the first wait 5 seconds, each
// following one twice the last, at most 30, and 60 seconds in all.
struct RetransmitTimes {
  int firstWaitMs = 5000;
  int longestWaitMs = 30000;
  int totalMs = 60000;
};

// Calls the portmapper at address:port (network byte order); the reply's
// result, or nothing when the call was refused, failed or got no reply in
// time. A port that nothing listens on fails the call at once. From a
// reserved local port (below 1024) when asked and the system allows it: the
// portmapper takes registrations only from there.
std::optional<std::uint32_t> CallPortmapper(std::uint32_t address, std::uint16_t port,
                                            PortmapperProcedure procedure, const PortmapperMapping& mapping,
                                            bool fromReservedPort, const RetransmitTimes& times = {});

}  // namespace platform

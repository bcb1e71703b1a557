#pragma once
// Sockets the service manager opened for the service before starting it
// (socket activation), so that the service needs no privilege for a port
// below 1024.

#include <cstdint>

#include "platform/unique_socket.h"

namespace platform {

// A copy of the IPv4 UDP socket bound to port that the service manager
// passed to this process; invalid when it passed none. Each call gives a new
// copy, which the caller owns: the passed socket itself stays open, so that
// the port can be taken again later.
UniqueSocket ActivatedDatagramSocket(std::uint16_t port);

}  // namespace platform

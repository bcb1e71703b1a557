#pragma once
// IPv4 stream sockets: connecting and sending for the TEC sender, listening and
// receiving for the TEC receiver. Addresses and ports are in network byte order.

#include <cstddef>
#include <cstdint>

#include "platform/unique_socket.h"

namespace platform {

// A blocking IPv4 stream socket connected to address:port, or an invalid
// socket (the operating system's connect time-out applies).
UniqueSocket ConnectTcp4(std::uint32_t address, std::uint16_t port);

// Sends every byte, repeating after a partial send, and stops at the first
// error. The number of bytes sent: length, or fewer after an error. Never
// raises SIGPIPE.
std::size_t SendAll(NativeHandle socket, const void* data, std::size_t length);

// True when the peer has closed or reset the connection. Does not wait and
// consumes nothing.
bool PeerHasClosed(NativeHandle socket);

// Shuts the connection down in both directions (the socket stays open).
void ShutdownBoth(NativeHandle socket);

// A socket bound to address:port (port 0 picks a free one). With listen false
// the socket is bound but does not listen, so connections to it are refused.
// Invalid when binding fails; boundPort receives the port taken.
UniqueSocket BindTcp4(std::uint32_t address, std::uint16_t port, bool listen, std::uint16_t& boundPort);

// Accepts one pending connection without blocking (the new socket does not
// block either); invalid when none is pending. peer receives its address.
UniqueSocket AcceptTcp(NativeHandle listener, std::uint32_t& peerAddress, std::uint16_t& peerPort);

// Reads what is available without blocking: the byte count, 0 when the peer
// has closed, -1 on error, -2 when nothing is available yet.
long ReceiveSome(NativeHandle socket, void* buffer, std::size_t capacity);

}  // namespace platform

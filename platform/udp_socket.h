#pragma once
// IPv4 datagram sockets for request and reply exchanges with one peer.
// Addresses and ports are in network byte order.

#include <cstddef>
#include <cstdint>

#include "platform/unique_socket.h"

namespace platform {

constexpr long kDatagramTimedOut = -2;

// A UDP socket bound to localPort (0 picks any) and connected to
// address:port, so that it receives that peer's datagrams only and learns
// when nothing listens on the peer's port. Invalid when binding or
// connecting fails.
UniqueSocket ConnectUdp4(std::uint32_t address, std::uint16_t port, std::uint16_t localPort = 0);

// Sends one datagram to the connected peer; false on error.
bool SendDatagram(NativeHandle socket, const void* data, std::size_t length);

// Waits up to timeoutMs for one datagram: its size (cut to capacity),
// kDatagramTimedOut when none came, -1 on error, also when the peer's port
// was found unreachable.
long ReceiveDatagram(NativeHandle socket, void* buffer, std::size_t capacity, int timeoutMs);

// A UDP socket bound to address:port (port 0 picks a free one) that serves
// any peer; invalid when binding fails. boundPort receives the port taken.
UniqueSocket BindUdp4(std::uint32_t address, std::uint16_t port, std::uint16_t& boundPort);

// As ReceiveDatagram, on an unconnected socket: peer receives the sender.
long ReceiveDatagramFrom(NativeHandle socket, void* buffer, std::size_t capacity, int timeoutMs,
                         std::uint32_t& peerAddress, std::uint16_t& peerPort);

// Sends one datagram to address:port; false on error.
bool SendDatagramTo(NativeHandle socket, const void* data, std::size_t length, std::uint32_t address,
                    std::uint16_t port);

}  // namespace platform

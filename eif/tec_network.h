#pragma once
// The network side of the TEC sender: name resolution, the portmapper look-up,
// connecting, sending and closing. Tests put in a network of their own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// ONC RPC program and version under which a TEC server registers its TCP port.
constexpr std::uint32_t TEC_RPC_PROGRAM = 100033057;
constexpr std::uint32_t TEC_RPC_VERSION = 1;

// An open TCP connection to a TEC server; destroying it shuts it down in both
// directions and closes it.
class TecConnection {
 public:
  virtual ~TecConnection() = default;
  // Sends every byte and stops at the first error; the number of bytes sent.
  virtual std::size_t SendAll(const void* data, std::size_t length) = 0;
  // True when the server has already closed or reset the connection, so that
  // anything sent now would be lost.
  virtual bool PeerHasClosed() = 0;
};

// Addresses and ports are in network byte order.
class TecNetwork {
 public:
  virtual ~TecNetwork() = default;
  // The name read as a dotted IPv4 address, else its first resolved address.
  virtual std::optional<std::uint32_t> ResolveServer(const std::string& name) = 0;
  virtual std::uint16_t LookupTecPort(std::uint32_t address) = 0;
  virtual std::unique_ptr<TecConnection> ConnectTcp(std::uint32_t address, std::uint16_t port) = 0;
};

// Real sockets, the resolver and the portmapper.
TecNetwork& DefaultTecNetwork();

// The TEC server's TCP port from the portmapper of the host at address
// (program TEC_RPC_PROGRAM, version 1, TCP), or 0.
std::uint16_t LookupTecPort(std::uint32_t address);

// A connected TCP connection, or null.
std::unique_ptr<TecConnection> ConnectTcp(std::uint32_t address, std::uint16_t port);

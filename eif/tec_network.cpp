#include "eif/tec_network.h"

#include "common/ipv4_text.h"
#include "platform/host_lookup.h"
#include "platform/portmapper.h"
#include "platform/tcp_socket.h"

namespace {

class SocketConnection final : public TecConnection {
 public:
  explicit SocketConnection(platform::UniqueSocket socket) : socket_(std::move(socket)) {}
  ~SocketConnection() override { platform::ShutdownBoth(socket_.Get()); }

  std::size_t SendAll(const void* data, std::size_t length) override {
    return platform::SendAll(socket_.Get(), data, length);
  }
  bool PeerHasClosed() override { return platform::PeerHasClosed(socket_.Get()); }

 private:
  platform::UniqueSocket socket_;
};

class SocketNetwork final : public TecNetwork {
 public:
  std::optional<std::uint32_t> ResolveServer(const std::string& name) override {
    if (std::optional<std::uint32_t> address = common::ParseIPv4NetworkOrder(name)) return address;
    return platform::ResolveIPv4Address(name);
  }
  std::uint16_t LookupTecPort(std::uint32_t address) override { return ::LookupTecPort(address); }
  std::unique_ptr<TecConnection> ConnectTcp(std::uint32_t address, std::uint16_t port) override {
    return ::ConnectTcp(address, port);
  }
};

}  // namespace

TecNetwork& DefaultTecNetwork() {
  static SocketNetwork network;
  return network;
}

std::uint16_t LookupTecPort(std::uint32_t address) {
  return platform::PortmapperGetPort(address, TEC_RPC_PROGRAM, TEC_RPC_VERSION, platform::kProtocolTcp);
}

std::unique_ptr<TecConnection> ConnectTcp(std::uint32_t address, std::uint16_t port) {
  if (port == 0) return nullptr;
  platform::UniqueSocket socket = platform::ConnectTcp4(address, port);
  if (!socket.IsValid()) return nullptr;
  return std::make_unique<SocketConnection>(std::move(socket));
}

#include "eif_test_support.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "common/byte_order.h"
#include "eif/eif_config.h"
#include "eif/tec_frame.h"

ScratchDirectory::ScratchDirectory() {
  std::random_device random;
  root_ = std::filesystem::temp_directory_path() / ("eif-test-" + std::to_string(random()));
  std::filesystem::create_directories(root_);
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

int LoadConfig(const std::string& path, const std::string& content) {
  WriteFile(path, content);
  return EifReadConfig(path);
}

std::string MakeEvent(const std::string& severity, const std::string& message, std::size_t padTo) {
  std::string event = "Korvane_Printer_Alert;source=Korvane_Printers;severity=" + severity + ";msg='" + message +
                      "';printer_address='0001E6A1B2C3';printer_model='LaserJet';origin='10.1.1.5';"
                      "hostname='prt5';port_attachment='';adapter_product='';END\n\x01";
  if (event.size() < padTo) event.insert(event.find("';printer_address"), padTo - event.size(), 'x');
  return event;
}

std::vector<std::string> DecodeFrames(const std::string& bytes) {
  std::vector<std::string> events;
  std::size_t offset = 0;
  while (bytes.size() - offset >= FRAME_HEADER_SIZE) {
    char header[FRAME_HEADER_SIZE];
    std::memcpy(header, bytes.data() + offset, FRAME_HEADER_SIZE);
    TecFrameHeader fields = ParseFrameHeader(header);
    if (fields.error != nullptr || bytes.size() - offset - FRAME_HEADER_SIZE < fields.textLength) break;
    events.push_back(bytes.substr(offset + FRAME_HEADER_SIZE, fields.textLength));
    offset += FRAME_HEADER_SIZE + fields.textLength;
  }
  return events;
}

namespace {

int ServerNumber(std::uint32_t address) { return static_cast<int>(address >> 24); }

class FakeConnection final : public TecConnection {
 public:
  FakeConnection(FakeNetwork& network, FakeServer& server, std::string name)
      : network_(network), server_(server), name_(std::move(name)), generation_(server.generation) {}
  ~FakeConnection() override { network_.log.push_back("close " + name_); }

  std::size_t SendAll(const void* data, std::size_t length) override {
    if (server_.failSends || PeerHasClosed()) return 0;
    std::size_t taken = std::min(length, server_.byteBudget);
    server_.byteBudget -= taken;
    server_.bytes.append(static_cast<const char*>(data), taken);
    server_.sendSizes.push_back(taken);
    return taken;
  }
  bool PeerHasClosed() override { return generation_ != server_.generation; }

 private:
  FakeNetwork& network_;
  FakeServer& server_;
  std::string name_;
  int generation_;
};

}  // namespace

std::uint32_t FakeNetwork::Address(int n) { return static_cast<std::uint32_t>(10 | (n << 24)); }

FakeServer& FakeNetwork::Server(int n, std::uint16_t port) { return servers_[{n, port}]; }

std::optional<std::uint32_t> FakeNetwork::ResolveServer(const std::string& name) {
  if (name.rfind("server", 0) != 0) return std::nullopt;
  return Address(std::atoi(name.c_str() + 6));
}

std::uint16_t FakeNetwork::LookupTecPort(std::uint32_t address) {
  int n = ServerNumber(address);
  log.push_back("lookup " + std::to_string(n));
  auto found = portmap.find(n);
  return found == portmap.end() ? 0 : common::HostToNetwork16(found->second);
}

std::unique_ptr<TecConnection> FakeNetwork::ConnectTcp(std::uint32_t address, std::uint16_t port) {
  int n = ServerNumber(address);
  std::uint16_t hostPort = common::NetworkToHost16(port);
  std::string name = std::to_string(n) + ":" + std::to_string(hostPort);
  log.push_back("connect " + name);
  auto found = servers_.find({n, hostPort});
  if (port == 0 || found == servers_.end() || !found->second.accepting) return nullptr;
  ++found->second.connections;
  return std::make_unique<FakeConnection>(*this, found->second, name);
}

#include "tests/support/rpcbind_server.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/byte_order.h"
#include "platform/portmapper.h"

namespace test_support {

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

bool PortmapperAnswers() {
  // The portmapper registers itself, version 2 over UDP included.
  return platform::PortmapperGetPort(common::HostToNetwork32(0x7F000001), 100000, 2, platform::kProtocolUdp) != 0;
}

bool RpcbindServer::EnsureRunning(const std::string& errorPath, std::string* why) {
  if (PortmapperAnswers()) return true;
  const std::string program = std::filesystem::exists("/usr/sbin/rpcbind") ? "/usr/sbin/rpcbind" : "/sbin/rpcbind";
  if (process_.Start(program, {"-f", "-w"}, "", errorPath)) {
    for (int i = 0; i < 100; ++i) {
      if (PortmapperAnswers()) return true;
      if (!process_.IsRunning()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  if (why) *why = "rpcbind is not running and could not be started (it needs root): " + ReadText(errorPath);
  return false;
}

}  // namespace test_support

// The test agent when the tests run under Wine: snmpsimd, a Linux program,
// started and signalled by wine-snmp-agent.sh, which Wine runs as a Unix
// process. Such a process comes without a handle, so the script tells the
// end of each step in a file of the agent's folder.

#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/support/snmp_agent.h"

namespace snmp_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The Unix name of a file as Wine sees it; empty outside Wine.
std::string UnixPath(const fs::path& path) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  const auto toUnix =
      reinterpret_cast<ToUnix>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return {};
  char* unixPath = toUnix(path.wstring().c_str());
  if (unixPath == nullptr) return {};
  std::string text = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return text;
}

// Runs one step of the script and waits until it has written its status;
// true when the step succeeded.
bool RunStep(const fs::path& directory, const std::vector<std::string>& arguments) {
  const fs::path done = directory / "step.done";
  std::error_code ignored;
  fs::remove(done, ignored);
  std::string command = "/bin/sh " + UnixPath(KOR_WINE_SNMP_AGENT_SCRIPT);
  for (const std::string& argument : arguments) command += " " + argument;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  for (auto end = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(20ms)) {
    std::ifstream status(done);
    int code = -1;
    if (status >> code) return code == 0;
  }
  return false;
}

}  // namespace

std::uint16_t FreeUdpPort() {
  WSADATA data{};
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
  const SOCKET fd = socket(AF_INET, SOCK_DGRAM, 0);
  std::uint16_t port = 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (fd != INVALID_SOCKET && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  if (fd != INVALID_SOCKET) closesocket(fd);
  WSACleanup();
  return port;
}

bool SnmpAgent::Available() {
  return !UnixPath(KOR_WINE_SNMP_AGENT_SCRIPT).empty() && fs::exists("Z:\\usr\\bin\\snmpsimd");
}

bool SnmpAgent::Launch() {
  std::vector<std::string> arguments = {"start", UnixPath(directory_), std::to_string(port_)};
  if (v3User_) {
    arguments.insert(arguments.end(), {v3User_->name, v3User_->authProtocol, v3User_->authKey,
                                       v3User_->privProtocol, v3User_->privKey});
  }
  if (!RunStep(directory_, arguments)) {
    problem_ = "snmpsimd cannot be started";
    return false;
  }
  return WaitUntilListening();
}

void SnmpAgent::Stop() {
  if (fs::exists(directory_ / "agent.pid")) RunStep(directory_, {"stop", UnixPath(directory_)});
  paused_ = false;
}

bool SnmpAgent::Pause() {
  paused_ = RunStep(directory_, {"pause", UnixPath(directory_)});
  return paused_;
}

bool SnmpAgent::Resume() {
  if (!RunStep(directory_, {"resume", UnixPath(directory_)})) return false;
  paused_ = false;
  return true;
}

// Whether it still runs is not known here: a failed start shows as an agent
// that never listens.
bool SnmpAgent::Running() { return true; }

}  // namespace snmp_test

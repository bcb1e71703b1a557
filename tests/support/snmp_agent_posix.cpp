// The test agent on Linux: snmpsimd as a child process of the test.

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/snmp_agent.h"

namespace snmp_test {
namespace {

namespace fs = std::filesystem;

// snmpsimd refuses to run as root; it then runs as nobody, which must be able
// to read the recordings and write the index.
std::vector<std::string> PrivilegeOptions() {
  if (geteuid() != 0) return {};
  const passwd* user = getpwnam("nobody");
  if (user == nullptr) return {};
  const group* userGroup = getgrgid(user->pw_gid);
  if (userGroup == nullptr) return {};
  return {"--process-user=nobody", std::string("--process-group=") + userGroup->gr_name};
}

}  // namespace

std::uint16_t FreeUdpPort() {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  std::uint16_t port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

bool SnmpAgent::Available() {
  for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"}) {
    if (access((std::string(dir) + "/snmpsimd").c_str(), X_OK) == 0) return true;
  }
  return false;
}

bool SnmpAgent::Launch() {
  const std::optional<SnmpV3User>& v3User = v3User_;
  std::error_code ignored;
  fs::remove(directory_ / "agent.log", ignored);
  std::vector<std::string> arguments = PrivilegeOptions();
  arguments.insert(arguments.end(),
                   {"--data-dir=" + (directory_ / "data").string(), "--cache-dir=" + (directory_ / "cache").string(),
                    "--agent-udpv4-endpoint=127.0.0.1:" + std::to_string(port_),
                    "--logging-method=file:" + (directory_ / "agent.log").string()});
  if (v3User) {
    arguments.insert(arguments.end(), {"--v3-user=" + v3User->name, "--v3-auth-key=" + v3User->authKey,
                                       "--v3-auth-proto=" + v3User->authProtocol, "--v3-priv-key=" + v3User->privKey,
                                       "--v3-priv-proto=" + v3User->privProtocol});
  } else {
    arguments.push_back("--v2c-arch");
  }
  const std::string output = (directory_ / "agent.out").string();
  if (!process_.Start("snmpsimd", arguments, output, output)) {
    problem_ = "snmpsimd cannot be started";
    return false;
  }
  return WaitUntilListening();
}

void SnmpAgent::Stop() {
  if (paused_) Resume();
  if (Running()) process_.Stop();
}

bool SnmpAgent::Pause() {
  if (process_.ProcessId() <= 0 || kill(process_.ProcessId(), SIGSTOP) != 0) return false;
  paused_ = true;
  return true;
}

bool SnmpAgent::Resume() {
  if (process_.ProcessId() <= 0 || kill(process_.ProcessId(), SIGCONT) != 0) return false;
  paused_ = false;
  return true;
}

bool SnmpAgent::Running() { return process_.ProcessId() > 0 && process_.IsRunning(); }

}  // namespace snmp_test

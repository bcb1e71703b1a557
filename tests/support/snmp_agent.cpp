#include "tests/support/snmp_agent.h"

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace snmp_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kStartLimit = 30s;  // snmpsimd is a Python program; sanitizer runs load the machine

std::vector<unsigned long> OidNumbers(const std::string& oid) {
  std::vector<unsigned long> numbers;
  std::istringstream stream(oid);
  for (std::string part; std::getline(stream, part, '.');) {
    if (!part.empty()) numbers.push_back(std::stoul(part));
  }
  return numbers;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

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

void OpenToEveryone(const fs::path& path) {
  std::error_code ignored;
  fs::permissions(path, fs::perms::all, fs::perm_options::replace, ignored);
}

}  // namespace

std::string RecordingText(std::vector<SnmpRecord> records) {
  std::stable_sort(records.begin(), records.end(), [](const SnmpRecord& a, const SnmpRecord& b) {
    return OidNumbers(a.oid) < OidNumbers(b.oid);
  });
  std::string text;
  for (const SnmpRecord& record : records) text += record.oid + "|" + record.tag + "|" + record.value + "\n";
  return text;
}

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

SnmpAgent::SnmpAgent(fs::path directory) : directory_(std::move(directory)) {
  for (const char* sub : {"", "data", "cache"}) {
    fs::create_directories(directory_ / sub);
    OpenToEveryone(directory_ / sub);
  }
}

SnmpAgent::~SnmpAgent() { Stop(); }

bool SnmpAgent::Available() {
  for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"}) {
    if (access((std::string(dir) + "/snmpsimd").c_str(), X_OK) == 0) return true;
  }
  return false;
}

fs::path SnmpAgent::RecordingPath(const std::string& community) const {
  return directory_ / "data" / (community + ".snmprec");
}

bool SnmpAgent::Write(const std::string& community, const std::vector<SnmpRecord>& records) {
  return WriteText(community, RecordingText(records));
}

bool SnmpAgent::WriteText(const std::string& community, const std::string& text) {
  const fs::path path = RecordingPath(community);
  const fs::path temporary = path.string() + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file.flush()) return false;
  }
  // The agent keeps its index while the recording's mtime (whole seconds) is
  // not newer than the index: the new file must be seconds ahead of both.
  std::error_code error;
  auto mtime = fs::file_time_type::clock::now() + 2s;
  if (fs::exists(path)) mtime = std::max(mtime, fs::last_write_time(path, error) + 2s);
  OpenToEveryone(temporary);
  fs::rename(temporary, path, error);
  if (error) return false;
  fs::last_write_time(path, mtime, error);
  return !error;
}

bool SnmpAgent::Start(const std::optional<SnmpV3User>& v3User) {
  Stop();
  port_ = FreeUdpPort();
  if (port_ == 0) {
    problem_ = "no free UDP port on 127.0.0.1";
    return false;
  }
  v3User_ = v3User;
  return Launch();
}

bool SnmpAgent::Restart() {
  Stop();
  if (port_ == 0) return Start(v3User_);
  return Launch();
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

bool SnmpAgent::WaitUntilListening() {
  const std::string ready = "Listening at UDP/IPv4 endpoint 127.0.0.1:" + std::to_string(port_);
  for (auto end = std::chrono::steady_clock::now() + kStartLimit; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(50ms)) {
    if (Log().find(ready) != std::string::npos) return true;
    if (!process_.IsRunning()) break;
  }
  problem_ = "snmpsimd did not start listening: " + ReadFile(directory_ / "agent.out");
  Stop();
  return false;
}

void SnmpAgent::Stop() {
  if (paused_) Resume();
  if (process_.ProcessId() > 0 && process_.IsRunning()) process_.Stop();
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

std::string SnmpAgent::Endpoint() const { return "127.0.0.1:" + std::to_string(port_); }

std::string SnmpAgent::Log() const { return ReadFile(directory_ / "agent.log"); }

}  // namespace snmp_test

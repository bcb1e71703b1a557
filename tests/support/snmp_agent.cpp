#include "tests/support/snmp_agent.h"

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

SnmpAgent::SnmpAgent(fs::path directory) : directory_(std::move(directory)) {
  for (const char* sub : {"", "data", "cache"}) {
    fs::create_directories(directory_ / sub);
    OpenToEveryone(directory_ / sub);
  }
}

SnmpAgent::~SnmpAgent() { Stop(); }

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

bool SnmpAgent::WaitUntilListening() {
  const std::string ready = "Listening at UDP/IPv4 endpoint 127.0.0.1:" + std::to_string(port_);
  for (auto end = std::chrono::steady_clock::now() + kStartLimit; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(50ms)) {
    if (Log().find(ready) != std::string::npos) return true;
    if (!Running()) break;
  }
  problem_ = "snmpsimd did not start listening: " + ReadFile(directory_ / "agent.out");
  Stop();
  return false;
}

std::string SnmpAgent::Endpoint() const { return "127.0.0.1:" + std::to_string(port_); }

std::string SnmpAgent::Log() const { return ReadFile(directory_ / "agent.log"); }

}  // namespace snmp_test

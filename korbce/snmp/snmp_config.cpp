#include "korbce/snmp/snmp_config.h"

#include <array>
#include <optional>
#include <set>
#include <utility>

#include "common/decimal_text.h"
#include "common/list_text.h"
#include "common/yes_no_text.h"
#include "profile/profile.h"
#include "platform/trace.h"

namespace korbce::snmp {
namespace {

using common::EqualsIgnoreCase;
using platform::ProfileEntry;

constexpr std::uint32_t kMaxTimeoutMs = 60000;
constexpr std::uint32_t kMaxRetries = 10;
constexpr std::uint32_t kMaxPollSeconds = 3600;
constexpr std::uint32_t kMaxInFlight = 1024;
constexpr std::uint32_t kMaxPercent = 100;
// net-snmp refuses shorter USM passwords.
constexpr std::size_t kMinPasswordLength = 8;

template <class Value>
using Choices = std::vector<std::pair<std::string_view, Value>>;

class ConfigReader {
 public:
  ConfigReader(std::string_view fileName, SnmpConfig& config)
      : fileName_(fileName), config_(config), credentials_(config.credentials) {}

  void Read(const ProfileEntry& entry) {
    const std::string_view key = entry.key;
    if (EqualsIgnoreCase(key, "Targets")) return ReadTargets(entry);
    if (EqualsIgnoreCase(key, "Community")) return ReadText(entry, credentials_.community);
    if (EqualsIgnoreCase(key, "Version")) {
      return ReadChoice(entry, Choices<SnmpVersion>{{"1", SnmpVersion::V1}, {"2c", SnmpVersion::V2c},
                                                    {"3", SnmpVersion::V3}},
                        credentials_.version);
    }
    if (EqualsIgnoreCase(key, "User")) return ReadText(entry, credentials_.user.name);
    if (EqualsIgnoreCase(key, "AuthProtocol")) {
      return ReadChoice(entry, Choices<AuthProtocol>{{"SHA", AuthProtocol::SHA}, {"SHA-256", AuthProtocol::SHA256},
                                                     {"MD5", AuthProtocol::MD5}},
                        credentials_.user.authProtocol);
    }
    if (EqualsIgnoreCase(key, "AuthPassword")) return ReadPassword(entry, credentials_.user.authPassword);
    if (EqualsIgnoreCase(key, "PrivProtocol")) {
      return ReadChoice(entry, Choices<PrivProtocol>{{"AES", PrivProtocol::AES}, {"DES", PrivProtocol::DES}},
                        credentials_.user.privProtocol);
    }
    if (EqualsIgnoreCase(key, "PrivPassword")) return ReadPassword(entry, credentials_.user.privPassword);
    if (EqualsIgnoreCase(key, "SecurityLevel")) {
      return ReadChoice(entry, Choices<SecurityLevel>{{"noAuthNoPriv", SecurityLevel::NoAuthNoPriv},
                                                      {"authNoPriv", SecurityLevel::AuthNoPriv},
                                                      {"authPriv", SecurityLevel::AuthPriv}},
                        credentials_.user.securityLevel);
    }
    if (EqualsIgnoreCase(key, "Port")) return ReadPort(entry);
    if (EqualsIgnoreCase(key, "Timeout")) {
      if (auto value = ReadNumber(entry, 1, kMaxTimeoutMs)) config_.timeout = std::chrono::milliseconds(*value);
      return;
    }
    if (EqualsIgnoreCase(key, "Retries")) {
      if (auto value = ReadNumber(entry, 0, kMaxRetries)) config_.retries = *value;
      return;
    }
    if (EqualsIgnoreCase(key, "Poll")) {
      if (auto value = ReadNumber(entry, 1, kMaxPollSeconds)) config_.poll = std::chrono::seconds(*value);
      return;
    }
    if (EqualsIgnoreCase(key, "ScanSubnets")) {
      const auto value = common::ParseYesNo(entry.value);
      if (!value) return Reject(entry, "Yes or No");
      config_.scanSubnets = *value;
      return;
    }
    if (EqualsIgnoreCase(key, "MaxInFlight")) {
      if (auto value = ReadNumber(entry, 1, kMaxInFlight)) config_.maxInFlight = *value;
      return;
    }
    if (EqualsIgnoreCase(key, "IdFile")) return ReadText(entry, config_.idFile);
    if (EqualsIgnoreCase(key, "SupplyLowPercent")) {
      if (auto value = ReadNumber(entry, 0, kMaxPercent)) config_.supplyLowPercent = *value;
      return;
    }
    if (EqualsIgnoreCase(key, "TrapPort")) {
      if (auto value = ReadNumber(entry, 0, 0xFFFF)) config_.trapPort = static_cast<std::uint16_t>(*value);
      return;
    }
    if (EqualsIgnoreCase(key, "TrapCommunity")) return ReadText(entry, config_.trapCommunity);
    Report(entry.line, "unknown key " + entry.key + " ignored");
  }

  // Problems of the whole section, once every key is read.
  void CheckSecurity(int line) {
    if (credentials_.version != SnmpVersion::V3) return;
    V3User& user = credentials_.user;
    if (user.name.empty()) {
      Report(line, "Version 3 needs a User; SNMP version 2c is used");
      credentials_.version = SnmpVersion::V2c;
      return;
    }
    const bool needsAuth = user.securityLevel != SecurityLevel::NoAuthNoPriv;
    const bool needsPriv = user.securityLevel == SecurityLevel::AuthPriv;
    if ((needsAuth && user.authPassword.empty()) || (needsPriv && user.privPassword.empty())) {
      Report(line, "SecurityLevel needs AuthPassword" + std::string(needsPriv ? " and PrivPassword" : "") +
                       "; noAuthNoPriv is used");
      user.securityLevel = SecurityLevel::NoAuthNoPriv;
    }
  }

  void Report(int line, const std::string& problem) const {
    platform::OutputDebugString("korbce: " + std::string(fileName_) + ":" + std::to_string(line) + ": [SNMP] " +
                                problem + "\n");
  }

 private:
  void Reject(const ProfileEntry& entry, const std::string& expectation) const {
    Report(entry.line, entry.key + " \"" + entry.value + "\" is not " + expectation + "; the default is used");
  }

  void ReadText(const ProfileEntry& entry, std::string& field) {
    if (entry.value.empty()) return Reject(entry, "a text");
    field = entry.value;
  }

  void ReadPassword(const ProfileEntry& entry, std::string& field) {
    if (entry.value.size() < kMinPasswordLength) {
      return Report(entry.line, entry.key + " is shorter than " + std::to_string(kMinPasswordLength) +
                                    " characters; value ignored");
    }
    field = entry.value;
  }

  template <class Value>
  void ReadChoice(const ProfileEntry& entry, const Choices<Value>& choices, Value& field) {
    std::string names;
    for (const auto& [name, value] : choices) {
      if (EqualsIgnoreCase(entry.value, name)) return void(field = value);
      names += (names.empty() ? "" : ", ") + std::string(name);
    }
    Reject(entry, "one of " + names);
  }

  std::optional<std::uint32_t> ReadNumber(const ProfileEntry& entry, std::uint32_t lowest, std::uint32_t highest) {
    const auto value = common::ParseDecimal(entry.value);
    if (!value || *value < lowest || *value > highest) {
      Reject(entry, "a number from " + std::to_string(lowest) + " to " + std::to_string(highest));
      return std::nullopt;
    }
    return value;
  }

  void ReadPort(const ProfileEntry& entry) {
    if (auto value = ReadNumber(entry, 1, 0xFFFF)) config_.port = static_cast<std::uint16_t>(*value);
  }

  void ReadTargets(const ProfileEntry& entry) {
    targetsEntry_ = &entry;
  }

 public:
  // Targets take the Port of the section, wherever it stands in it.
  void ReadTargetsLast() {
    if (targetsEntry_ == nullptr) return;
    for (std::string_view text : common::SplitList(targetsEntry_->value, ',')) {
      if (text.empty()) continue;
      if (auto target = ParseTarget(text, config_.port)) {
        config_.targets.push_back(std::move(*target));
      } else {
        Report(targetsEntry_->line, "target \"" + std::string(text) +
                                        "\" is not host, host:port, community@host or community@host:port; "
                                        "target ignored");
      }
    }
  }

 private:
  std::string_view fileName_;
  SnmpConfig& config_;
  Credentials& credentials_;
  const ProfileEntry* targetsEntry_ = nullptr;
};

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

}  // namespace

SnmpConfig ReadSnmpConfig(const platform::ProfileSection& section, std::string_view fileName,
                          std::string defaultIdFile) {
  SnmpConfig config;
  config.idFile = std::move(defaultIdFile);
  ConfigReader reader(fileName, config);
  std::set<std::string> seen;
  for (const ProfileEntry& entry : section.entries) {
    if (!seen.insert(LowerCase(entry.key)).second) {
      reader.Report(entry.line, "key " + entry.key + " is given twice; value ignored");
    } else {
      reader.Read(entry);
    }
  }
  reader.ReadTargetsLast();
  reader.CheckSecurity(section.line);
  return config;
}

}  // namespace korbce::snmp

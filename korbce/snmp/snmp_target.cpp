#include "korbce/snmp/snmp_target.h"

#include <array>

#include "common/blank_text.h"
#include "common/decimal_text.h"
#include "profile/profile.h"

namespace korbce::snmp {
namespace {

constexpr std::array<std::string_view, 6> kPrintSchemes = {"socket", "lpd", "ipp", "ipps", "http", "https"};
constexpr std::string_view kSnmpScheme = "snmp";
constexpr std::size_t kMaxHostName = 253;

bool IsHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_';
}

bool IsHostName(std::string_view host) {
  if (host.empty() || host.size() > kMaxHostName) return false;
  for (char c : host) {
    if (!IsHostCharacter(c)) return false;
  }
  return true;
}

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  const auto port = common::ParseDecimal(text);
  if (!port || *port == 0 || *port > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(*port);
}

// "host" or "host:port".
std::optional<SnmpTarget> ParseHostAndPort(std::string_view text, std::uint16_t defaultPort) {
  SnmpTarget target;
  target.port = defaultPort;
  const std::size_t colon = text.find(':');
  if (colon != std::string_view::npos) {
    const auto port = ParsePort(text.substr(colon + 1));
    if (!port) return std::nullopt;
    target.port = *port;
    text = text.substr(0, colon);
  }
  if (!IsHostName(text)) return std::nullopt;
  target.host = std::string(text);
  return target;
}

}  // namespace

std::optional<SnmpTarget> ParseTarget(std::string_view text, std::uint16_t defaultPort) {
  text = common::TrimBlanks(text);
  std::string community;
  if (const std::size_t at = text.rfind('@'); at != std::string_view::npos) {
    community = std::string(text.substr(0, at));
    if (community.empty()) return std::nullopt;
    text = text.substr(at + 1);
  }
  auto target = ParseHostAndPort(text, defaultPort);
  if (target) target->community = std::move(community);
  return target;
}

std::optional<SnmpTarget> TargetOfDeviceUri(std::string_view uri, std::uint16_t defaultPort) {
  const std::size_t separator = uri.find("://");
  if (separator == std::string_view::npos) return std::nullopt;
  const std::string_view scheme = uri.substr(0, separator);
  const bool snmpUri = common::EqualsIgnoreCase(scheme, kSnmpScheme);
  bool printUri = false;
  for (std::string_view known : kPrintSchemes) printUri = printUri || common::EqualsIgnoreCase(scheme, known);
  if (!snmpUri && !printUri) return std::nullopt;
  std::string_view authority = uri.substr(separator + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  // user information before the host is no part of it
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority = authority.substr(at + 1);
  auto target = ParseHostAndPort(authority, defaultPort);
  if (target && !snmpUri) target->port = defaultPort;
  return target;
}

}  // namespace korbce::snmp

#pragma once
// Where an SNMP printer is asked: a host, a UDP port and, for SNMPv1/v2c, the
// community or, for SNMPv3, the context name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korbce::snmp {

struct SnmpTarget {
  std::string host;       // a name or a dotted IPv4 address
  std::uint16_t port = 0;
  std::string community;  // SNMPv3: the context name; empty: the configured one

  bool operator==(const SnmpTarget&) const = default;
};

// "host", "host:port", "community@host" or "community@host:port"; nothing
// when the text is none of these (a port must be 1 to 65535).
std::optional<SnmpTarget> ParseTarget(std::string_view text, std::uint16_t defaultPort);

// The printer's host in a device URI that names one on the network: socket,
// lpd, ipp, ipps, http, https and snmp URIs. The print port of the URI is not
// the SNMP port: the target takes defaultPort, except for snmp://host:port.
std::optional<SnmpTarget> TargetOfDeviceUri(std::string_view uri, std::uint16_t defaultPort);

}  // namespace korbce::snmp

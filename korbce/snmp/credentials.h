#pragma once
// What a request to a printer's SNMP agent proves itself with: the version,
// and the community or the SNMPv3 user.

#include <string>

namespace korbce::snmp {

enum class SnmpVersion { V1, V2c, V3 };
enum class AuthProtocol { MD5, SHA, SHA256 };
enum class PrivProtocol { AES, DES };
enum class SecurityLevel { NoAuthNoPriv, AuthNoPriv, AuthPriv };

// An SNMPv3 user, and how its messages are authenticated and encrypted.
struct V3User {
  std::string name;
  SecurityLevel securityLevel = SecurityLevel::NoAuthNoPriv;
  AuthProtocol authProtocol = AuthProtocol::SHA;
  std::string authPassword;
  PrivProtocol privProtocol = PrivProtocol::AES;
  std::string privPassword;

  bool operator==(const V3User&) const = default;
};

struct Credentials {
  SnmpVersion version = SnmpVersion::V2c;
  std::string community = "public";  // versions 1 and 2c
  V3User user;                        // version 3
  // Version 3: the context the printer's objects are read in, which tells
  // apart printers that one agent serves at one address; empty: the default.
  std::string contextName;

  bool operator==(const Credentials&) const = default;
};

}  // namespace korbce::snmp

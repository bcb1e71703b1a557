#include "tests/support/hostile_snmp_agent.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "common/byte_order.h"
#include "platform/udp_socket.h"

namespace snmp_test {
namespace {

using Oid = HostileSnmpAgent::Oid;
using Value = HostileSnmpAgent::Value;
using Objects = HostileSnmpAgent::Objects;

const std::uint32_t kLoopback = common::HostToNetwork32(0x7F000001);
constexpr std::uint8_t kGet = 0xA0, kResponse = 0xA2, kGetBulk = 0xA5;  // GETNEXT is any other
constexpr std::uint8_t kEndOfMibView = 0x82;

// BER, as far as SNMPv2c needs it.
std::string Tlv(std::uint8_t tag, const std::string& contents) {
  std::string out(1, static_cast<char>(tag));
  const std::size_t length = contents.size();
  if (length < 0x80) {
    out += static_cast<char>(length);
  } else {
    std::string bytes;
    for (std::size_t rest = length; rest != 0; rest >>= 8) bytes.insert(bytes.begin(), static_cast<char>(rest & 0xFF));
    out += static_cast<char>(0x80 | bytes.size());
    out += bytes;
  }
  return out + contents;
}

std::string IntegerBytes(std::int64_t value) {
  std::string bytes;
  do {
    bytes.insert(bytes.begin(), static_cast<char>(value & 0xFF));
    value >>= 8;
  } while (!((value == 0 && (bytes[0] & 0x80) == 0) || (value == -1 && (bytes[0] & 0x80) != 0)));
  return bytes;
}

std::string OidBytes(const Oid& oid) {
  std::string bytes;
  for (std::size_t i = oid.size() >= 2 ? 1 : 0; i < oid.size(); ++i) {
    std::uint32_t arc = i == 1 ? oid[0] * 40 + oid[1] : oid[i];
    std::string part(1, static_cast<char>(arc & 0x7F));
    for (arc >>= 7; arc != 0; arc >>= 7) part.insert(part.begin(), static_cast<char>(0x80 | (arc & 0x7F)));
    bytes += part;
  }
  return bytes;
}

Oid ParseOid(const std::string& text) {
  Oid oid;
  std::istringstream parts(text);
  for (std::string part; std::getline(parts, part, '.');) {
    if (!part.empty()) oid.push_back(static_cast<std::uint32_t>(std::stoul(part)));
  }
  return oid;
}

Value ValueOf(const SnmpRecord& record) {
  if (record.tag == "2") return {0x02, IntegerBytes(std::stoll(record.value))};
  if (record.tag == "6") return {0x06, OidBytes(ParseOid(record.value))};
  if (record.tag == "4x") {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < record.value.size(); i += 2) {
      bytes += static_cast<char>(std::stoi(record.value.substr(i, 2), nullptr, 16));
    }
    return {0x04, bytes};
  }
  if (record.tag == "65" || record.tag == "66" || record.tag == "67") {
    return {static_cast<std::uint8_t>(0x41 + (record.tag[1] - '5')), IntegerBytes(std::stoll(record.value))};
  }
  return {0x04, record.value};
}

Objects ObjectsOf(const std::vector<SnmpRecord>& records) {
  Objects objects;
  for (const SnmpRecord& record : records) objects[ParseOid(record.oid)] = ValueOf(record);
  return objects;
}

// Reads one TLV at offset; the contents, with offset moved past it.
std::optional<std::string> Read(const std::string& data, std::size_t& offset, std::uint8_t& tag) {
  if (offset + 2 > data.size()) return std::nullopt;
  tag = static_cast<std::uint8_t>(data[offset++]);
  std::size_t length = static_cast<std::uint8_t>(data[offset++]);
  if (length & 0x80) {
    const std::size_t count = length & 0x7F;
    length = 0;
    for (std::size_t i = 0; i < count && offset < data.size(); ++i) {
      length = (length << 8) | static_cast<std::uint8_t>(data[offset++]);
    }
  }
  if (offset + length > data.size()) return std::nullopt;
  std::string contents = data.substr(offset, length);
  offset += length;
  return contents;
}

std::int64_t IntegerOf(const std::string& bytes) {
  std::int64_t value = bytes.empty() || (bytes[0] & 0x80) == 0 ? 0 : -1;
  for (char byte : bytes) value = (value << 8) | static_cast<std::uint8_t>(byte);
  return value;
}

Oid OidOf(const std::string& bytes) {
  Oid oid;
  std::uint32_t arc = 0;
  for (char byte : bytes) {
    arc = (arc << 7) | (byte & 0x7F);
    if (byte & 0x80) continue;
    if (oid.empty()) {
      oid.push_back(arc / 40);
      oid.push_back(arc % 40);
    } else {
      oid.push_back(arc);
    }
    arc = 0;
  }
  return oid;
}

struct Request {
  std::string community;
  std::uint8_t type = 0;
  std::int64_t id = 0;
  std::int64_t maxRepetitions = 0;
  std::vector<Oid> names;
};

std::optional<Request> ParseRequest(const std::string& datagram) {
  std::size_t offset = 0;
  std::uint8_t tag = 0;
  const auto message = Read(datagram, offset, tag);
  if (!message) return std::nullopt;
  Request request;
  std::size_t at = 0;
  if (!Read(*message, at, tag)) return std::nullopt;  // version
  const auto community = Read(*message, at, tag);
  const auto pdu = Read(*message, at, request.type);
  if (!community || !pdu) return std::nullopt;
  request.community = *community;
  std::size_t in = 0;
  const auto id = Read(*pdu, in, tag);
  Read(*pdu, in, tag);
  const auto repetitions = Read(*pdu, in, tag);
  const auto binds = Read(*pdu, in, tag);
  if (!id || !repetitions || !binds) return std::nullopt;
  request.id = IntegerOf(*id);
  request.maxRepetitions = IntegerOf(*repetitions);
  for (std::size_t bind = 0; bind < binds->size();) {
    const auto pair = Read(*binds, bind, tag);
    std::size_t inPair = 0;
    const auto name = pair ? Read(*pair, inPair, tag) : std::nullopt;
    if (!name) return std::nullopt;
    request.names.push_back(OidOf(*name));
  }
  return request;
}

using Bind = std::pair<Oid, Value>;

std::vector<Bind> Lookup(const Request& request, const Objects& objects, const HostileSnmpAgent::Behaviour& behaviour) {
  std::vector<Bind> binds;
  if (request.type == kGet) {
    for (const Oid& name : request.names) {
      const auto found = objects.find(name);
      binds.emplace_back(name, found != objects.end() ? found->second : Value{0x81, ""});
    }
    return binds;
  }
  const std::size_t rounds = request.type == kGetBulk ? static_cast<std::size_t>(std::max<std::int64_t>(1, request.maxRepetitions)) : 1;
  std::vector<Oid> cursors = request.names;
  for (std::size_t round = 0; round < rounds; ++round) {
    for (Oid& cursor : cursors) {
      if (behaviour.nonIncreasing) {
        binds.emplace_back(cursor, Value{0x02, IntegerBytes(1)});
        continue;
      }
      const auto next = objects.upper_bound(cursor);
      if (next == objects.end()) {
        binds.emplace_back(cursor, Value{kEndOfMibView, ""});
        continue;
      }
      cursor = next->first;
      binds.emplace_back(next->first, next->second);
    }
    if (behaviour.bulkObjects != 0 && binds.size() >= behaviour.bulkObjects) break;
  }
  if (behaviour.bulkObjects != 0 && binds.size() > behaviour.bulkObjects) binds.resize(behaviour.bulkObjects);
  return binds;
}

std::string Response(const Request& request, const std::vector<Bind>& binds, int errorStatus) {
  std::string list;
  for (const auto& [name, value] : binds) list += Tlv(0x30, Tlv(0x06, OidBytes(name)) + Tlv(value.tag, value.bytes));
  const std::string pdu = Tlv(0x02, IntegerBytes(request.id)) + Tlv(0x02, IntegerBytes(errorStatus)) +
                          Tlv(0x02, IntegerBytes(errorStatus != 0 ? 1 : 0)) + Tlv(0x30, list);
  return Tlv(0x30, Tlv(0x02, IntegerBytes(1)) + Tlv(0x04, request.community) + Tlv(kResponse, pdu));
}

}  // namespace

HostileSnmpAgent::~HostileSnmpAgent() { Stop(); }

bool HostileSnmpAgent::Start(const std::vector<SnmpRecord>& records) {
  Serve(records);
  socket_ = platform::BindUdp4(kLoopback, 0, port_);
  std::uint16_t forgerPort = 0;
  forger_ = platform::BindUdp4(kLoopback, 0, forgerPort);
  if (!socket_.IsValid() || !forger_.IsValid()) return false;
  port_ = common::NetworkToHost16(port_);
  thread_ = std::thread([this] { Loop(); });
  return true;
}

void HostileSnmpAgent::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void HostileSnmpAgent::Serve(const std::vector<SnmpRecord>& records) {
  Objects objects = ObjectsOf(records);
  std::lock_guard lock(mutex_);
  objects_ = std::move(objects);
}

void HostileSnmpAgent::Set(Behaviour behaviour) {
  Objects forged = ObjectsOf(behaviour.forged);
  std::lock_guard lock(mutex_);
  behaviour_ = std::move(behaviour);
  forged_ = std::move(forged);
}

void HostileSnmpAgent::Loop() {
  std::string buffer(65536, '\0');
  while (!stop_) {
    std::uint32_t peerAddress = 0;
    std::uint16_t peerPort = 0;
    const long size = platform::ReceiveDatagramFrom(socket_.Get(), buffer.data(), buffer.size(), 50, peerAddress, peerPort);
    if (size <= 0) continue;
    ++requests_;
    Answer(buffer.substr(0, static_cast<std::size_t>(size)), peerAddress, peerPort);
  }
}

void HostileSnmpAgent::Answer(const std::string& datagram, std::uint32_t peerAddress, std::uint16_t peerPort) {
  const auto request = ParseRequest(datagram);
  if (!request) return;
  Behaviour behaviour;
  std::string forged;
  std::string answer;
  {
    std::lock_guard lock(mutex_);
    behaviour = behaviour_;
    if (behaviour.silent) return;
    if (!forged_.empty()) {
      Request misdirected = *request;
      if (behaviour.forgedWithWrongId) misdirected.id = request->id % 0x7FFFFFFF + 1;
      forged = Response(misdirected, Lookup(*request, forged_, behaviour), 0);
    }
    answer = Response(*request, Lookup(*request, objects_, behaviour), behaviour.errorStatus);
  }
  if (!forged.empty()) {
    const auto& from = behaviour.forgedWithWrongId ? socket_ : forger_;
    platform::SendDatagramTo(from.Get(), forged.data(), forged.size(), peerAddress, peerPort);
  }
  if (behaviour.delay.count() > 0) std::this_thread::sleep_for(behaviour.delay);
  if (!stop_) platform::SendDatagramTo(socket_.Get(), answer.data(), answer.size(), peerAddress, peerPort);
}

}  // namespace snmp_test

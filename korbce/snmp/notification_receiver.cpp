#include "korbce/snmp/notification_receiver.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>
// On Windows those headers bring in <windows.h>, whose macro would rename the
// trace's function.
#undef OutputDebugString

#include <string_view>

#include "common/ipv4_text.h"
#include "platform/socket_activation.h"
#include "platform/trace.h"

namespace korbce::snmp {
namespace {

constexpr std::chrono::seconds kRetryOpen{60};
// At most this many datagrams are read at one turn of the transport's loop,
// so that a flood of notifications never holds up the polls.
constexpr int kDatagramsPerRead = 256;

int Received(int operation, netsnmp_session* session, int, netsnmp_pdu* pdu, void* magic);

// A transport for the socket the service manager passed: net-snmp makes one
// for a client socket, whose socket is swapped for the passed one.
netsnmp_transport* TransportOfPassedSocket(platform::UniqueSocket passed) {
  netsnmp_transport* transport = netsnmp_tdomain_transport("udp:127.0.0.1:9", 0, "udp");
  if (transport == nullptr) return nullptr;
  if (transport->f_close != nullptr) transport->f_close(transport);
  transport->sock = static_cast<int>(passed.Release());
  return transport;
}

netsnmp_transport* OpenTransport(std::uint16_t port, bool& passed) {
  platform::UniqueSocket activated = platform::ActivatedDatagramSocket(port);
  passed = activated.IsValid();
  if (passed) return TransportOfPassedSocket(std::move(activated));
  const std::string address = "udp:0.0.0.0:" + std::to_string(port);
  return netsnmp_tdomain_transport(address.c_str(), 1, "udp");
}

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string_view AuthName(AuthProtocol protocol) {
  switch (protocol) {
    case AuthProtocol::MD5: return "MD5";
    case AuthProtocol::SHA256: return "SHA-256";
    case AuthProtocol::SHA: break;
  }
  return "SHA";
}

// Informs are sent with the receiver's engine id, so the user must be known
// with keys made for it. The entry is made again when it is missing: the
// transport drops every entry of a user whose passwords changed.
void KeepLocalUser(const V3User& user, bool replace) {
  if (user.name.empty()) return;
  u_char engineId[SNMP_MAXBUF_SMALL];
  const std::size_t length = snmpv3_get_engineID(engineId, sizeof engineId);
  usmUser* known = usm_get_user(engineId, length, user.name.c_str());
  if (known != nullptr && !replace) return;
  if (known != nullptr) {
    usm_remove_user(known);
    usm_free_user(known);
  }
  std::string line = Quoted(user.name);
  if (user.securityLevel != SecurityLevel::NoAuthNoPriv)
    line += " " + std::string(AuthName(user.authProtocol)) + " " + Quoted(user.authPassword);
  if (user.securityLevel == SecurityLevel::AuthPriv)
    line += std::string(user.privProtocol == PrivProtocol::AES ? " AES " : " DES ") + Quoted(user.privPassword);
  usm_parse_create_usmUser(nullptr, line.data());
}

int LevelOf(SecurityLevel level) {
  switch (level) {
    case SecurityLevel::AuthPriv: return SNMP_SEC_LEVEL_AUTHPRIV;
    case SecurityLevel::AuthNoPriv: return SNMP_SEC_LEVEL_AUTHNOPRIV;
    case SecurityLevel::NoAuthNoPriv: break;
  }
  return SNMP_SEC_LEVEL_NOAUTH;
}

// Why a notification is not taken; empty when its community or user is right.
std::string Refusal(const netsnmp_pdu& pdu, const NotificationSettings& settings) {
  if (pdu.version == SNMP_VERSION_3) {
    const V3User& user = settings.user;
    if (user.name.empty()) return "SNMPv3 notification, but no SNMPv3 User is set";
    const std::string name = pdu.securityName != nullptr ? std::string(pdu.securityName, pdu.securityNameLen) : "";
    if (name != user.name || pdu.securityLevel < LevelOf(user.securityLevel)) {
      return "SNMPv3 notification of another user or a lower security level";
    }
    return "";
  }
  const std::string community =
      pdu.community != nullptr ? std::string(reinterpret_cast<const char*>(pdu.community), pdu.community_len) : "";
  return community == settings.community ? "" : "notification with a wrong community";
}

bool IsNotification(int command) {
  return command == SNMP_MSG_TRAP || command == SNMP_MSG_TRAP2 || command == SNMP_MSG_INFORM;
}

void Acknowledge(netsnmp_session* session, netsnmp_pdu& inform) {
  netsnmp_pdu* reply = snmp_clone_pdu(&inform);
  if (reply == nullptr) return;
  reply->command = SNMP_MSG_RESPONSE;
  reply->errstat = SNMP_ERR_NOERROR;
  reply->errindex = 0;
  if (snmp_send(session, reply) == 0) snmp_free_pdu(reply);
}

}  // namespace

struct NotificationReceiver::Session {
  NotificationReceiver& owner;
  netsnmp_session* session = nullptr;  // in net-snmp's list, so that it answers engine id discovery
  int socket = -1;

  ~Session() {
    if (session != nullptr) snmp_close(session);
  }

  // The sender's dotted address, as net-snmp tells it: "UDP: [a.b.c.d]:port->..."
  std::string SenderOf(const netsnmp_pdu& pdu) const {
    netsnmp_transport* transport = snmp_sess_transport(snmp_sess_pointer(session));
    if (transport == nullptr || transport->f_fmtaddr == nullptr) return "";
    char* text = transport->f_fmtaddr(transport, pdu.transport_data, pdu.transport_data_length);
    const std::string_view view = text != nullptr ? text : "";
    const std::size_t open = view.find('[');
    const std::size_t close = view.find(']', open);
    std::string address = open != std::string_view::npos && close != std::string_view::npos
                              ? std::string(view.substr(open + 1, close - open - 1))
                              : "";
    SNMP_FREE(text);
    return address;
  }

  void Take(netsnmp_pdu& pdu) {
    if (!IsNotification(pdu.command)) return;
    const std::string sender = SenderOf(pdu);
    const std::string refusal = Refusal(pdu, owner.settings_);
    if (!refusal.empty()) return owner.dropped_.Report(sender, refusal + "; dropped");
    if (pdu.command == SNMP_MSG_INFORM) Acknowledge(session, pdu);
    const auto address = common::ParseDottedQuadHostOrder(sender);
    if (!address || !owner.notified_(*address)) {
      owner.dropped_.Report(sender, "notification from an address that is no watched printer's; dropped");
    }
  }
};

namespace {

int Received(int operation, netsnmp_session*, int, netsnmp_pdu* pdu, void* magic) {
  if (operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu != nullptr)
    static_cast<NotificationReceiver::Session*>(magic)->Take(*pdu);
  return 1;
}

}  // namespace

NotificationReceiver::NotificationReceiver(Notified notified) : notified_(std::move(notified)) {}

NotificationReceiver::~NotificationReceiver() = default;

void NotificationReceiver::Configure(const NotificationSettings& settings) {
  const bool changed = settings != settings_;
  if (changed && settings.port != settings_.port) Close();
  if (changed) settings_ = settings;
  KeepLocalUser(settings_.user, /*replace=*/changed);
  if (settings_.port == 0 || session_) return;
  if (retryAt_ && std::chrono::steady_clock::now() < *retryAt_) return;
  Open();
}

void NotificationReceiver::Open() {
  bool passed = false;
  netsnmp_transport* transport = OpenTransport(settings_.port, passed);
  std::unique_ptr<Session> session(new Session{*this});
  if (transport != nullptr) {
    netsnmp_session setup;
    snmp_sess_init(&setup);
    setup.callback = Received;
    setup.callback_magic = session.get();
    setup.isAuthoritative = SNMP_SESS_UNKNOWNAUTH;
    setup.flags |= SNMP_FLAGS_DONT_PROBE;
    session->socket = transport->sock;
    session->session = snmp_add(&setup, transport, nullptr, nullptr);
  }
  const std::string port = "UDP port " + std::to_string(settings_.port);
  if (session->session == nullptr) {
    if (!retryAt_) {
      platform::OutputDebugString("korbce: cannot listen for SNMP notifications on " + port +
                                  " (another program has it, or the port needs a privilege); printers are "
                                  "polled only, and the port is tried again every minute\n");
    }
    retryAt_ = std::chrono::steady_clock::now() + kRetryOpen;
    return;
  }
  retryAt_.reset();
  session_ = std::move(session);
  platform::OutputDebugString("korbce: listening for SNMP notifications on " + port +
                              (passed ? ", passed by the service manager\n" : "\n"));
}

void NotificationReceiver::Read() {
  if (!session_) return;
  netsnmp_large_fd_set descriptors;
  netsnmp_large_fd_set_init(&descriptors, session_->socket + 1);
  for (int read = 0; read < kDatagramsPerRead; ++read) {
    NETSNMP_LARGE_FD_ZERO(&descriptors);
    NETSNMP_LARGE_FD_SET(session_->socket, &descriptors);
    timeval noWait{0, 0};
    if (netsnmp_large_fd_set_select(session_->socket + 1, &descriptors, nullptr, nullptr, &noWait) <= 0) break;
    snmp_sess_read2(snmp_sess_pointer(session_->session), &descriptors);
  }
  netsnmp_large_fd_set_cleanup(&descriptors);
}

void NotificationReceiver::Close() {
  session_.reset();
  retryAt_.reset();
}

}  // namespace korbce::snmp

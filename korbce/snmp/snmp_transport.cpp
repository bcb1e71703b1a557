#include "korbce/snmp/snmp_transport.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>
// On Windows those headers bring in <windows.h>, whose macro would rename the
// trace's function.
#undef OutputDebugString

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/socket_startup.h"
#include "platform/trace.h"

namespace korbce::snmp {
namespace {

// The loop's longest wait, so that new fetches and the tick are not delayed.
constexpr long kTurnMicroseconds = 20000;

// The fetch whose answers the transport's thread is reading, so that what
// net-snmp says meanwhile is told with the printer's address.
thread_local SnmpTransport::Fetch* reading = nullptr;

void NoteLibraryMessage(SnmpTransport::Fetch& fetch, std::string message);

// net-snmp's own messages go to the trace, never to the process's stderr.
int TraceLibraryMessage(int, int, void* message, void*) {
  const auto* logged = static_cast<const snmp_log_message*>(message);
  if (logged == nullptr || logged->msg == nullptr) return 0;
  std::string text = logged->msg;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (reading != nullptr) NoteLibraryMessage(*reading, std::move(text));
  else platform::OutputDebugString("korbce: net-snmp: " + text + "\n");
  return 0;
}

// Once per process: sockets started (Windows needs it before the first
// session), no configuration files, no persistent state, no MIB files (an
// empty MIB list: the bare list separator). Every OID the engine uses is
// numeric.
void InitialiseLibrary() {
  static bool initialised = false;
  if (initialised) return;
  initialised = true;
  if (!platform::StartSockets(2, 2)) platform::OutputDebugString("korbce: the sockets layer cannot be started\n");
  snmp_register_callback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_LOGGING, TraceLibraryMessage, nullptr);
  netsnmp_register_loghandler(NETSNMP_LOGHANDLER_CALLBACK, LOG_WARNING);
  static char noMibs[] = "mibs " ENV_SEPARATOR;  // kept, in case the library keeps the pointer
  netsnmp_config_remember(noMibs);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
  netsnmp_set_mib_directory("");
  netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIBDIRS, "");
  init_snmp("korbce");
}

ValueKind KindOf(u_char type) {
  switch (type) {
    case ASN_INTEGER: return ValueKind::Integer;
    case ASN_OCTET_STR: return ValueKind::OctetString;
    case ASN_OBJECT_ID: return ValueKind::ObjectId;
    case ASN_IPADDRESS: return ValueKind::IpAddress;
    case ASN_COUNTER: return ValueKind::Counter32;
    case ASN_GAUGE: return ValueKind::Gauge32;
    case ASN_TIMETICKS: return ValueKind::TimeTicks;
    case ASN_COUNTER64: return ValueKind::Counter64;
    case ASN_NULL: return ValueKind::Null;
    case SNMP_NOSUCHOBJECT: return ValueKind::NoSuchObject;
    case SNMP_NOSUCHINSTANCE: return ValueKind::NoSuchInstance;
    case SNMP_ENDOFMIBVIEW: return ValueKind::EndOfMibView;
    default: return ValueKind::Other;
  }
}

VarBind Copy(const netsnmp_variable_list& variable) {
  VarBind bind;
  bind.oid.assign(variable.name, variable.name + variable.name_length);
  bind.kind = KindOf(variable.type);
  switch (bind.kind) {
    case ValueKind::Integer:
      if (variable.val.integer != nullptr) bind.number = *variable.val.integer;
      break;
    case ValueKind::Counter32:
    case ValueKind::Gauge32:
    case ValueKind::TimeTicks:
      if (variable.val.integer != nullptr) bind.number = static_cast<std::uint32_t>(*variable.val.integer);
      break;
    case ValueKind::Counter64:
      if (variable.val.counter64 != nullptr) {
        bind.number = static_cast<std::int64_t>((static_cast<std::uint64_t>(variable.val.counter64->high) << 32) |
                                                (variable.val.counter64->low & 0xFFFFFFFFu));
      }
      break;
    case ValueKind::OctetString:
    case ValueKind::IpAddress:
      if (variable.val.string != nullptr) {
        bind.bytes.assign(reinterpret_cast<const char*>(variable.val.string),
                          std::min<std::size_t>(variable.val_len, kMaxValueBytes));
      }
      break;
    case ValueKind::ObjectId:
      if (variable.val.objid != nullptr) {
        const std::size_t count = std::min<std::size_t>(variable.val_len / sizeof(oid), MAX_OID_LEN);
        bind.objectId.assign(variable.val.objid, variable.val.objid + count);
      }
      break;
    default:
      break;
  }
  return bind;
}

const oid* AuthProtocolOid(AuthProtocol protocol, std::size_t& length) {
  switch (protocol) {
    case AuthProtocol::MD5:
      length = OID_LENGTH(usmHMACMD5AuthProtocol);
      return usmHMACMD5AuthProtocol;
    case AuthProtocol::SHA256:
#ifdef HAVE_EVP_SHA224  // the library has SHA-2 only when built with OpenSSL
      length = OID_LENGTH(usmHMAC192SHA256AuthProtocol);
      return usmHMAC192SHA256AuthProtocol;
#else
      return nullptr;
#endif
    case AuthProtocol::SHA:
      break;
  }
  length = OID_LENGTH(usmHMACSHA1AuthProtocol);
  return usmHMACSHA1AuthProtocol;
}

// An SNMPv3 user's keys made from its passwords (Ku): each is a hash over a
// megabyte, the same for every printer the user asks, so it is made once.
struct UserKeys {
  V3User user;
  std::vector<u_char> auth;
  std::vector<u_char> priv;
};

std::optional<std::vector<u_char>> KeyOf(const V3User& user, const std::string& password) {
  std::size_t protocolLength = 0;
  const oid* protocol = AuthProtocolOid(user.authProtocol, protocolLength);
  if (protocol == nullptr) return std::nullopt;
  std::vector<u_char> key(USM_AUTH_KU_LEN);
  std::size_t length = key.size();
  if (generate_Ku(protocol, static_cast<u_int>(protocolLength), reinterpret_cast<const u_char*>(password.data()),
                  password.size(), key.data(), &length) != SNMPERR_SUCCESS) {
    return std::nullopt;
  }
  key.resize(length);
  return key;
}

std::optional<UserKeys> MakeKeys(const V3User& user) {
  UserKeys keys{user, {}, {}};
  if (user.securityLevel == SecurityLevel::NoAuthNoPriv) return keys;
  auto auth = KeyOf(user, user.authPassword);
  if (!auth) return std::nullopt;
  keys.auth = std::move(*auth);
  if (user.securityLevel != SecurityLevel::AuthPriv) return keys;
  auto priv = KeyOf(user, user.privPassword);
  if (!priv) return std::nullopt;
  keys.priv = std::move(*priv);
  return keys;
}

void SetUpV3(netsnmp_session& session, const UserKeys& keys) {
  const V3User& user = keys.user;
  session.securityName = const_cast<char*>(user.name.c_str());
  session.securityNameLen = user.name.size();
  session.securityLevel = user.securityLevel == SecurityLevel::AuthPriv     ? SNMP_SEC_LEVEL_AUTHPRIV
                          : user.securityLevel == SecurityLevel::AuthNoPriv ? SNMP_SEC_LEVEL_AUTHNOPRIV
                                                                            : SNMP_SEC_LEVEL_NOAUTH;
  if (user.securityLevel == SecurityLevel::NoAuthNoPriv) return;
  std::size_t protocolLength = 0;
  const oid* protocol = AuthProtocolOid(user.authProtocol, protocolLength);
  session.securityAuthProto = snmp_duplicate_objid(protocol, protocolLength);
  session.securityAuthProtoLen = protocolLength;
  std::copy(keys.auth.begin(), keys.auth.end(), session.securityAuthKey);
  session.securityAuthKeyLen = keys.auth.size();
  if (user.securityLevel != SecurityLevel::AuthPriv) return;
  const bool aes = user.privProtocol == PrivProtocol::AES;
  session.securityPrivProto =
      snmp_duplicate_objid(aes ? usmAESPrivProtocol : usmDESPrivProtocol,
                           aes ? OID_LENGTH(usmAESPrivProtocol) : OID_LENGTH(usmDESPrivProtocol));
  session.securityPrivProtoLen = aes ? OID_LENGTH(usmAESPrivProtocol) : OID_LENGTH(usmDESPrivProtocol);
  std::copy(keys.priv.begin(), keys.priv.end(), session.securityPrivKey);
  session.securityPrivKeyLen = keys.priv.size();
}

// net-snmp keeps every SNMPv3 user it has met, with its keys, in one list for
// the whole process, and goes on using a user's old keys after its passwords
// changed. So a user's entries are dropped when its credentials change.
void ForgetUserWhoseCredentialsChanged(const V3User& credentials) {
  static platform::CriticalSection mutex;
  static std::map<std::string, V3User> credentialsOfUser GUARDED_BY(mutex);
  platform::ScopedLock lock(mutex);
  auto [known, added] = credentialsOfUser.try_emplace(credentials.name, credentials);
  if (added || known->second == credentials) return;
  known->second = credentials;
  for (usmUser* user = usm_get_userList(); user != nullptr;) {
    usmUser* next = user->next;
    if (user->name != nullptr && credentials.name == user->name) {
      usm_remove_user(user);  // returns the list's head, not the user
      usm_free_user(user);
    }
    user = next;
  }
}

int Callback(int operation, netsnmp_session*, int, netsnmp_pdu* pdu, void* magic);
int AcceptOnlyFromPeer(netsnmp_session* session, netsnmp_transport* transport, void* from, int fromLength);

long NextRequestId(std::mt19937& generator) {
  return std::uniform_int_distribution<long>(1, 0x7FFFFFFF)(generator);
}

bool IsException(const VarBind& bind) {
  return bind.kind == ValueKind::NoSuchObject || bind.kind == ValueKind::NoSuchInstance ||
         bind.kind == ValueKind::EndOfMibView;
}

}  // namespace

// What the thread keeps from one fetch to the next.
struct SnmpTransport::Kept {
  // net-snmp counts its ids up for every session of the process: one
  // printer's answers would tell the ids another printer is asked with.
  std::mt19937 requestIds{std::random_device{}()};
  // The keys of the SNMPv3 users met last, the latest at the back.
  std::deque<UserKeys> keys;
  // The engine id each printer's agent told at its first SNMPv3 exchange, by
  // "host:port". A session given it needs no discovery round trip, and
  // net-snmp keeps the engine's boots and time under it from one session to
  // the next.
  std::unordered_map<std::string, std::string> engineIds;
  // The printers, by "host:port", whose fetch broke after their GET's objects
  // rode in a GETBULK: an agent that does not keep non-repeaters apart
  // garbles such answers, so they are asked a GET of its own from then on.
  std::unordered_set<std::string> getApart;

  const UserKeys* KeysOf(const V3User& user) {
    constexpr std::size_t kUsersKept = 8;
    const auto known = std::find_if(keys.begin(), keys.end(), [&](const UserKeys& k) { return k.user == user; });
    if (known != keys.end()) return &*known;
    auto made = MakeKeys(user);
    if (!made) return nullptr;
    if (keys.size() >= kUsersKept) keys.pop_front();
    keys.push_back(std::move(*made));
    return &keys.back();
  }
};

namespace {

// One subtree of a fetch's plan, walked from the last OID it reached.
struct Walk {
  Oid subtree;
  Oid cursor;
  std::vector<VarBind> objects;
  bool ended = false;
  bool broken = false;  // the rest of the answer it is in tells nothing of it
};

}  // namespace

// One fetch in progress: its session and where it stands in its plan.
struct SnmpTransport::Fetch {
  SessionSettings settings;
  FetchPlan plan;
  Done done;
  netsnmp_session* session = nullptr;
  void* handle = nullptr;  // the session's, for the calls that read one session alone
  FetchResult result;
  std::vector<Oid> gets;       // what the GET still asks (a v1 error removes an object)
  std::vector<Walk> walks;     // one for each of the plan's, walked side by side
  std::vector<std::size_t> asking;  // the walks the request in flight asks, in its order
  std::size_t objects = 0;     // kept so far, by the GET and the walks
  long repetitions = kBulkRepetitions;  // the most a column is asked for at once
  std::size_t columns = kMaxColumnsPerRequest;  // the most walks one request asks
  std::size_t requests = 0;
  bool getDone = false;
  bool getInBulk = false;  // the request in flight asks the GET's objects as its non-repeaters
  bool getApart = false;   // they are asked by a GET of their own
  bool getTookFromBulk = false;
  bool ended = false;
  std::chrono::steady_clock::time_point deadline;
  SnmpTransport::Kept* kept = nullptr;  // the transport's
  // Datagrams dropped before they reached the fetch, counted for the trace.
  std::size_t foreignAnswers = 0;    // from another address or port than the printer's
  std::size_t unreadableAnswers = 0; // malformed, or matching no request sent
  std::size_t datagramsAccepted = 0; // from the printer
  std::size_t answersTaken = 0;      // reached Received
  std::vector<std::string> libraryMessages;

  bool Open() {
    netsnmp_session setup;
    snmp_sess_init(&setup);
    const std::string peer = "udp:" + Endpoint();
    setup.peername = const_cast<char*>(peer.c_str());
    setup.timeout = static_cast<long>(settings.timeout.count()) * 1000;
    setup.retries = static_cast<int>(settings.retries);
    setup.callback = Callback;
    setup.callback_magic = this;
    const Credentials& credentials = settings.credentials;
    const std::string endpoint = Endpoint();
    if (credentials.version == SnmpVersion::V3) {
      setup.version = SNMP_VERSION_3;
      ForgetUserWhoseCredentialsChanged(credentials.user);
      const UserKeys* keys = kept->KeysOf(credentials.user);
      if (keys == nullptr) {
        std::size_t ignored = 0;
        result.problems.push_back(AuthProtocolOid(credentials.user.authProtocol, ignored) == nullptr
                                      ? "SHA-256 is not available in this build (net-snmp without OpenSSL)"
                                      : "the SNMPv3 keys cannot be made");
        return false;
      }
      SetUpV3(setup, *keys);
      setup.contextName = const_cast<char*>(credentials.contextName.c_str());
      setup.contextNameLen = credentials.contextName.size();
      if (const auto known = kept->engineIds.find(endpoint); known != kept->engineIds.end()) {
        setup.securityEngineID = reinterpret_cast<u_char*>(const_cast<char*>(known->second.data()));
        setup.securityEngineIDLen = known->second.size();
        setup.flags |= SNMP_FLAGS_DONT_PROBE;
      }
    } else {
      setup.version = credentials.version == SnmpVersion::V1 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
      setup.community = reinterpret_cast<u_char*>(const_cast<char*>(credentials.community.data()));
      setup.community_len = credentials.community.size();
    }
    // A transport of its own, so that each datagram's sender is checked
    // before net-snmp reads it.
    netsnmp_transport* transport = netsnmp_transport_open_client("korbce", peer.c_str());
    if (transport != nullptr) session = snmp_add(&setup, transport, AcceptOnlyFromPeer, nullptr);
    if (session != nullptr) handle = snmp_sess_pointer(session);
    SNMP_FREE(setup.securityAuthProto);
    SNMP_FREE(setup.securityPrivProto);
    if (session == nullptr) result.problems.push_back("no session to " + peer);
    return session != nullptr;
  }

  std::string Endpoint() const { return settings.host + ":" + std::to_string(settings.port); }

  // The engine id the session's first send discovered, kept once the
  // printer has answered with it.
  void KeepEngineId() {
    if (session == nullptr || settings.credentials.version != SnmpVersion::V3 || !result.answered || !result.intact ||
        session->securityEngineIDLen == 0) {
      return;
    }
    kept->engineIds[Endpoint()].assign(reinterpret_cast<const char*>(session->securityEngineID),
                                       session->securityEngineIDLen);
  }

  // Whether the datagram came from the address and port the requests go to.
  bool FromPeer(netsnmp_transport* transport, void* from, int fromLength) {
    if (transport == nullptr || transport->f_fmtaddr == nullptr) return false;
    char* text = transport->f_fmtaddr(transport, from, fromLength);
    const bool fromPeer =
        text != nullptr && std::string_view(text).find("[" + settings.host + "]:" + std::to_string(settings.port) + "->") !=
                               std::string_view::npos;
    SNMP_FREE(text);
    ++(fromPeer ? datagramsAccepted : foreignAnswers);
    return fromPeer;
  }

  // The walks' objects follow the GET's, each walk's together in the plan's
  // order, however their requests were shared.
  void End(bool answered) {
    if (ended) return;
    result.answered = answered;
    ended = true;
    if (getTookFromBulk && !result.intact) kept->getApart.insert(Endpoint());
    for (Walk& walk : walks) std::move(walk.objects.begin(), walk.objects.end(), std::back_inserter(result.objects));
    walks.clear();
    NoteDroppedAnswers();
  }

  // Cuts the fetch short: an answer is broken, or a bound is reached.
  void Broken(std::string problem) {
    result.intact = false;
    result.problems.push_back(std::move(problem));
  }

  void NoteDroppedAnswers() {
    if (foreignAnswers != 0) result.problems.push_back("answers from another address or port than the printer's ignored");
    if (unreadableAnswers != 0) {
      result.problems.push_back("answers that are malformed or match no request sent (a wrong request-id) ignored");
    }
    for (std::string& message : libraryMessages) result.problems.push_back("net-snmp: " + std::move(message));
    libraryMessages.clear();
  }

  // The agent answered with a report (SNMPv3: an unknown user, wrong keys):
  // it tells nothing of the printer.
  // Its engine id is asked again by the next fetch, in case the printer at
  // the address is another one now.
  void Refused(netsnmp_pdu* pdu) {
    kept->engineIds.erase(Endpoint());
    const std::string reason = pdu->variables != nullptr ? OidText(Copy(*pdu->variables).oid) : "none";
    Broken("the printer refused the request (report " + reason + ")");
    End(true);
  }

  void EndIfPastDeadline(std::chrono::steady_clock::time_point now) {
    if (ended || now < deadline) return;
    result.problems.push_back("no whole answer within " +
                              std::to_string(FetchTimeBound(settings).count()) + " ms; fetch abandoned");
    End(false);
  }

  // Sends the next request of the plan, or ends the fetch when none is left.
  // The walks not ended are asked together (SNMPv1: one after the other),
  // with as many repetitions each as keep the answer near
  // kBulkObjectsPerRequest objects.
  // The GET's objects ride in the first GETBULK as its non-repeaters when the
  // version has GETBULK, which saves a round trip a poll.
  void Next() {
    const bool bulk = settings.credentials.version != SnmpVersion::V1;
    if (!getDone && !gets.empty() && (getApart || !bulk || walks.empty())) return Send(SNMP_MSG_GET, gets);
    if (gets.empty()) getDone = true;
    if (plan.stopWhenFirstWalkEmpty && !walks.empty() && walks[0].ended && walks[0].objects.empty()) return End(true);
    const std::size_t most = bulk ? columns : 1;
    asking.clear();
    std::vector<Oid> cursors;
    getInBulk = !getDone;
    if (getInBulk) std::transform(gets.begin(), gets.end(), std::back_inserter(cursors), ObjectBefore);
    for (std::size_t i = 0; i < walks.size() && asking.size() < most; ++i) {
      if (walks[i].ended) continue;
      asking.push_back(i);
      cursors.push_back(walks[i].cursor);
    }
    if (asking.empty()) return End(true);
    const long share = kBulkObjectsPerRequest / static_cast<long>(asking.size());
    const long nonRepeaters = getInBulk ? static_cast<long>(gets.size()) : 0;
    Send(bulk ? SNMP_MSG_GETBULK : SNMP_MSG_GETNEXT, cursors, std::clamp(share, 1L, repetitions), nonRepeaters);
  }

  // The name a GETNEXT is asked for to be answered with object, when the
  // object's table has one index: nothing lies between the two.
  static Oid ObjectBefore(Oid object) {
    if (object.back() > 0) --object.back();
    else object.pop_back();
    return object;
  }

  // The non-repeaters of an answer; true when each is the object the GET
  // would have given. Anything else (a missing object, an error) leaves the
  // GET to be asked on its own, as the answer may tell the next object instead.
  bool TookGetFromBulk(netsnmp_pdu* pdu, netsnmp_variable_list*& walked) {
    getInBulk = false;
    getApart = true;
    walked = pdu->variables;
    if (pdu->errstat != SNMP_ERR_NOERROR) return false;
    std::vector<VarBind> binds;
    for (const Oid& object : gets) {
      if (walked == nullptr) return false;
      binds.push_back(Copy(*walked));
      if (binds.back().oid != object || IsException(binds.back())) return false;
      walked = walked->next_variable;
    }
    getDone = true;
    getTookFromBulk = true;
    for (VarBind& bind : binds) {
      if (!Keep(std::move(bind))) {
        End(true);
        return false;
      }
    }
    return true;
  }

  void Send(int command, const std::vector<Oid>& objects, long bulkRepetitions = 0, long nonRepeaters = 0) {
    if (++requests > kMaxRequestsPerFetch) {
      Broken("more than " + std::to_string(kMaxRequestsPerFetch) + " requests; fetch cut short");
      return End(true);
    }
    netsnmp_pdu* pdu = snmp_pdu_create(command);
    pdu->reqid = NextRequestId(kept->requestIds);
    pdu->msgid = NextRequestId(kept->requestIds);
    if (command == SNMP_MSG_GETBULK) {
      pdu->non_repeaters = nonRepeaters;
      pdu->max_repetitions = bulkRepetitions;
    }
    for (const Oid& object : objects) {
      std::vector<oid> name(object.begin(), object.end());
      snmp_add_null_var(pdu, name.data(), name.size());
    }
    if (snmp_send(session, pdu) == 0) {
      snmp_free_pdu(pdu);
      int systemError = 0;
      int libraryError = 0;
      char* reason = nullptr;
      snmp_error(session, &systemError, &libraryError, &reason);
      result.problems.push_back("cannot send (" + std::string(reason != nullptr ? reason : "no reason given") + ")");
      SNMP_FREE(reason);
      End(false);
    }
  }

  void Received(netsnmp_pdu* pdu) {
    netsnmp_variable_list* walked = pdu->variables;
    if (getInBulk && !TookGetFromBulk(pdu, walked)) return ended ? void() : Next();
    if (!getDone) return ReceivedGet(pdu);
    if (pdu->errstat == SNMP_ERR_TOOBIG && (repetitions > 1 || asking.size() > 1)) {
      const long asked = std::min<long>(repetitions, kBulkObjectsPerRequest / static_cast<long>(asking.size()));
      if (asked > 1) repetitions = asked / 2;
      else columns = std::max<std::size_t>(1, asking.size() / 2);
      return Next();
    }
    if (pdu->errstat != SNMP_ERR_NOERROR) {
      // noSuchName is how an SNMPv1 agent ends a GETNEXT walk
      const bool v1End = pdu->errstat == SNMP_ERR_NOSUCHNAME && settings.credentials.version == SnmpVersion::V1;
      for (std::size_t index : asking) {
        if (!v1End) Broken("walk of " + OidText(walks[index].subtree) + " ended by error status " + std::to_string(pdu->errstat));
        walks[index].ended = true;
      }
      return Next();
    }
    // The answer holds the asked walks' objects row by row: the k-th object
    // belongs to the walk asked at k modulo their count.
    std::size_t position = 0;
    for (netsnmp_variable_list* variable = walked; variable != nullptr; variable = variable->next_variable) {
      Walk& walk = walks[asking[position++ % asking.size()]];
      if (!Take(walk, Copy(*variable))) return End(true);
    }
    if (walked == nullptr) {
      for (std::size_t index : asking) walks[index].ended = true;
    }
    Next();
  }

  // One object a walk gave; false when the fetch is to end at once.
  bool Take(Walk& walk, VarBind bind) {
    const bool inSubtree = StartsWith(bind.oid, walk.subtree);
    if (walk.broken) return true;
    if (walk.ended) {
      // Past the end of the walk, a later object back in the subtree is not
      // an end but a broken answer.
      if (inSubtree && bind.kind != ValueKind::EndOfMibView) {
        Broken("walk of " + OidText(walk.subtree) + " goes on after its end at " + OidText(bind.oid));
        walk.broken = true;
      }
      return true;
    }
    if (bind.kind == ValueKind::EndOfMibView || (!inSubtree && walk.cursor < bind.oid)) {
      walk.ended = true;
      return true;
    }
    if (!(walk.cursor < bind.oid)) {
      Broken("walk of " + OidText(walk.subtree) + " does not increase at " + OidText(bind.oid));
      return EndWalk(walk);
    }
    if (IsException(bind)) {
      Broken("walk of " + OidText(walk.subtree) + " has no value at " + OidText(bind.oid));
      return EndWalk(walk);
    }
    walk.cursor = bind.oid;
    if (!Countable()) return false;
    walk.objects.push_back(std::move(bind));
    return true;
  }

  // A broken walk ends there; what it gave before stays.
  static bool EndWalk(Walk& walk) {
    walk.ended = true;
    walk.broken = true;
    return true;
  }

  void ReceivedGet(netsnmp_pdu* pdu) {
    if (pdu->errstat == SNMP_ERR_NOSUCHNAME && pdu->errindex >= 1 &&
        static_cast<std::size_t>(pdu->errindex) <= gets.size()) {
      gets.erase(gets.begin() + (pdu->errindex - 1));  // SNMPv1: ask again without the missing object
      return Next();
    }
    getDone = true;
    if (pdu->errstat != SNMP_ERR_NOERROR) {
      Broken("GET answered with error status " + std::to_string(pdu->errstat));
      return Next();
    }
    std::size_t asked = 0;
    for (netsnmp_variable_list* variable = pdu->variables; variable != nullptr; variable = variable->next_variable) {
      VarBind bind = Copy(*variable);
      if (asked >= gets.size() || bind.oid != gets[asked]) {
        Broken("GET answered with " + OidText(bind.oid) + ", an object not asked for");
        return Next();
      }
      ++asked;
      if (!Keep(std::move(bind))) return End(true);
    }
    if (asked != gets.size()) Broken("GET answered " + std::to_string(asked) + " of " + std::to_string(gets.size()) + " objects");
    Next();
  }

  bool Keep(VarBind bind) {
    if (!Countable()) return false;
    result.objects.push_back(std::move(bind));
    return true;
  }

  // Whether one more object stays within the fetch's bound.
  bool Countable() {
    if (objects >= kMaxObjectsPerFetch) {
      Broken("more than " + std::to_string(kMaxObjectsPerFetch) + " objects; fetch cut short");
      return false;
    }
    ++objects;
    return true;
  }
};

namespace {

void NoteLibraryMessage(SnmpTransport::Fetch& fetch, std::string message) {
  constexpr std::size_t kMessagesKept = 4;
  if (fetch.libraryMessages.size() < kMessagesKept) fetch.libraryMessages.push_back(std::move(message));
}

// The session's callback data is not the fetch while net-snmp waits for an
// answer itself (the SNMPv3 engine discovery), so the fetch being read is
// the one asked.
int AcceptOnlyFromPeer(netsnmp_session*, netsnmp_transport* transport, void* from, int fromLength) {
  return reading != nullptr && reading->FromPeer(transport, from, fromLength) ? 1 : 0;
}

int Callback(int operation, netsnmp_session*, int, netsnmp_pdu* pdu, void* magic) {
  auto* fetch = static_cast<SnmpTransport::Fetch*>(magic);
  const bool received = operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu != nullptr;
  // Only a response or a report answers; any other message the printer
  // sends is left unread, and counted as such.
  if (received && pdu->command != SNMP_MSG_RESPONSE && pdu->command != SNMP_MSG_REPORT) return 1;
  if (received) ++fetch->answersTaken;
  if (fetch->ended) return 1;
  if (received && pdu->command == SNMP_MSG_REPORT) {
    fetch->Refused(pdu);
  } else if (received) {
    fetch->Received(pdu);
  } else {
    fetch->End(false);  // timed out, or the session failed
  }
  return 1;
}

// Each session is read on its own, so that a datagram that reached no
// request (malformed, or with a wrong request-id) and what net-snmp says of
// it are put down to the printer it came from. SNMPv3 answers some requests
// with reports that net-snmp handles itself, so those are not counted.
void ReadAnswers(std::vector<std::unique_ptr<SnmpTransport::Fetch>>& active, netsnmp_large_fd_set& descriptors) {
  for (const auto& fetch : active) {
    if (fetch->handle == nullptr) continue;
    // Only a session with a datagram waiting is read: reading them all would
    // cost each answer as much as the fetches in flight.
    const netsnmp_transport* transport = snmp_sess_transport(fetch->handle);
    if (transport == nullptr || transport->sock < 0 || !NETSNMP_LARGE_FD_ISSET(transport->sock, &descriptors)) continue;
    const std::size_t accepted = fetch->datagramsAccepted;
    const std::size_t taken = fetch->answersTaken;
    reading = fetch.get();
    snmp_sess_read2(fetch->handle, &descriptors);
    reading = nullptr;
    const std::size_t unread = (fetch->datagramsAccepted - accepted) - std::min(fetch->datagramsAccepted - accepted,
                                                                                fetch->answersTaken - taken);
    if (fetch->settings.credentials.version != SnmpVersion::V3) fetch->unreadableAnswers += unread;
  }
}

}  // namespace

SnmpTransport::SnmpTransport() : kept_(std::make_unique<Kept>()) {}

SnmpTransport::~SnmpTransport() { Stop(); }

bool SnmpTransport::Start(std::function<void()> tick) {
  tick_ = std::move(tick);
  return thread_.Start([this] { return Loop(); }, /*background=*/true);
}

void SnmpTransport::Stop() {
  if (!thread_.IsStarted()) return;
  stopEvent_.Set();
  thread_.Join();
}

void SnmpTransport::Submit(SessionSettings settings, FetchPlan plan, Done done) {
  auto fetch = std::make_unique<Fetch>();
  fetch->settings = std::move(settings);
  fetch->plan = std::move(plan);
  fetch->done = std::move(done);
  {
    platform::ScopedLock lock(mutex_);
    if (!ended_) {
      queued_.push_back(std::move(fetch));
      return;
    }
  }
  fetch->done(FetchResult{});  // the thread has ended: nothing will answer
}

void SnmpTransport::SetMaxInFlight(std::uint32_t count) {
  platform::ScopedLock lock(mutex_);
  maxInFlight_ = std::max<std::uint32_t>(count, 1);
}

bool SnmpTransport::Backlogged() {
  platform::ScopedLock lock(mutex_);
  return queued_.size() >= maxInFlight_;
}

void SnmpTransport::StartWaiting() {
  while (std::unique_ptr<Fetch> fetch = NextToStart()) {
    fetch->deadline = std::chrono::steady_clock::now() + FetchTimeBound(fetch->settings);
    fetch->kept = kept_.get();
    fetch->getApart = kept_->getApart.contains(fetch->Endpoint());
    // The walks' state is made only now: a sweep queues every host at once.
    fetch->gets = fetch->plan.gets;
    for (const Oid& subtree : fetch->plan.walks) fetch->walks.push_back(Walk{subtree, subtree, {}, false, false});
    // Opening, and an SNMPv3 session's first send, wait for the agent's
    // engine discovery.
    reading = fetch.get();
    if (fetch->Open()) fetch->Next();
    else fetch->End(false);
    reading = nullptr;
    active_.push_back(std::move(fetch));
  }
}

std::unique_ptr<SnmpTransport::Fetch> SnmpTransport::NextToStart() {
  platform::ScopedLock lock(mutex_);
  if (active_.size() >= maxInFlight_ || queued_.empty()) return nullptr;
  std::unique_ptr<Fetch> fetch = std::move(queued_.front());
  queued_.pop_front();
  return fetch;
}

// Sessions are closed here, never inside their own callback.
void SnmpTransport::FinishEnded() {
  std::vector<std::unique_ptr<Fetch>> ended;
  for (auto& fetch : active_) {
    if (fetch->ended) ended.push_back(std::move(fetch));
  }
  std::erase(active_, nullptr);
  for (auto& fetch : ended) {
    fetch->KeepEngineId();
    if (fetch->session != nullptr) snmp_close(fetch->session);
    fetch->session = nullptr;
    fetch->handle = nullptr;
    fetch->done(std::move(fetch->result));
  }
}

void SnmpTransport::EndFetchesPastDeadline() {
  const auto now = std::chrono::steady_clock::now();
  for (const auto& fetch : active_) fetch->EndIfPastDeadline(now);
}

std::uint32_t SnmpTransport::Loop() {
  InitialiseLibrary();
  netsnmp_large_fd_set descriptors;
  netsnmp_large_fd_set_init(&descriptors, FD_SETSIZE);
  while (!stopEvent_.IsSignalled()) {
    if (tick_) tick_();
    StartWaiting();
    FinishEnded();
    int count = 0;
    int block = 0;
    timeval wait{0, kTurnMicroseconds};
    NETSNMP_LARGE_FD_ZERO(&descriptors);
    snmp_select_info2(&count, &descriptors, &wait, &block);
    if (block != 0 || wait.tv_sec > 0 || wait.tv_usec > kTurnMicroseconds) wait = timeval{0, kTurnMicroseconds};
    const int ready = netsnmp_large_fd_set_select(count, &descriptors, nullptr, nullptr, &wait);
    if (ready > 0) ReadAnswers(active_, descriptors);
    snmp_timeout();
    EndFetchesPastDeadline();
    FinishEnded();
  }
  // Those still waiting for their results are told that nothing came.
  std::deque<std::unique_ptr<Fetch>> queued;
  {
    platform::ScopedLock lock(mutex_);
    queued.swap(queued_);
    ended_ = true;
  }
  for (auto& fetch : active_) fetch->End(false);
  FinishEnded();
  for (auto& fetch : queued) fetch->done(FetchResult{});
  netsnmp_large_fd_set_cleanup(&descriptors);
  return 0;
}

}  // namespace korbce::snmp

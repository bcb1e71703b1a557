#include "tests/support/fast_snmp_agent.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>
#include <net-snmp/library/snmpusm.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <span>
#include <thread>

#include "common/decimal_text.h"
#include "platform/readiness.h"
#include "tests/support/printer_object_table.h"
#include "tests/support/printer_recording.h"

namespace snmp_test {
namespace {

constexpr int kTurnMs = 50;                  // the longest wait before the stop flag is seen
constexpr std::size_t kMaxBindings = 1000;   // in one answer, so that it fits a datagram
constexpr std::size_t kBindAttempts = 20;    // a free port may be taken before it is bound
constexpr std::string_view kAllPrinters = "all";
constexpr oid kErrorState[] = {1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 2, 1};  // hrPrinterDetectedErrorState.1
constexpr oid kPhysAddress[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 6, 1};    // ifPhysAddress.1
constexpr std::uint8_t kJammedBit = 0x04;  // jammed(5), in the first octet

std::string MacHex(std::size_t printer) {
  char mac[16];
  std::snprintf(mac, sizeof mac, "02%010zX", printer);
  return mac;
}

std::string MacBytes(std::size_t printer) {
  std::string bytes(1, '\x02');
  for (int shift = 32; shift >= 0; shift -= 8) bytes += static_cast<char>((printer >> shift) & 0xFF);
  return bytes;
}

// Once per process: no configuration or persistent files, no MIB files.
void InitialiseLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    static char noMibs[] = "mibs :";  // kept, in case the library keeps the pointer
    netsnmp_config_remember(noMibs);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
    netsnmp_set_mib_directory("");
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIBDIRS, "");
    init_snmp("fast_snmp_agent");
  });
}

// The USM user, its keys made for this process's engine id.
void CreateUser(const SnmpV3User& user) {
  std::string line = user.name + " SHA " + user.authKey + " AES " + user.privKey;
  usm_parse_create_usmUser("createUser", line.data());
}

bool SameName(const oid* name, std::size_t length, std::span<const oid> wanted) {
  return snmp_oid_compare(name, length, wanted.data(), wanted.size()) == 0;
}

// The printer "p00017" names: 17; 0 when it names none of 1 to printers.
std::size_t PrinterNamed(std::string_view name, std::size_t printers) {
  if (name.size() < 2 || name[0] != 'p') return 0;
  const auto number = common::ParseDecimal(name.substr(1));
  return number && *number >= 1 && *number <= printers ? *number : 0;
}

}  // namespace

struct FastSnmpAgent::Serving {
  struct Listener {
    Serving* serving = nullptr;
    std::size_t printer = 0;  // 0: the request names its printer
    std::uint16_t port = 0;
    void* session = nullptr;
    int socket = -1;
  };

  explicit Serving(const Options& chosen)
      : options(chosen), clear(Records(1, false)), jammed(Records(1, true)), jams(chosen.printers + 1) {}

  ~Serving() {
    for (Listener& listener : listeners) snmp_sess_close(listener.session);
  }

  bool Listen(std::size_t printer) {
    for (std::size_t attempt = 0; attempt < kBindAttempts; ++attempt) {
      const std::uint16_t port = FreeUdpPort();
      if (port == 0) continue;
      const std::string address = "udp:127.0.0.1:" + std::to_string(port);
      netsnmp_transport* transport = netsnmp_transport_open_server("fast_snmp_agent", address.c_str());
      if (transport == nullptr) continue;
      Listener& listener = listeners.emplace_back();
      listener.serving = this;
      listener.printer = printer;
      listener.port = port;
      listener.socket = transport->sock;
      netsnmp_session setup;
      snmp_sess_init(&setup);
      setup.isAuthoritative = SNMP_SESS_AUTHORITATIVE;
      setup.callback = Receive;
      setup.callback_magic = &listener;
      listener.session = snmp_sess_add(&setup, transport, nullptr, nullptr);
      if (listener.session != nullptr) return true;
      listeners.pop_back();
      return false;
    }
    return false;
  }

  void Loop() {
    std::vector<platform::NativeHandle> handles;
    int highest = 0;
    for (const Listener& listener : listeners) {
      handles.push_back(listener.socket);
      highest = std::max(highest, listener.socket);
    }
    const auto readable = std::make_unique<bool[]>(handles.size());
    netsnmp_large_fd_set ready;
    netsnmp_large_fd_set_init(&ready, highest + 1);
    while (!stop) {
      if (platform::WaitReadable(handles, std::span<bool>(readable.get(), handles.size()), kTurnMs) <= 0) continue;
      for (std::size_t i = 0; i < handles.size(); ++i) {
        if (!readable[i]) continue;
        ++requests;
        netsnmp_large_fd_setfd(listeners[i].socket, &ready);
        snmp_sess_read2(listeners[i].session, &ready);
        netsnmp_large_fd_clr(listeners[i].socket, &ready);
        snmp_sess_session(listeners[i].session)->s_snmp_errno = 0;
      }
    }
    netsnmp_large_fd_set_cleanup(&ready);
  }

  static int Receive(int operation, netsnmp_session* session, int, netsnmp_pdu* request, void* magic) {
    // A message that failed authentication comes here too, with its error.
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || session->s_snmp_errno != 0) return 1;
    auto* listener = static_cast<Listener*>(magic);
    listener->serving->Answer(*listener, *request);
    return 1;
  }

  void Answer(const Listener& listener, netsnmp_pdu& request) {
    const bool v3 = request.version == SNMP_VERSION_3;
    const std::string_view name =
        v3 ? std::string_view(request.contextName, request.contextNameLen)
           : std::string_view(reinterpret_cast<const char*>(request.community), request.community_len);
    const std::size_t printer = listener.printer != 0 ? listener.printer : PrinterNamed(name, options.printers);
    const bool everyPrinter = request.command == SNMP_MSG_SET && name == kAllPrinters;
    if (printer == 0 && !everyPrinter) return;
    netsnmp_pdu* reply = snmp_clone_pdu(&request);
    if (reply == nullptr) return;
    reply->command = SNMP_MSG_RESPONSE;
    reply->flags &= ~UCD_MSG_FLAG_EXPECT_RESPONSE;
    reply->errstat = SNMP_ERR_NOERROR;
    reply->errindex = 0;
    bool answered = false;
    switch (request.command) {
      case SNMP_MSG_GET: answered = Get(request, printer, *reply); break;
      case SNMP_MSG_GETNEXT: answered = GetNext(request, printer, *reply); break;
      case SNMP_MSG_GETBULK: answered = !IsV1(request) && GetBulk(request, printer, *reply); break;
      case SNMP_MSG_SET: answered = Set(request, everyPrinter ? 0 : printer, *reply); break;
      default: break;
    }
    if (!answered || snmp_sess_send(listener.session, reply) == 0) snmp_free_pdu(reply);
  }

  static bool IsV1(const netsnmp_pdu& request) { return request.version == SNMP_VERSION_1; }

  const PrinterObjectTable& TableOf(std::size_t printer) const {
    return jams[printer].load(std::memory_order_relaxed) ? jammed : clear;
  }

  bool Get(const netsnmp_pdu& request, std::size_t printer, netsnmp_pdu& reply) const {
    const PrinterObjectTable& table = TableOf(printer);
    ReplaceBindings(reply);
    long index = 1;
    for (const netsnmp_variable_list* asked = request.variables; asked; asked = asked->next_variable, ++index) {
      if (const PrinterObject* object = table.Find(asked->name, asked->name_length)) {
        Add(reply, *object, printer);
      } else if (IsV1(request)) {
        return Fail(request, reply, SNMP_ERR_NOSUCHNAME, index);
      } else {
        snmp_pdu_add_variable(&reply, asked->name, asked->name_length, SNMP_NOSUCHINSTANCE, nullptr, 0);
      }
    }
    return true;
  }

  bool GetNext(const netsnmp_pdu& request, std::size_t printer, netsnmp_pdu& reply) const {
    const PrinterObjectTable& table = TableOf(printer);
    ReplaceBindings(reply);
    long index = 1;
    for (const netsnmp_variable_list* asked = request.variables; asked; asked = asked->next_variable, ++index) {
      const std::size_t next = table.After(asked->name, asked->name_length);
      if (next < table.Size()) {
        Add(reply, table.At(next), printer);
      } else if (IsV1(request)) {
        return Fail(request, reply, SNMP_ERR_NOSUCHNAME, index);
      } else {
        snmp_pdu_add_variable(&reply, asked->name, asked->name_length, SNMP_ENDOFMIBVIEW, nullptr, 0);
      }
    }
    return true;
  }

  // The first non-repeaters objects as GETNEXT, then up to max-repetitions
  // rows of the others; the rows stop once every column is past the end.
  bool GetBulk(const netsnmp_pdu& request, std::size_t printer, netsnmp_pdu& reply) const {
    const PrinterObjectTable& table = TableOf(printer);
    ReplaceBindings(reply);
    const long nonRepeaters = std::max(0L, request.errstat);    // non-repeaters
    const long repetitions = std::max(0L, request.errindex);    // max-repetitions
    struct Column {
      const oid* name;  // the last name given, first the one asked for
      std::size_t length;
      std::size_t next;  // the position of the next object to give
    };
    std::vector<Column> columns;
    std::size_t bindings = 0;
    long index = 0;
    for (const netsnmp_variable_list* asked = request.variables; asked; asked = asked->next_variable, ++index) {
      Column column{asked->name, asked->name_length, table.After(asked->name, asked->name_length)};
      if (index >= nonRepeaters) {
        columns.push_back(column);
      } else {
        Step(reply, table, column, printer);
        ++bindings;
      }
    }
    for (long row = 0; row < repetitions && bindings + columns.size() <= kMaxBindings; ++row) {
      bool anyLeft = false;
      for (Column& column : columns) anyLeft = Step(reply, table, column, printer) || anyLeft;
      bindings += columns.size();
      if (!anyLeft) break;
    }
    return true;
  }

  // Gives the column's next object, or endOfMibView past the last; whether
  // there was an object.
  template <typename Column>
  static bool Step(netsnmp_pdu& reply, const PrinterObjectTable& table, Column& column, std::size_t printer) {
    if (column.next >= table.Size()) {
      snmp_pdu_add_variable(&reply, column.name, column.length, SNMP_ENDOFMIBVIEW, nullptr, 0);
      return false;
    }
    const PrinterObject& object = table.At(column.next++);
    Add(reply, object, printer);
    column.name = object.name.data();
    column.length = object.name.size();
    return true;
  }

  // Switches the jam of printer (0: every printer); any other object is not
  // writable.
  bool Set(const netsnmp_pdu& request, std::size_t printer, netsnmp_pdu& reply) {
    long index = 1;
    for (const netsnmp_variable_list* asked = request.variables; asked; asked = asked->next_variable, ++index) {
      if (!SameName(asked->name, asked->name_length, kErrorState) || asked->type != ASN_OCTET_STR) {
        return Fail(request, reply, IsV1(request) ? SNMP_ERR_NOSUCHNAME : SNMP_ERR_NOTWRITABLE, index);
      }
      const bool jam = asked->val_len > 0 && (asked->val.string[0] & kJammedBit) != 0;
      for (std::size_t each = printer == 0 ? 1 : printer; each <= (printer == 0 ? options.printers : printer); ++each) {
        jams[each].store(jam, std::memory_order_relaxed);
      }
    }
    return true;
  }

  static void ReplaceBindings(netsnmp_pdu& reply) {
    snmp_free_varbind(reply.variables);
    reply.variables = nullptr;
  }

  // An error answer carries the request's objects unchanged.
  static bool Fail(const netsnmp_pdu& request, netsnmp_pdu& reply, long status, long index) {
    ReplaceBindings(reply);
    reply.variables = snmp_clone_varbind(request.variables);
    reply.errstat = status;
    reply.errindex = index;
    return true;
  }

  static void Add(netsnmp_pdu& reply, const PrinterObject& object, std::size_t printer) {
    if (SameName(object.name.data(), object.name.size(), kPhysAddress)) {
      const std::string mac = MacBytes(printer);
      snmp_pdu_add_variable(&reply, object.name.data(), object.name.size(), ASN_OCTET_STR, mac.data(), mac.size());
      return;
    }
    snmp_pdu_add_variable(&reply, object.name.data(), object.name.size(), object.type, object.value.data(),
                          object.value.size());
  }

  Options options;
  PrinterObjectTable clear;
  PrinterObjectTable jammed;
  std::vector<std::atomic<bool>> jams;  // by printer number
  std::vector<Listener> listeners;      // never moved once the loop runs
  std::atomic<bool> stop{false};
  std::atomic<std::uint64_t> requests{0};
  std::thread thread;
};

FastSnmpAgent::FastSnmpAgent() = default;

FastSnmpAgent::~FastSnmpAgent() { Stop(); }

bool FastSnmpAgent::Start(const Options& options) {
  Stop();
  if (options.printers == 0) {
    problem_ = "no printers to serve";
    return false;
  }
  InitialiseLibrary();
  if (options.v3User) CreateUser(*options.v3User);
  auto serving = std::make_unique<Serving>(options);
  serving->listeners.reserve(options.portPerPrinter ? options.printers : 1);
  const std::size_t ports = options.portPerPrinter ? options.printers : 1;
  for (std::size_t i = 0; i < ports; ++i) {
    if (!serving->Listen(options.portPerPrinter ? i + 1 : 0)) {
      problem_ = "cannot listen on a UDP port of 127.0.0.1 (" + std::to_string(i) + " ports taken)";
      return false;
    }
  }
  serving_ = std::move(serving);
  serving_->thread = std::thread([serving = serving_.get()] { serving->Loop(); });
  return true;
}

void FastSnmpAgent::Stop() {
  if (!serving_) return;
  serving_->stop = true;
  if (serving_->thread.joinable()) serving_->thread.join();
  serving_.reset();
}

void FastSnmpAgent::SetJam(std::size_t printer, bool jammed) {
  if (serving_ && printer >= 1 && printer <= serving_->options.printers) serving_->jams[printer] = jammed;
}

void FastSnmpAgent::SetJamAll(bool jammed) {
  if (!serving_) return;
  for (std::size_t printer = 1; printer <= serving_->options.printers; ++printer) serving_->jams[printer] = jammed;
}

std::uint16_t FastSnmpAgent::Port(std::size_t printer) const {
  if (!serving_ || serving_->listeners.empty()) return 0;
  if (!serving_->options.portPerPrinter) return serving_->listeners.front().port;
  return printer >= 1 && printer <= serving_->listeners.size() ? serving_->listeners[printer - 1].port : 0;
}

std::size_t FastSnmpAgent::Printers() const { return serving_ ? serving_->options.printers : 0; }

std::uint64_t FastSnmpAgent::Requests() const { return serving_ ? serving_->requests.load() : 0; }

std::string FastSnmpAgent::Community(std::size_t printer) {
  char community[16];
  std::snprintf(community, sizeof community, "p%05zu", printer);
  return community;
}

std::vector<SnmpRecord> FastSnmpAgent::Records(std::size_t printer, bool jammed) {
  RecordedPrinter recorded;
  recorded.mac = MacHex(printer);
  if (jammed) {
    recorded.alerts = {RecordedAlert{}};  // a jam at tray 1
    recorded.errorState = "04";
  }
  return PrinterRecords(recorded);
}

}  // namespace snmp_test

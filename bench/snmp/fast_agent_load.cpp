// How many requests the fast test agent answers per second of its CPU, under
// a load that keeps it busy: one net-snmp session (async, 32 requests in
// flight, each a GET of the four status objects a poll asks) to a printer's
// community, then to its SNMPv3 context (authPriv, SHA, AES). The agent
// answers on one thread, so its requests per CPU second are the rate one
// core sustains.
//
// Usage: fast_agent_load [seconds per version] (default 5)

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "common/decimal_text.h"
#include "platform/child_process.h"
#include "platform/cpu_time.h"
#include "platform/path_search.h"
#include "platform/readiness.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kInFlight = 32;
constexpr char kUser[] = "watcher";
constexpr char kAuthPassword[] = "authsecret1";
constexpr char kPrivPassword[] = "privsecret1";
constexpr oid kStatus[][13] = {{1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 5, 1},
                               {1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 1, 1},
                               {1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 2, 1},
                               {1, 3, 6, 1, 2, 1, 43, 5, 1, 1, 1, 1, 1}};
constexpr std::size_t kStatusLength[] = {12, 12, 12, 13};

struct Load {
  void* session = nullptr;
  std::size_t answered = 0;
  std::size_t failed = 0;
  bool sending = true;
};

bool SendOne(Load& load);

int Answered(int operation, netsnmp_session*, int, netsnmp_pdu* answer, void* magic) {
  auto& load = *static_cast<Load*>(magic);
  if (!load.sending) return 1;  // left in flight at the end
  const bool ok = operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && answer->errstat == SNMP_ERR_NOERROR;
  ++(ok ? load.answered : load.failed);
  SendOne(load);
  return 1;
}

bool SendOne(Load& load) {
  netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_GET);
  for (std::size_t i = 0; i < 4; ++i) snmp_add_null_var(request, kStatus[i], kStatusLength[i]);
  if (snmp_sess_async_send(load.session, request, Answered, &load) != 0) return true;
  snmp_free_pdu(request);
  return false;
}

bool SetUpV3(netsnmp_session& setup) {
  setup.version = SNMP_VERSION_3;
  setup.securityName = const_cast<char*>(kUser);
  setup.securityNameLen = std::strlen(kUser);
  setup.securityLevel = SNMP_SEC_LEVEL_AUTHPRIV;
  setup.securityAuthProto = snmp_duplicate_objid(usmHMACSHA1AuthProtocol, USM_AUTH_PROTO_SHA_LEN);
  setup.securityAuthProtoLen = USM_AUTH_PROTO_SHA_LEN;
  setup.securityAuthKeyLen = USM_AUTH_KU_LEN;
  setup.securityPrivProto = snmp_duplicate_objid(usmAESPrivProtocol, USM_PRIV_PROTO_AES_LEN);
  setup.securityPrivProtoLen = USM_PRIV_PROTO_AES_LEN;
  setup.securityPrivKeyLen = USM_PRIV_KU_LEN;
  const auto key = [&](const char* password, u_char* out, size_t* length) {
    return generate_Ku(setup.securityAuthProto, static_cast<u_int>(setup.securityAuthProtoLen),
                       reinterpret_cast<const u_char*>(password), std::strlen(password), out, length) == SNMPERR_SUCCESS;
  };
  return key(kAuthPassword, setup.securityAuthKey, &setup.securityAuthKeyLen) &&
         key(kPrivPassword, setup.securityPrivKey, &setup.securityPrivKeyLen);
}

// Answers per agent CPU second over seconds of load; prints the line.
void Measure(const char* name, bool v3, std::uint16_t port, int agentProcess, double seconds) {
  netsnmp_session setup;
  snmp_sess_init(&setup);
  const std::string peer = "udp:127.0.0.1:" + std::to_string(port);
  setup.peername = const_cast<char*>(peer.c_str());
  setup.timeout = 2000000;
  setup.retries = 0;
  static char community[] = "p00001";
  if (v3) {
    if (!SetUpV3(setup)) return;
    setup.contextName = community;
    setup.contextNameLen = std::strlen(community);
  } else {
    setup.version = SNMP_VERSION_2c;
    setup.community = reinterpret_cast<u_char*>(community);
    setup.community_len = std::strlen(community);
  }
  Load load;
  load.session = snmp_sess_open(&setup);
  SNMP_FREE(setup.securityAuthProto);
  SNMP_FREE(setup.securityPrivProto);
  if (load.session == nullptr) return;
  const platform::NativeHandle socket = snmp_sess_transport(load.session)->sock;
  netsnmp_large_fd_set ready;
  netsnmp_large_fd_set_init(&ready, static_cast<int>(socket) + 1);
  const double agentBefore = platform::ProcessCpuSeconds(agentProcess).value_or(0);
  const auto start = Clock::now();
  for (int i = 0; i < kInFlight; ++i) SendOne(load);
  const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  while (Clock::now() < end) {
    bool readable = false;
    if (platform::WaitReadable({&socket, 1}, {&readable, 1}, 100) > 0) {
      netsnmp_large_fd_setfd(static_cast<int>(socket), &ready);
      snmp_sess_read2(load.session, &ready);
      netsnmp_large_fd_clr(static_cast<int>(socket), &ready);
    } else {
      snmp_sess_timeout(load.session);
    }
  }
  load.sending = false;
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double agentCpu = platform::ProcessCpuSeconds(agentProcess).value_or(0) - agentBefore;
  netsnmp_large_fd_set_cleanup(&ready);
  snmp_sess_close(load.session);
  std::printf("%-18s %10zu %8zu %12.0f %10.2f %16.0f\n", name, load.answered, load.failed,
              static_cast<double>(load.answered) / wall, agentCpu,
              agentCpu > 0 ? static_cast<double>(load.answered) / agentCpu : 0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const auto seconds = argc > 1 ? common::ParseDecimal(argv[1]) : std::optional<std::uint32_t>(5);
  if (!seconds || *seconds == 0) {
    std::fprintf(stderr, "usage: fast_agent_load [seconds per version]\n");
    return 2;
  }
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
  static char noMibs[] = "mibs :";
  netsnmp_config_remember(noMibs);
  init_snmp("fast_agent_load");

  const fs::path scratch = fs::temp_directory_path() / ("fast-agent-load-" + std::to_string(std::random_device()()));
  fs::create_directories(scratch);
  const fs::path portsFile = scratch / "ports";
  platform::ChildProcess agent;
  const fs::path program = fs::path(platform::ProgramDirectory()) / "fast_snmp_agent";
  if (!agent.Start(program.string(),
                   {"100", "--v3", kUser, kAuthPassword, kPrivPassword, "--ports-file", portsFile.string()},
                   (scratch / "agent.out").string())) {
    std::fprintf(stderr, "fast_agent_load: cannot start %s\n", program.c_str());
    return 1;
  }
  for (int wait = 0; wait < 200 && !fs::exists(portsFile); ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::ifstream file(portsFile);
  std::string line;
  const auto port = std::getline(file, line) ? common::ParseDecimal(line) : std::nullopt;
  if (!port) {
    std::fprintf(stderr, "fast_agent_load: the agent did not start\n");
    return 1;
  }
  std::printf("%-18s %10s %8s %12s %10s %16s\n", "", "answered", "failed", "answers/s", "agent CPU", "per agent CPU s");
  Measure("v2c", false, static_cast<std::uint16_t>(*port), agent.ProcessId(), *seconds);
  Measure("v3 authPriv", true, static_cast<std::uint16_t>(*port), agent.ProcessId(), *seconds);
  agent.Stop();
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return 0;
}

#pragma once
// The state of the TEC sender: its servers, the connection mode and the open
// connection. One per process, made by TecOpen and released by TecClose.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "eif/eif_clock.h"
#include "eif/tec_network.h"
#include "platform/random_access_file.h"

constexpr int TEC_MAX_SERVERS = 8;
// Events sent on a connection to a backup server before the first server is tried again.
constexpr int TEC_BACKUP_EVENT_LIMIT = 64;
constexpr long TEC_DEFAULT_RETRY_SECONDS = 120;
// The retry wait looks at the clock this often.
constexpr std::int64_t TEC_RETRY_STEP_MS = 5000;

// The network side and the clock the handle works with; null means the real ones.
struct TecSeams {
  TecNetwork* network = nullptr;
  EifClock* clock = nullptr;
};

struct TecHandle {
  int serverCount = 0;
  int currentServer = -1;  // server of the open connection, -1 when none
  std::array<std::string, TEC_MAX_SERVERS> serverNames;
  std::array<std::uint32_t, TEC_MAX_SERVERS> serverAddresses{};  // network byte order
  std::array<std::uint16_t, TEC_MAX_SERVERS> serverPorts{};      // network byte order, 0 = none yet
  std::array<bool, TEC_MAX_SERVERS> portConfigured{};            // never looked up when set
  bool connectionOriented = false;
  int reserved = 0;
  bool testMode = false;
  platform::RandomAccessFile testFile;
  std::uint64_t testFileSize = 0;
  std::unique_ptr<TecConnection> connection;
  long retryInterval = TEC_DEFAULT_RETRY_SECONDS;  // seconds
  int sentOnConnection = 0;
  int lastServer = -1;                // server that took the last event, -1 when it was not taken
  // Events given to a server or the test file, cached ones included; read by
  // other threads to tell that the sender makes progress.
  std::atomic<std::uint64_t> eventsDelivered{0};

  TecNetwork* network = nullptr;
  EifClock* clock = nullptr;
};

#include "eif/tec_sender.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "eif/eif_config.h"
#include "eif/event_cache.h"
#include "eif/event_filter.h"
#include "eif/tec_frame.h"

namespace {

// Longest retry wait taken from RetryInterval, so that milliseconds never overflow.
constexpr long kMaxRetrySeconds = 1000000000;

std::vector<std::string> ServerNames(std::string_view location) {
  if (!location.empty()) return {std::string(location)};
  return EifGetList("ServerLocation");
}

// The ports of ServerPort by position; 0 and numbers outside 1..65535 leave the
// port to the portmapper.
void ReadConfiguredPorts(TecHandle& handle, std::uint16_t portArgument) {
  handle.serverPorts.fill(0);
  handle.portConfigured.fill(false);
  if (portArgument != 0) {
    handle.serverPorts[0] = common::HostToNetwork16(portArgument);
    handle.portConfigured[0] = true;
    return;
  }
  std::vector<std::string> ports = EifGetList("ServerPort");
  for (int i = 0; i < handle.serverCount && i < static_cast<int>(ports.size()); ++i) {
    int port = std::atoi(ports[i].c_str());
    if (port <= 0 || port > 0xFFFF) continue;
    handle.serverPorts[i] = common::HostToNetwork16(static_cast<std::uint16_t>(port));
    handle.portConfigured[i] = true;
  }
}

bool ReadConnectionMode(int mode) {
  if (mode != TEC_MODE_FROM_CONFIG) return mode == TEC_CONNECTION_ORIENTED;
  const std::string* value = EifGetValue("ConnectionMode");
  return value != nullptr && (*value == "connection_oriented" || *value == "co" || *value == "CO");
}

long ReadRetryInterval() {
  const std::string* value = EifGetValue("RetryInterval");
  if (value == nullptr) return TEC_DEFAULT_RETRY_SECONDS;
  return std::clamp(std::strtol(value->c_str(), nullptr, 10), 0L, kMaxRetrySeconds);
}

void ConnectToFirstAvailable(TecHandle& handle) {
  for (int i = 0; i < handle.serverCount; ++i) {
    if (handle.serverPorts[i] == 0) continue;
    handle.connection = handle.network->ConnectTcp(handle.serverAddresses[i], handle.serverPorts[i]);
    if (handle.connection) {
      handle.currentServer = i;
      return;
    }
  }
}

bool OpenTestFile(TecHandle& handle) {
  handle.testMode = true;
  return handle.testFile.Open(handle.serverNames[0], platform::RandomAccessFile::Mode::Truncate) == 0;
}

TecSendResult WriteToTestFile(TecHandle& handle, std::string_view text) {
  std::string line(text);
  line += '\n';
  if (handle.testFile.WriteAt(handle.testFileSize, line.data(), line.size()) != 0)
    return {TecOutcome::CacheRefused, -1};
  handle.testFileSize += line.size();
  return {TecOutcome::Written, static_cast<long>(text.size())};
}

TecSendResult HandToCache(std::string_view text) {
  long result = CacheEvent(text);
  return {result == static_cast<long>(text.size()) ? TecOutcome::Cached : TecOutcome::CacheRefused, result};
}

bool SendFrame(TecConnection& connection, std::string_view text) {
  return SendEventFrame(connection, text.data(), text.size()) == 0;
}

// Waits retryInterval seconds, looking at the clock every 5 seconds.
void WaitRetryInterval(TecHandle& handle) {
  std::int64_t start = handle.clock->NowMilliseconds();
  std::int64_t wait = static_cast<std::int64_t>(handle.retryInterval) * 1000;
  while (handle.clock->NowMilliseconds() - start < wait) handle.clock->Sleep(TEC_RETRY_STEP_MS);
}

void DropConnection(TecHandle& handle) {
  handle.connection.reset();
  handle.currentServer = -1;
  handle.sentOnConnection = 0;
}

bool MayReuseConnection(const TecHandle& handle) {
  return handle.connection && (handle.currentServer == 0 || handle.sentOnConnection < TEC_BACKUP_EVENT_LIMIT);
}

// One connection is kept open; a failed send or the event limit on a backup
// server leads through the retry wait to a new pass from the first server.
// True once a server took the event.
bool SendConnectionOriented(TecHandle& handle, std::string_view text) {
  if (MayReuseConnection(handle) && !handle.connection->PeerHasClosed() && SendFrame(*handle.connection, text)) {
    ++handle.sentOnConnection;
    return true;
  }
  if (handle.connection) {
    WaitRetryInterval(handle);
    DropConnection(handle);
  }
  for (int i = 0; i < handle.serverCount; ++i) {
    if (!handle.portConfigured[i]) handle.serverPorts[i] = handle.network->LookupTecPort(handle.serverAddresses[i]);
    if (handle.serverPorts[i] == 0) continue;
    std::unique_ptr<TecConnection> connection =
        handle.network->ConnectTcp(handle.serverAddresses[i], handle.serverPorts[i]);
    if (!connection || !SendFrame(*connection, text)) continue;
    handle.connection = std::move(connection);
    handle.currentServer = i;
    handle.sentOnConnection = 1;
    return true;
  }
  return false;
}

// Events the open connection may still carry: any number on the first
// server, up to the event limit on a backup server.
std::size_t RoomOnConnection(const TecHandle& handle) {
  if (handle.testMode || !handle.connectionOriented || !MayReuseConnection(handle)) return 0;
  if (handle.currentServer == 0) return SIZE_MAX;
  return static_cast<std::size_t>(TEC_BACKUP_EVENT_LIMIT - handle.sentOnConnection);
}

struct FramedText {
  std::size_t end;  // where its frame ends in the frames; for a filtered text, where the one before it ends
  bool filtered;
};

// Appends to frames the frames of the leading texts, up to room of them
// (texts held back by the filter take none).
std::vector<FramedText> FrameTexts(std::span<const std::string_view> texts, std::size_t room, std::string& frames) {
  std::vector<FramedText> framed;
  for (std::string_view text : texts) {
    const bool filtered = EventIsFiltered(text, EifFilterList()) != 0;
    if (!filtered && room-- == 0) break;
    if (!filtered) AppendEventFrame(frames, text);
    framed.push_back({frames.size(), filtered});
  }
  return framed;
}

// Sends the frames of the leading texts that the open connection may carry
// in one send. The number of texts passed: those whose frame was sent whole,
// and those held back by the filter among them.
std::size_t SendOnOpenConnection(TecHandle& handle, std::span<const std::string_view> texts, long& delivered) {
  const std::size_t room = RoomOnConnection(handle);
  if (room == 0 || handle.connection->PeerHasClosed()) return 0;
  std::string frames;
  const std::vector<FramedText> framed = FrameTexts(texts, room, frames);
  const std::size_t sent = handle.connection->SendAll(frames.data(), frames.size());
  std::size_t passed = 0;
  int taken = 0;
  for (; passed < framed.size() && framed[passed].end <= sent; ++passed) taken += framed[passed].filtered ? 0 : 1;
  handle.sentOnConnection += taken;
  handle.eventsDelivered += static_cast<std::uint64_t>(taken);
  if (taken > 0) handle.lastServer = handle.currentServer;
  delivered += taken;
  return passed;
}

// A connection per event, closed right after it. True once a server took it.
bool SendConnectionLess(TecHandle& handle, std::string_view text) {
  for (int i = 0; i < handle.serverCount; ++i) {
    std::unique_ptr<TecConnection> connection =
        handle.network->ConnectTcp(handle.serverAddresses[i], handle.serverPorts[i]);
    if (!connection && !handle.portConfigured[i]) {
      handle.serverPorts[i] = handle.network->LookupTecPort(handle.serverAddresses[i]);
      if (handle.serverPorts[i] != 0)
        connection = handle.network->ConnectTcp(handle.serverAddresses[i], handle.serverPorts[i]);
    }
    if (!connection) continue;
    bool sent = SendFrame(*connection, text);
    connection.reset();
    if (sent) {
      handle.lastServer = i;
      return true;
    }
  }
  return false;
}

}  // namespace

TecHandle* TecOpen(std::string_view location, std::uint16_t port, int reserved, int mode, TecSeams seams) {
  std::vector<std::string> names = ServerNames(location);
  if (names.empty()) return nullptr;
  auto handle = std::make_unique<TecHandle>();
  handle->network = seams.network != nullptr ? seams.network : &DefaultTecNetwork();
  handle->clock = seams.clock != nullptr ? seams.clock : &DefaultEifClock();
  handle->serverCount = std::min(static_cast<int>(names.size()), TEC_MAX_SERVERS);
  std::copy_n(names.begin(), handle->serverCount, handle->serverNames.begin());

  if (EifValueIs("TestMode", "yes", "YES")) return OpenTestFile(*handle) ? handle.release() : nullptr;

  for (int i = 0; i < handle->serverCount; ++i) {
    std::optional<std::uint32_t> address = handle->network->ResolveServer(handle->serverNames[i]);
    if (!address) return nullptr;
    handle->serverAddresses[i] = *address;
  }
  ReadConfiguredPorts(*handle, port);
  for (int i = 0; i < handle->serverCount; ++i)
    if (handle->serverPorts[i] == 0) handle->serverPorts[i] = handle->network->LookupTecPort(handle->serverAddresses[i]);
  handle->connectionOriented = ReadConnectionMode(mode);
  handle->reserved = reserved;
  if (handle->connectionOriented) ConnectToFirstAvailable(*handle);
  handle->retryInterval = ReadRetryInterval();
  return handle.release();
}

TecSendResult TecTrySend(TecHandle& handle, std::string_view text) {
  if (EventIsFiltered(text, EifFilterList()) != 0) return {TecOutcome::Filtered, 0};
  if (handle.testMode) {
    TecSendResult written = WriteToTestFile(handle, text);
    if (written.outcome == TecOutcome::Written) ++handle.eventsDelivered;
    return written;
  }
  handle.lastServer = -1;
  const bool sent = handle.connectionOriented ? SendConnectionOriented(handle, text) : SendConnectionLess(handle, text);
  if (!sent) return {TecOutcome::NotDelivered, -1};
  if (handle.connectionOriented) handle.lastServer = handle.currentServer;
  ++handle.eventsDelivered;
  return {TecOutcome::Delivered, static_cast<long>(text.size())};
}

TecRunResult TecTrySendRun(TecHandle& handle, std::span<const std::string_view> texts) {
  TecRunResult run;
  while (run.passed < texts.size()) {
    run.passed += SendOnOpenConnection(handle, texts.subspan(run.passed), run.delivered);
    if (run.passed == texts.size()) break;
    TecOutcome outcome = TecTrySend(handle, texts[run.passed]).outcome;
    if (outcome == TecOutcome::NotDelivered || outcome == TecOutcome::CacheRefused) {
      run.stopped = true;
      break;
    }
    if (outcome != TecOutcome::Filtered) ++run.delivered;
    ++run.passed;
  }
  return run;
}

TecServerState TecServerStateOf(const TecHandle& handle) {
  TecServerState state;
  state.eventsDelivered = handle.eventsDelivered;
  int server = handle.eventsDelivered > 0 ? handle.lastServer : handle.currentServer;
  if (handle.testMode) server = 0;
  state.connected = server >= 0;
  if (server < 0) server = 0;
  if (handle.serverCount == 0) return state;
  state.server = handle.serverNames[server];
  if (handle.serverPorts[server] != 0) state.server += ":" + std::to_string(common::NetworkToHost16(handle.serverPorts[server]));
  return state;
}

TecSendResult TecDeliverEvent(TecHandle& handle, std::string_view text) {
  if (!handle.testMode && !CacheFlushInProgress()) {
    FlushCache(&handle);
    if (CacheFlushStopped()) {
      if (EventIsFiltered(text, EifFilterList()) != 0) return {TecOutcome::Filtered, 0};
      return HandToCache(text);
    }
  }
  TecSendResult result = TecTrySend(handle, text);
  return result.outcome == TecOutcome::NotDelivered ? HandToCache(text) : result;
}

long TecSendEvent(TecHandle* handle, std::string_view text) {
  if (handle == nullptr) return -1;
  return TecDeliverEvent(*handle, text).value;
}

void TecClose(TecHandle* handle) { delete handle; }

#pragma once
// Sending events to the TEC server: opening the sender, sending one event with
// fail-over over the configured servers, and closing.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "eif/tec_handle.h"

// Connection modes of TecOpen.
constexpr int TEC_CONNECTION_LESS = 0;
constexpr int TEC_CONNECTION_ORIENTED = 1;
constexpr int TEC_MODE_FROM_CONFIG = 2;  // read the ConnectionMode key

// Opens the sender for the server named by location (empty: the servers of
// ServerLocation) at port (host byte order; 0: the ports of ServerPort, else
// the portmapper's). Null when there is no server, a server name does not
// resolve, or the test-mode file cannot be created.
TecHandle* TecOpen(std::string_view location, std::uint16_t port, int reserved, int mode, TecSeams seams = {});

// 0 when a filter holds the event back; its length when it was written to the
// test file or delivered to a server; otherwise the result of CacheEvent.
// Events that wait in the cache are sent first, so that events keep the order
// in which they were sent; while they cannot be, the event is cached behind
// them.
long TecSendEvent(TecHandle* handle, std::string_view text);

// What became of one event, for callers that must tell a delivery from a
// successful hand-over to the cache.
enum class TecOutcome { Filtered, Written, Delivered, Cached, CacheRefused, NotDelivered };
struct TecSendResult {
  TecOutcome outcome;
  long value;  // as TecSendEvent returns it
};
TecSendResult TecDeliverEvent(TecHandle& handle, std::string_view text);

// One try to hand the event to a server or to the test file, with the cache
// left alone: NotDelivered (value -1) when no server took it.
TecSendResult TecTrySend(TecHandle& handle, std::string_view text);

// What became of events tried in order.
struct TecRunResult {
  std::size_t passed = 0;  // events delivered, written or held back by the filter
  long delivered = 0;      // of those, the events delivered or written
  bool stopped = false;    // the event after the passed ones was not delivered
};

// Tries the events in order as TecTrySend would, one by one, and stops at the
// first one that is not delivered. On an open connection the frames of the
// events it may still carry go out in one send; an event counts as delivered
// once every byte of its frame was sent, as with a send of its own.
TecRunResult TecTrySendRun(TecHandle& handle, std::span<const std::string_view> texts);

// Where the sender stands: the server that took the last event (before any
// event, the one connected to, else the first) as "name:port" or just the
// name while its port is unknown, whether that server took it (is connected),
// and how many events went out.
struct TecServerState {
  std::string server;
  bool connected = false;
  std::uint64_t eventsDelivered = 0;
};
TecServerState TecServerStateOf(const TecHandle& handle);

// Closes the connection and releases the handle.
void TecClose(TecHandle* handle);

struct TecHandleCloser {
  void operator()(TecHandle* handle) const { TecClose(handle); }
};
using TecHandlePtr = std::unique_ptr<TecHandle, TecHandleCloser>;

#pragma once
// Stop requests between processes of ours without a console: a named event
// per process that ChildProcess::RequestStop sets and the process watches
// beside its console control handler. A console is often missing (a
// program started detached, or under Wine without a terminal), and Ctrl-Break
// cannot reach a process without one.

#include <cstdint>

namespace platform {

// From now on a stop request for this process calls onRequest (on a thread of
// its own). Each function is called once per request.
void WatchStopRequests(void (*onRequest)());

// Sets the stop request of the process; false when it watches none.
bool SendStopRequest(std::uint32_t processId);

}  // namespace platform

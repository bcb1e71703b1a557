#pragma once
// The body of the sender thread: waits for queued events, for held events
// that their printers' budgets let go, or for the stop event; drains the
// queue into send, and ends with exit code 717 once stopEvent is signalled;
// events still queued or held then are not sent.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/event.h"
#include "service/event_queue.h"

inline constexpr std::uint32_t kSenderThreadExitCode = 717;
// The longest wait of the loop when it counts its progress.
inline constexpr std::uint32_t kSenderBeatMs = 1000;

// progress, when given, grows with each pass of the loop, and the loop passes
// at least every kSenderBeatMs while it waits: so it stays still only while
// a send does not end.
std::uint32_t RunSenderLoop(EventQueue& queue, platform::Event& stopEvent,
                            const std::function<void(const std::string&)>& send,
                            std::atomic<std::uint64_t>* progress = nullptr);

#pragma once
// The body of the sender thread: waits for queued events, for held events
// that their printers' budgets let go, or for the stop event; drains the
// queue into send, and ends with exit code 717 once stopEvent is signalled;
// events still queued or held then are not sent.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/event.h"
#include "service/event_queue.h"

inline constexpr std::uint32_t kSenderThreadExitCode = 717;

std::uint32_t RunSenderLoop(EventQueue& queue, platform::Event& stopEvent,
                            const std::function<void(const std::string&)>& send);

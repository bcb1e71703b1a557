#pragma once
// The program's message table: the event-log messages of the service. %1 is
// the service name, %2 the settings file name.

#include <cstdint>

#include "platform/event_log.h"

constexpr std::uint32_t MSG_SERVICE_INSTALLED = 100;
constexpr std::uint32_t MSG_SERVICE_REMOVED = 101;
constexpr std::uint32_t MSG_SERVICE_NOT_REMOVED = 102;
constexpr std::uint32_t MSG_SERVICE_STARTED = 103;
constexpr std::uint32_t MSG_SERVICE_STOPPED = 104;
constexpr std::uint32_t MSG_SERVICE_INIT_FAILED = 105;
constexpr std::uint32_t MSG_INVALID_REQUEST = 106;
constexpr std::uint32_t MSG_HANDLER_NOT_INSTALLED = 107;
constexpr std::uint32_t MSG_SOCKETS_FAILED = 108;
constexpr std::uint32_t MSG_SETTINGS_NOT_FOUND = 109;
constexpr std::uint32_t MSG_TEC_HANDLER_FAILED = 110;

// Ids 100 to 110 with their texts, each ending with CR LF.
platform::MessageTable ServiceMessageTable();

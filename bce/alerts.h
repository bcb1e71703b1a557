#pragma once
// The alert categories a caller asks the engine to capture, shared by the
// engine and the alert-capture library.

#include <cstdint>

// Categories of alerts; the same bits make up the engine's alert masks.
constexpr std::uint32_t ALERT_INPUT = 0x001;
constexpr std::uint32_t ALERT_OUTPUT = 0x002;
constexpr std::uint32_t ALERT_PAPER_JAM = 0x004;
constexpr std::uint32_t ALERT_SUPPLIES = 0x008;
constexpr std::uint32_t ALERT_OPERATOR = 0x010;
constexpr std::uint32_t ALERT_WARNING = 0x020;
constexpr std::uint32_t ALERT_SERVICE = 0x040;
constexpr std::uint32_t ALERT_CONFIG = 0x080;
constexpr std::uint32_t ALERT_OFFLINE = 0x100;

// The categories a caller asks to capture for a printer; owned by the caller.
struct ALERTS {
  std::uint32_t dwCategories;
};

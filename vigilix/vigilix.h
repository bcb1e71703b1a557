#pragma once
// Vigilix, the alert-capture library: the records that cross between the
// library and its caller, and the library's exports. The alert categories
// come from the engine's declarations.

#include <cstdint>

#include "bce/alerts.h"
#include "messages/window.h"

// One alert of a report.
struct ALERT_ENTRY {
  std::int32_t nCode;        // severity 0..100, or a pseudo-alert code
  char* pszText;             // NUL-terminated message text
  std::uint32_t dwTextSize;  // text length + 1
};

// One printer's alert report, handed to the callback and valid until it returns.
struct _VIGILIX_RETURN {
  std::uint16_t wPrinter;
  char* pszModel;
  std::uint32_t dwModelSize;
  std::uint16_t wAlertCount;
  ALERT_ENTRY* pAlerts;
};

constexpr std::int32_t VX_CODE_OFFLINE = -1000;
constexpr std::int32_t VX_CODE_READY = -2000;
constexpr std::int32_t VX_CODE_COMM_LOST = -3000;
constexpr std::int32_t VX_CODE_COMM_RESTORED = -4000;

using VX_ALERT_CALLBACK = std::uint16_t (*)(_VIGILIX_RETURN* report);

// Exports, with C++ linkage.
platform::WindowHandle VXCreate();
int VXInit(VX_ALERT_CALLBACK callback, std::int16_t application, std::uint32_t checkInterval);
int VXRegisterPrinter(std::uint16_t printer, ALERTS* alerts);
int VXRegisterPrinter(std::uint16_t printer, std::uint8_t deviceClass, std::uint8_t* data, ALERTS* alerts);

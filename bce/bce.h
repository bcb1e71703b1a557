#pragma once
// The printer communication engine's nine functions, and the count of its
// thread's rounds, as libkorbce.so exports them (C linkage). Application ids and printer ids are 16-bit.

#include <cstdint>

#include "bce/alerts.h"
#include "bce/bce_messages.h"
#include "bce/bce_records.h"
#include "messages/window.h"

extern "C" {

// Called once per printer found, with its 412-byte PrinterEnumRecord; returns 1.
typedef std::uint16_t (*BCE_ENUM_CALLBACK)(const std::uint8_t* printerRecord);
// Called once per network-information reply record, with its length in bytes.
typedef void (*BCE_NETINFO_CALLBACK)(const std::uint8_t* record, std::uint32_t length);

// Registers the window that receives the engine's notifications.
// Returns the application id; below 1 is failure.
std::int16_t BceRegisterApp(platform::WindowHandle window);

// Enumerates the printers of the classes in mask; 0 is success.
std::int32_t BceEnumPrinters(std::int16_t application, std::uint32_t mask, BCE_ENUM_CALLBACK callback);

// Enumerates the printer on one spooler port (classes is 0xFFF: every class).
std::int32_t BceEnumSpecificPort(std::int16_t application, std::uint32_t classes, const char* portName,
                                 BCE_ENUM_CALLBACK callback);

// Fills the 680-byte PrinterAddressBlock (kind 2: IP address text at offset 24).
std::int32_t BceGetPrinterAddrEx(std::uint16_t printer, std::uint32_t reserved, std::uint8_t* block,
                                 std::uint32_t kind);

// Network-information exchange: target 0xFFFF, protocol 2, request 24 (subnet
// list) or 27 (query; the callback runs for each reply record; 0 is success).
std::int32_t BceExchangeNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t request,
                                const void* buffer, std::uint32_t length, std::uint32_t reserved1,
                                std::uint32_t reserved2, BCE_NETINFO_CALLBACK callback);

// Hands one net-info block back to the engine (target 0xFFFF, protocol 2, kind 2).
std::int32_t BceSetNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t kind, const void* block,
                           std::uint32_t length);

// Watches communication with printers (printer 0xFFFF: all of the application's),
// posting WM_VX_COMM_LOST and WM_VX_COMM_RESTORED.
std::int32_t BceMonitorPrinter(std::int16_t application, std::uint16_t printer, std::uint32_t mode,
                               std::uint32_t seconds);

// Captures the printer's alerts of the categories in *alerts, posting
// WM_VX_ALERTS to window; 0 is success.
std::int32_t BceCaptureAlerts(std::int16_t application, std::uint16_t printer, ALERTS* alerts,
                              platform::WindowHandle window, std::uint32_t reserved);

// Sends a command to the printer; 0 is success and *replyLength is set to the
// number of reply bytes written (it holds the buffer size on entry).
std::int32_t BceSendBidi(std::int16_t application, std::uint16_t printer, std::uint32_t reserved,
                         std::uint32_t command, std::uint8_t* reply, std::uint32_t* replyLength,
                         const std::uint8_t* request, std::uint32_t requestLength);

// How many rounds the engine's own thread has made (each looks at the engine's
// file and posts the notifications that are due); it stops growing while that
// thread is stuck, and stays 0 when the thread could not start.
std::uint64_t BceCheckRounds();

}  // extern "C"

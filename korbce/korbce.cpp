// The engine's exported functions: each hands its call to the process's engine.

#include "bce/bce.h"
#include "korbce/engine.h"

extern "C" {

std::int16_t BceRegisterApp(platform::WindowHandle window) { return korbce::TheEngine().RegisterApp(window); }

std::int32_t BceEnumPrinters(std::int16_t application, std::uint32_t mask, BCE_ENUM_CALLBACK callback) {
  return korbce::TheEngine().EnumPrinters(application, mask, callback);
}

std::int32_t BceEnumSpecificPort(std::int16_t application, std::uint32_t classes, const char* portName,
                                 BCE_ENUM_CALLBACK callback) {
  return korbce::TheEngine().EnumSpecificPort(application, classes, portName, callback);
}

std::int32_t BceGetPrinterAddrEx(std::uint16_t printer, std::uint32_t reserved, std::uint8_t* block,
                                 std::uint32_t kind) {
  return korbce::TheEngine().GetPrinterAddrEx(printer, reserved, block, kind);
}

std::int32_t BceExchangeNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t request,
                                const void* buffer, std::uint32_t length, std::uint32_t reserved1,
                                std::uint32_t reserved2, BCE_NETINFO_CALLBACK callback) {
  return korbce::TheEngine().ExchangeNetInfo(target, protocol, request, buffer, length, reserved1, reserved2,
                                             callback);
}

std::int32_t BceSetNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t kind, const void* block,
                           std::uint32_t length) {
  return korbce::TheEngine().SetNetInfo(target, protocol, kind, block, length);
}

std::int32_t BceMonitorPrinter(std::int16_t application, std::uint16_t printer, std::uint32_t mode,
                               std::uint32_t seconds) {
  return korbce::TheEngine().MonitorPrinter(application, printer, mode, seconds);
}

std::int32_t BceCaptureAlerts(std::int16_t application, std::uint16_t printer, ALERTS* alerts,
                              platform::WindowHandle window, std::uint32_t reserved) {
  return korbce::TheEngine().CaptureAlerts(application, printer, alerts, window, reserved);
}

std::int32_t BceSendBidi(std::int16_t application, std::uint16_t printer, std::uint32_t reserved,
                         std::uint32_t command, std::uint8_t* reply, std::uint32_t* replyLength,
                         const std::uint8_t* request, std::uint32_t requestLength) {
  return korbce::TheEngine().SendBidi(application, printer, reserved, command, reply, replyLength, request,
                                      requestLength);
}

std::uint64_t BceCheckRounds() { return korbce::TheEngine().CheckRounds(); }

}  // extern "C"

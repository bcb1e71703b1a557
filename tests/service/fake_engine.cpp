#include "tests/service/fake_engine.h"

#include <algorithm>
#include <cstring>

#include "vigilix/vigilix.h"

namespace fake_engine {
namespace {

using Lock = std::lock_guard<std::mutex>;

std::vector<std::uint8_t> BytesOf(const void* buffer, std::uint32_t length) {
  if (buffer == nullptr) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  return std::vector<std::uint8_t>(bytes, bytes + length);
}

std::uint64_t AddressOf(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

void Report(const std::vector<PrinterBytes>& found, BCE_ENUM_CALLBACK callback) {
  for (const PrinterBytes& printer : found) {
    if (callback) callback(printer.data());
  }
}

}  // namespace

PrinterBytes MakePrinter(std::uint16_t printerId, std::uint32_t protocolFlags, std::uint16_t adapterType,
                         std::uint16_t portType, std::array<std::uint8_t, 6> mac) {
  PrinterBytes bytes{};
  std::copy(mac.begin(), mac.end(), bytes.begin() + PrinterEnumRecordLayout::kMacAddress);
  WriteLe16(bytes.data() + PrinterEnumRecordLayout::kEnumPrinterId, printerId);
  WriteLe32(bytes.data() + PrinterEnumRecordLayout::kProtocolFlags, protocolFlags);
  WriteLe16(bytes.data() + PrinterEnumRecordLayout::kAdapterType, adapterType);
  WriteLe16(bytes.data() + PrinterEnumRecordLayout::kPortType, portType);
  return bytes;
}

std::vector<std::uint8_t> MakeNetInfoReply(std::uint32_t flag, std::uint32_t value, std::string_view texts) {
  std::vector<std::uint8_t> record(12 + texts.size(), 0);
  WriteLe32(record.data() + 4, flag);
  WriteLe32(record.data() + 8, value);
  std::copy(texts.begin(), texts.end(), record.begin() + 12);
  return record;
}

FakeEngine& FakeEngine::Instance() {
  static FakeEngine engine;
  return engine;
}

void FakeEngine::Reset() {
  Lock lock(mutex_);
  static_cast<EngineAnswers&>(*this) = EngineAnswers{};
  calls_.clear();
}

std::vector<EngineCall> FakeEngine::Calls() const {
  Lock lock(mutex_);
  return calls_;
}

std::vector<EngineCall> FakeEngine::CallsTo(std::string_view function) const {
  Lock lock(mutex_);
  std::vector<EngineCall> matching;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(matching),
               [function](const EngineCall& call) { return call.function == function; });
  return matching;
}

void FakeEngine::Record(EngineCall call) {
  Lock lock(mutex_);
  calls_.push_back(std::move(call));
}

}  // namespace fake_engine

using fake_engine::FakeEngine;

extern "C" {

std::int16_t BceRegisterApp(platform::WindowHandle window) {
  FakeEngine& engine = FakeEngine::Instance();
  engine.Record({"BceRegisterApp", {fake_engine::AddressOf(window)}, {}, {}});
  std::lock_guard lock(engine.Mutex());
  return engine.registerAppResult;
}

std::int32_t BceEnumPrinters(std::int16_t application, std::uint32_t mask, BCE_ENUM_CALLBACK callback) {
  FakeEngine& engine = FakeEngine::Instance();
  engine.Record({"BceEnumPrinters", {static_cast<std::uint64_t>(application), mask}, {}, {}});
  std::vector<fake_engine::PrinterBytes> found;
  std::int32_t result;
  {
    std::lock_guard lock(engine.Mutex());
    found = engine.printers;
    result = engine.enumResult;
  }
  fake_engine::Report(found, callback);
  return result;
}

std::int32_t BceEnumSpecificPort(std::int16_t application, std::uint32_t classes, const char* portName,
                                 BCE_ENUM_CALLBACK callback) {
  FakeEngine& engine = FakeEngine::Instance();
  std::string port = portName ? portName : "";
  engine.Record({"BceEnumSpecificPort", {static_cast<std::uint64_t>(application), classes}, port, {}});
  std::vector<fake_engine::PrinterBytes> found;
  std::int32_t result;
  {
    std::lock_guard lock(engine.Mutex());
    auto onPort = engine.portPrinters.find(port);
    if (onPort != engine.portPrinters.end()) found = onPort->second;
    result = engine.enumPortResult;
  }
  fake_engine::Report(found, callback);
  return result;
}

std::int32_t BceGetPrinterAddrEx(std::uint16_t printer, std::uint32_t reserved, std::uint8_t* block,
                                 std::uint32_t kind) {
  FakeEngine& engine = FakeEngine::Instance();
  engine.Record({"BceGetPrinterAddrEx", {printer, reserved, kind}, {}, {}});
  std::lock_guard lock(engine.Mutex());
  auto text = engine.addressTexts.find(printer);
  if (text == engine.addressTexts.end() || block == nullptr) return 1;
  std::uint8_t* field = block + PrinterAddressBlockLayout::kIpAddressText;
  std::size_t room = PrinterAddressBlockLayout::kSize - PrinterAddressBlockLayout::kIpAddressText;
  std::size_t length = std::min(text->second.size(), room - 1);
  std::memcpy(field, text->second.data(), length);
  field[length] = 0;
  return 0;
}

std::int32_t BceExchangeNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t request, const void* buffer,
                                std::uint32_t length, std::uint32_t reserved1, std::uint32_t reserved2,
                                BCE_NETINFO_CALLBACK callback) {
  FakeEngine& engine = FakeEngine::Instance();
  engine.Record({"BceExchangeNetInfo",
                 {target, protocol, request, length, reserved1, reserved2},
                 {},
                 fake_engine::BytesOf(buffer, length)});
  if (request != NETINFO_REQUEST_QUERY) return 0;
  std::vector<std::vector<std::uint8_t>> replies;
  std::int32_t result;
  {
    std::lock_guard lock(engine.Mutex());
    replies = engine.netInfoReplies;
    result = engine.queryResult;
  }
  for (const auto& reply : replies) {
    if (callback) callback(reply.empty() ? nullptr : reply.data(), static_cast<std::uint32_t>(reply.size()));
  }
  return result;
}

std::int32_t BceSetNetInfo(std::uint32_t target, std::uint32_t protocol, std::uint32_t kind, const void* block,
                           std::uint32_t length) {
  FakeEngine& engine = FakeEngine::Instance();
  engine.Record({"BceSetNetInfo", {target, protocol, kind, length}, {}, fake_engine::BytesOf(block, length)});
  std::lock_guard lock(engine.Mutex());
  return engine.setNetInfoResult;
}

std::int32_t BceMonitorPrinter(std::int16_t application, std::uint16_t printer, std::uint32_t mode,
                               std::uint32_t seconds) {
  FakeEngine& engine = FakeEngine::Instance();
  engine.Record({"BceMonitorPrinter", {static_cast<std::uint64_t>(application), printer, mode, seconds}, {}, {}});
  std::lock_guard lock(engine.Mutex());
  return engine.monitorResult;
}

std::int32_t BceCaptureAlerts(std::int16_t application, std::uint16_t printer, ALERTS* alerts,
                              platform::WindowHandle window, std::uint32_t reserved) {
  FakeEngine& engine = FakeEngine::Instance();
  std::uint64_t categories = alerts ? alerts->dwCategories : 0;
  engine.Record(
      {"BceCaptureAlerts",
       {static_cast<std::uint64_t>(application), printer, categories, fake_engine::AddressOf(window), reserved},
       {},
       {}});
  std::lock_guard lock(engine.Mutex());
  return engine.captureResult;
}

std::int32_t BceSendBidi(std::int16_t application, std::uint16_t printer, std::uint32_t reserved, std::uint32_t command,
                         std::uint8_t* reply, std::uint32_t* replyLength, const std::uint8_t* request,
                         std::uint32_t requestLength) {
  FakeEngine& engine = FakeEngine::Instance();
  engine.Record({"BceSendBidi",
                 {static_cast<std::uint64_t>(application), printer, reserved, command},
                 {},
                 fake_engine::BytesOf(request, requestLength)});
  decltype(engine.sendBidi) answer;
  {
    std::lock_guard lock(engine.Mutex());
    answer = engine.sendBidi;
  }
  return answer ? answer(printer, command, reply, replyLength) : 1;
}

}  // extern "C"

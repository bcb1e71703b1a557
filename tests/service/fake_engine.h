#pragma once
// A fake printer communication engine for unit tests. The test program defines
// the nine engine functions itself (fake_engine.cpp); they record every call
// and answer from what the test has set on FakeEngine. Set ENABLE_EXPORTS on
// the test program so that shared libraries bind to these definitions too.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "bce/bce.h"

namespace fake_engine {

using PrinterBytes = std::array<std::uint8_t, PrinterEnumRecordLayout::kSize>;

// A printer description as the engine hands it to the enumeration callback.
PrinterBytes MakePrinter(std::uint16_t printerId, std::uint32_t protocolFlags = 0, std::uint16_t adapterType = 0,
                         std::uint16_t portType = 0, std::array<std::uint8_t, 6> mac = {});

// A network-information reply record: the flag word at bytes 4-7, the value at
// bytes 8-11, then the texts as given (with their NUL bytes).
std::vector<std::uint8_t> MakeNetInfoReply(std::uint32_t flag, std::uint32_t value, std::string_view texts);

// One call as the engine received it.
struct EngineCall {
  std::string function;                // "BceEnumPrinters", ...
  std::vector<std::uint64_t> numbers;  // the numeric arguments in order (windows as their address)
  std::string text;                    // the port name of BceEnumSpecificPort
  std::vector<std::uint8_t> buffer;    // the bytes handed in: subnet list, query, net-info block
};

// What the fake engine answers; every field holds its default until set.
struct EngineAnswers {
  std::int16_t registerAppResult = 1;
  // BceEnumPrinters reports these printers whatever the mask, then returns enumResult.
  std::vector<PrinterBytes> printers;
  std::int32_t enumResult = 0;
  // BceEnumSpecificPort reports the printers of the named port.
  std::map<std::string, std::vector<PrinterBytes>> portPrinters;
  std::int32_t enumPortResult = 0;
  // BceGetPrinterAddrEx writes the printer's text at offset 24; unknown ids fail
  // and leave the block alone.
  std::map<std::uint16_t, std::string> addressTexts;
  // Request 27 hands each reply record to the callback, then returns queryResult.
  std::vector<std::vector<std::uint8_t>> netInfoReplies;
  std::int32_t queryResult = 0;
  std::int32_t setNetInfoResult = 0;
  std::int32_t monitorResult = 0;
  std::int32_t captureResult = 0;
  // Answers BceSendBidi; without one every command fails with 1.
  std::function<std::int32_t(std::uint16_t printer, std::uint32_t command, std::uint8_t* reply,
                             std::uint32_t* replyLength)>
      sendBidi;
};

// Set the answers before the code under test runs; Reset between tests.
class FakeEngine : public EngineAnswers {
 public:
  static FakeEngine& Instance();

  // Forgets every call and restores the default answers.
  void Reset();
  std::vector<EngineCall> Calls() const;
  std::vector<EngineCall> CallsTo(std::string_view function) const;

  // Used by the engine functions.
  void Record(EngineCall call);
  std::mutex& Mutex() const { return mutex_; }

 private:
  FakeEngine() = default;
  mutable std::mutex mutex_;
  std::vector<EngineCall> calls_;
};

}  // namespace fake_engine

// The alert intake over arbitrary series of reports (texts, codes and models
// of any bytes): every composed event parses back into exactly its eleven
// parts (ten attributes in their order, then the end), carries the printer's
// values, and the printer's active alerts are afterwards exactly the ordinary
// entries of the last report.

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "eif/event_filter.h"
#include "fuzz_support.h"
#include "service/alert_intake.h"
#include "service/alert_key.h"
#include "service/severity_names.h"
#include "service/tec_event.h"

namespace {

constexpr std::uint16_t kPrinterId = 7;
constexpr std::string_view kEventEnd = "END\n\x01";
constexpr std::array<std::string_view, 10> kAttributeNames = {
    "Class", "source", "severity", "msg", "printer_address", "printer_model", "origin", "hostname", "port_attachment",
    "adapter_product"};
constexpr std::array<std::int32_t, 4> kStateCodes = {VX_CODE_OFFLINE, VX_CODE_READY, VX_CODE_COMM_LOST,
                                                      VX_CODE_COMM_RESTORED};

bool IsStateCode(std::int32_t code) { return std::find(kStateCodes.begin(), kStateCodes.end(), code) != kStateCodes.end(); }

std::string Quoted(std::string_view value) { return "'" + QuotedValueText(value) + "'"; }

// One report read from the input: a model and up to eight entries.
class FuzzedReport {
 public:
  explicit FuzzedReport(FuzzInput& input) : model_(input.Piece()) {
    const std::size_t count = input.Byte() % 9;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t kind = input.Byte();
      std::int32_t code = kind < 64 ? kind % 8 : kStateCodes[kind % 4];
      if (kind >= 128) {
        const std::uint32_t low = input.Word();
        code = static_cast<std::int32_t>(low | (std::uint32_t{input.Word()} << 16));
      }
      codes_.push_back(code);
      texts_.emplace_back(input.Piece());
    }
    for (std::size_t i = 0; i < count; ++i)
      entries_.push_back({codes_[i], texts_[i].data(), static_cast<std::uint32_t>(texts_[i].size() + 1)});
    input.Byte();  // keeps the codes apart from the texts for the mutator
  }
  _VIGILIX_RETURN Record() {
    return {kPrinterId, model_.data(), static_cast<std::uint32_t>(model_.size() + 1),
            static_cast<std::uint16_t>(entries_.size()), entries_.data()};
  }
  // The text as the callback sees it: up to its first NUL.
  std::string Text(std::size_t entry) const { return texts_[entry].c_str(); }
  std::string Model() const { return model_.c_str(); }
  const std::vector<ALERT_ENTRY>& Entries() const { return entries_; }

 private:
  std::string model_;
  std::vector<std::int32_t> codes_;
  std::vector<std::string> texts_;
  std::vector<ALERT_ENTRY> entries_;
};

PrinterEnumRecord FuzzedPrinter(FuzzInput& input) {
  PrinterEnumRecord record;
  const std::string_view bytes = input.Piece();
  std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
  WriteLe16(record.bytes.data() + PrinterEnumRecordLayout::kEnumPrinterId, kPrinterId);
  return record;
}

void CheckEvent(const std::string& event, const PrinterTable& table, const std::set<std::string>& messages) {
  FUZZ_CHECK(event.ends_with(kEventEnd));
  FUZZ_CHECK(event.find('\n') == event.size() - 2 && event.find('\x01') == event.size() - 1);
  const EifList<EifPair> attributes = ParseEventAttributes(event);
  FUZZ_CHECK(attributes.Count() == kAttributeNames.size());
  for (std::size_t i = 0; i < kAttributeNames.size(); ++i) FUZZ_CHECK(attributes.Get(i)->name == kAttributeNames[i]);
  FUZZ_CHECK(attributes.Get(0)->value == "Korvane_Printer_Alert");
  FUZZ_CHECK(attributes.Get(1)->value == "Korvane_Printers");
  const std::string& severity = attributes.Get(2)->value;
  FUZZ_CHECK(std::find(SeverityNames.begin(), SeverityNames.end(), severity) != SeverityNames.end());
  FUZZ_CHECK(messages.count(attributes.Get(3)->value) == 1);
  FUZZ_CHECK(attributes.Get(4)->value == Quoted(table.GetMacAddressText(kPrinterId)));
  FUZZ_CHECK(attributes.Get(5)->value == Quoted(table.GetPrinterModel(kPrinterId)));
  FUZZ_CHECK(attributes.Get(6)->value == Quoted(table.GetIpAddressText(kPrinterId)));
  FUZZ_CHECK(attributes.Get(7)->value == Quoted(table.GetHostName(kPrinterId)));
  FUZZ_CHECK(attributes.Get(8)->value == Quoted(table.GetPortName(kPrinterId)));
  FUZZ_CHECK(attributes.Get(9)->value == Quoted(table.GetAdapterProductName(kPrinterId)));
  // Every event is a record of the cache on its own.
  FUZZ_CHECK(std::count(event.begin(), event.end(), CACHE_RECORD_END) == 1);
}

std::vector<std::string> OrdinaryKeys(const FuzzedReport& report) {
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < report.Entries().size(); ++i) {
    if (!IsStateCode(report.Entries()[i].nCode)) keys.push_back(MakeAlertKey(report.Text(i), report.Entries()[i].nCode));
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  PrinterTable table;
  table.AddOrUpdate(FuzzedPrinter(input));
  EventQueue queue;
  std::set<std::string> messages;  // every msg value an event may carry
  for (int reports = 0; !input.Empty() && reports < 16; ++reports) {
    FuzzedReport report(input);
    for (std::size_t i = 0; i < report.Entries().size(); ++i) {
      messages.insert(Quoted(report.Text(i)));
      messages.insert(Quoted(report.Text(i) + "(Resolved)"));
    }
    _VIGILIX_RETURN record = report.Record();
    FUZZ_CHECK(HandleAlertReport(table, queue, &record) == 0);
    FUZZ_CHECK(table.GetPrinterModel(kPrinterId) == report.Model());
    queue.Drain([&](const std::string& event) { CheckEvent(event, table, messages); });

    std::vector<std::string> active;
    table.ForEachRecordOf(kPrinterId, [&](PrinterRecord& printer) {
      active.assign(printer.activeAlerts.begin(), printer.activeAlerts.end());
    });
    std::sort(active.begin(), active.end());
    FUZZ_CHECK(active == OrdinaryKeys(report));
  }
  return 0;
}

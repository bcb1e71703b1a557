// The TEC event string: alert keys, severity names and quoted values.

#include "service/tec_event.h"

#include <gtest/gtest.h>

#include "service/alert_key.h"
#include "service/severity_names.h"

namespace {

const EventPrinterFields kPrinter{"0080A1B2C3D4", "Laser 9000", "127.0.0.1", "printer.example", "Parallel 1",
                                  "NetCard"};

TEST(AlertKeyTest, BuildsAndSplitsAtTheLastSeparator) {
  EXPECT_EQ(MakeAlertKey("Paper Jam", 3), "Paper Jam;-;3");
  EXPECT_EQ(MakeAlertKey("", -2000), ";-;-2000");

  AlertKeyParts parts = SplitAlertKey("Paper Jam;-;3");
  EXPECT_EQ(parts.message, "Paper Jam");
  EXPECT_EQ(parts.severityIndex, 3);
  parts = SplitAlertKey("Tray;-;2 empty;-;4");
  EXPECT_EQ(parts.message, "Tray;-;2 empty");
  EXPECT_EQ(parts.severityIndex, 4);
  parts = SplitAlertKey("Odd;-; 12abc");
  EXPECT_EQ(parts.severityIndex, 12);
  parts = SplitAlertKey("Odd;-;x");
  EXPECT_EQ(parts.severityIndex, 0);
  parts = SplitAlertKey("No separator");
  EXPECT_EQ(parts.message, "No separator");
  EXPECT_EQ(parts.severityIndex, 0);
}

TEST(SeverityNamesTest, NamesTheSixIndexesAndNothingElse) {
  const char* expected[] = {"UNKNOWN", "HARMLESS", "WARNING", "MINOR", "CRITICAL", "FATAL"};
  for (long index = 0; index < 6; ++index) EXPECT_STREQ(SeverityName(index), expected[index]);
  EXPECT_STREQ(SeverityName(-1), "UNKNOWN");
  EXPECT_STREQ(SeverityName(6), "UNKNOWN");
  EXPECT_STREQ(SeverityName(100), "UNKNOWN");
}

TEST(TecEventTest, OrdinaryAndResolvedForms) {
  EXPECT_EQ(ComposeTecEvent("Paper Jam;-;3", false, kPrinter),
            "Korvane_Printer_Alert;source=Korvane_Printers;severity=MINOR;msg='Paper Jam';"
            "printer_address='0080A1B2C3D4';printer_model='Laser 9000';origin='127.0.0.1';"
            "hostname='printer.example';port_attachment='Parallel 1';adapter_product='NetCard';END\n\x01");
  EXPECT_EQ(ComposeTecEvent("Toner Low;-;2", true, kPrinter),
            "Korvane_Printer_Alert;source=Korvane_Printers;severity=WARNING;msg='Toner Low(Resolved)';"
            "printer_address='0080A1B2C3D4';printer_model='Laser 9000';origin='127.0.0.1';"
            "hostname='printer.example';port_attachment='Parallel 1';adapter_product='NetCard';END\n\x01");
}

TEST(TecEventTest, MissingValuesStayAsEmptyQuotes) {
  EXPECT_EQ(ComposeTecEvent("Offline;-;2", false, {}),
            "Korvane_Printer_Alert;source=Korvane_Printers;severity=WARNING;msg='Offline';printer_address='';"
            "printer_model='';origin='';hostname='';port_attachment='';adapter_product='';END\n\x01");
  EXPECT_EQ(ComposeTecEvent(";-;99", false, {}).substr(0, 80),
            "Korvane_Printer_Alert;source=Korvane_Printers;severity=UNKNOWN;msg='';printer_ad");
}

TEST(TecEventTest, PrinterTextsCannotAddAttributesOrEndTheRecord) {
  EventPrinterFields printer;
  printer.model = "Model';severity='FATAL";
  printer.hostName = "host\x01name\nEND\r\t\x7f";
  printer.adapterProduct = "caf\xc3\xa9";
  const std::string event = ComposeTecEvent("It's jammed;-;4", false, printer);
  EXPECT_EQ(event,
            "Korvane_Printer_Alert;source=Korvane_Printers;severity=CRITICAL;msg='It''s jammed';printer_address='';"
            "printer_model='Model'';severity=''FATAL';origin='';hostname='hostnameEND';port_attachment='';"
            "adapter_product='caf\xc3\xa9';END\n\x01");
  EXPECT_EQ(event.find('\x01'), event.size() - 1);
  EXPECT_EQ(event.find('\n'), event.size() - 2);
}

}  // namespace

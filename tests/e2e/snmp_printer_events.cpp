#include "snmp_printer_events.h"

#include <algorithm>
#include <cstdio>

#include "tests/korbce/snmp_snapshot_builders.h"
#include "tests/support/snapshot_recording.h"

namespace e2e {

using namespace korbce::snmp;
using namespace korbce::snmp::testing;

PrinterSnapshot WithAlerts(std::vector<AlertRow> alerts) {
  PrinterSnapshot snapshot = OfficePrinter();
  snapshot.alerts = std::move(alerts);
  return snapshot;
}

PrinterSnapshot WithErrorState(unsigned first, unsigned second, std::vector<AlertRow> alerts) {
  PrinterSnapshot snapshot = WithAlerts(std::move(alerts));
  snapshot.detectedErrorState = ErrorState(first, second);
  return snapshot;
}

std::vector<Printer> ConditionTable() {
  std::vector<Printer> printers = {
      {"input-empty", WithAlerts({Alert(8, 2, 808)}), {Critical("Paper Input Empty - Tray 2")}},
      {"input-low", WithAlerts({Alert(8, 1, 807, kWarning)}), {Warning("Paper Input Low - Tray 1")}},
      {"tray-missing", WithAlerts({Alert(8, 2, 801)}), {Critical("Paper Tray Missing - Tray 2")}},
      {"bin-full", WithAlerts({Alert(9, 1, 903)}), {Critical("Output Bin Full - Top Bin")}},
      {"bin-nearly-full", WithAlerts({Alert(9, 2, 902, kWarning)}), {Warning("Output Bin Nearly Full - Finisher Bin")}},
      {"jams",
       WithAlerts({Alert(8, 1, 8), Alert(9, 1, 8), Alert(13, 1, 8)}),
       {Critical("Paper Jam At Input - Tray 1"), Critical("Paper Jam At Output - Top Bin"),
        Critical("Internal Paper Jam")}},
      {"finisher-jam", WithAlerts({Alert(30, 1, 8)}), {Critical("Paper Jam At Finisher")}},
      {"staple-jam", WithAlerts({Alert(30, 1, 30208)}), {Critical("Staple Jam At Finisher")}},
      {"toner-low", WithAlerts({Alert(11, 1, 1104, kWarning)}), {Warning("Toner Low - Black Cartridge")}},
      {"toner-empty", WithAlerts({Alert(11, 2, 1101)}), {Critical("Supply Empty - Cyan Cartridge")}},
      {"cartridge-missing", WithAlerts({Alert(11, 3, 1115)}), {Critical("Supply Missing - Magenta Cartridge")}},
      {"waste-full", WithAlerts({Alert(11, 5, 1109)}), {Critical("Waste Bottle Full")}},
      {"waste-almost-full", WithAlerts({Alert(11, 5, 1107, kWarning)}), {Warning("Waste Bottle Full or Missing")}},
      {"drum-over", WithAlerts({Alert(11, 6, 1112)}), {Critical("Photoconductor Unit Life Exhausted")}},
      {"drum-almost-over", WithAlerts({Alert(11, 6, 1111, kWarning)}), {Warning("Photoconductor Unit Life Warning")}},
      {"cover-open", WithAlerts({Alert(6, 1, 3)}), {Critical("Cover Open")}},
      {"interlock-open", WithAlerts({Alert(30, 1, 5)}), {Critical("Cover Open")}},
      {"paper-requested",
       WithAlerts({Alert(8, 3, 810, kWarning), Alert(8, 1, 809, kWarning)}),
       {Warning("Load Paper or Envelope - Bypass Tray"), Warning("Load Paper or Envelope - Tray 1")}},
      {"field-service", WithAlerts({Alert(1, 1, 2, kWarning, 5)}), {Critical("Service Required")}},
      {"fuser", WithAlerts({Alert(10, 1, 1003)}), {Critical("Service Required - Fuser")}},
      {"unknown-critical", WithAlerts({Alert(13, 1, 1303)}), {Warning("Unknown Warning Alert - alert 1303")}},
      {"offline-alert", WithAlerts({Alert(5, 1, 22, kWarning)}), {Warning("Offline")}},
      {"jam-row-and-bit", WithErrorState(0x04, 0, {Alert(8, 1, 8)}), {Critical("Paper Jam At Input - Tray 1")}},
      {"bits", WithErrorState(0x24, 0x08), {Critical("Paper Jam"), Warning("Toner Low"), Critical("Output Bin Full")}},
      {"bypass-empty", WithAlerts({Alert(8, 3, 808), Alert(8, 3, 807, kWarning)}), {}},
      {"notices", WithAlerts({Alert(5, 1, 4), Alert(5, 1, 19), Alert(5, 1, 503), Alert(5, 1, 1801)}), {}},
  };
  PrinterSnapshot down = OfficePrinter();
  down.deviceStatus = 5;
  down.printerStatus = 1;
  printers.push_back({"down", down, {Warning("Offline")}});
  PrinterSnapshot levels = OfficePrinter();
  for (InputRow& input : levels.inputs) input.level = -3;
  for (SupplyRow& supply : levels.supplies) supply.level = -3;
  printers.push_back({"some-remaining", levels, {}});
  // States nothing explains, the printer's own words, and what bits and
  // levels name.
  PrinterSnapshot warning = OfficePrinter();
  warning.deviceStatus = 3;
  warning.console = {{1, "Replace Fuser Kit\r\n"}};
  printers.push_back({"warning-own-words", warning, {Warning("Unknown Warning Alert - Replace Fuser Kit")}});
  PrinterSnapshot downIdle = OfficePrinter();
  downIdle.deviceStatus = 5;
  printers.push_back({"down-idle", downIdle, {Critical("Unknown Error--Operator Required")}});
  PrinterSnapshot sleeping = WithAlerts({Alert(5, 1, 503)});
  sleeping.deviceStatus = 3;
  printers.push_back({"sleeping", sleeping, {}});
  PrinterSnapshot named = WithErrorState(0xA0, 0);
  named.supplies[2].level = 9;
  named.inputs[1].level = 20;
  printers.push_back({"bits-named", named,
                      {Warning("Toner Low - Magenta Cartridge"), Warning("Paper Input Low - Tray 2")}});
  PrinterSnapshot low = OfficePrinter();
  low.supplies[0].level = 5;
  low.supplies[3].level = 0;
  low.supplies[4].level = 0;  // the waste toner box
  printers.push_back({"levels-low", low,
                      {Warning("Toner Low - Black Cartridge"), Critical("Supply Empty - Yellow Cartridge")}});

  return printers;
}

std::vector<snmp_test::SnmpRecord> RecordsOf(const Printer& printer, std::size_t number) {
  char mac[13];
  std::snprintf(mac, sizeof mac, "0011223344%02x", static_cast<unsigned>(number & 0xFF));
  return snmp_test::SnapshotRecords(printer.snapshot, mac);
}

bool Serve(snmp_test::SnmpAgent& agent, std::vector<Printer>& printers) {
  for (std::size_t i = 0; i < printers.size(); ++i) {
    printers[i].snapshot.deviceDescr = "Model " + printers[i].community;
    if (!agent.Write(printers[i].community, RecordsOf(printers[i], i))) return false;
  }
  return true;
}

std::string TargetsOf(const std::vector<Printer>& printers, const std::string& endpoint,
                      std::vector<std::string> more) {
  for (const Printer& printer : printers) more.push_back(printer.community);
  std::string targets = "Targets = ";
  for (const std::string& community : more) targets += community + "@" + endpoint + ", ";
  return targets.substr(0, targets.size() - 2) + "\n";
}

namespace {

// The value of one slot of an event line: after ";name=", up to the next ';'
// or, when quoted, to its closing quote.
std::string SlotOf(const std::string& event, const std::string& name) {
  const std::string start = ";" + name + "=";
  std::size_t at = event.find(start);
  if (at == std::string::npos) return {};
  at += start.size();
  const bool quoted = at < event.size() && event[at] == '\'';
  if (quoted) ++at;
  const std::size_t end = event.find(quoted ? '\'' : ';', at);
  return event.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

}  // namespace

std::vector<Shown> ShownOf(const Printer& printer, const Receiver& receiver) {
  std::vector<Shown> shown;
  for (const std::string& event : receiver.Events()) {
    if (SlotOf(event, "printer_model") == "Model " + printer.community)
      shown.push_back({SlotOf(event, "severity"), SlotOf(event, "msg")});
  }
  return shown;
}

std::vector<Shown> Sorted(std::vector<Shown> shown) {
  std::sort(shown.begin(), shown.end());
  return shown;
}

}  // namespace e2e

// What a network printer's snapshot means as categories, entries, locations
// and offline state, without a network.

#include "korbce/snmp/printer_conditions.h"
#include "korbce/snmp/flap_damper.h"
#include "korbce/snmp/own_words.h"
#include "korbce/snmp/printer_locations.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "tests/korbce/snmp_snapshot_builders.h"

namespace korbce::snmp {
namespace {

using namespace testing;

constexpr std::size_t kInput = 0, kOutput = 1, kJam = 2, kSupplies = 3, kOperator = 4, kWarnings = 5, kService = 6,
                      kConfiguration = 7;

// Every active entry as (category, B, C, D), category by category.
using Active = std::vector<std::tuple<std::size_t, int, int, int>>;

Active ActiveEntries(const PrinterConditions& conditions) {
  Active active;
  for (std::size_t bit = 0; bit < kCategoryCount; ++bit) {
    for (const DetailEntry& entry : conditions.categories[bit].entries) active.emplace_back(bit, entry[0], entry[1], entry[2]);
  }
  return active;
}

Active Map(const PrinterSnapshot& snapshot, bool configChanged = false) {
  return ActiveEntries(MapConditions(snapshot, configChanged));
}

PrinterSnapshot WithAlerts(std::vector<AlertRow> alerts) {
  PrinterSnapshot snapshot = OfficePrinter();
  snapshot.alerts = std::move(alerts);
  return snapshot;
}

TEST(SnmpConditions, ModelSkipsGenericDriverNamesAndFirmwareListsAndIsBounded) {
  PrinterSnapshot snapshot = OfficePrinter();
  snapshot.generalPrinterName = "Floor 2";
  snapshot.sysDescr = "Office Colour 5000; firmware 2.1, PCL 6, PostScript 3";
  EXPECT_EQ(MapConditions(snapshot, false).model, "Office Colour 5000");
  for (const char* generic : {"Generic 28C-1", "  GENERIC PCL", "generic"}) {
    snapshot.deviceDescr = generic;
    EXPECT_EQ(MapConditions(snapshot, false).model, "Floor 2") << generic;
  }
  snapshot.deviceDescr = "Genericon 7";  // a model that only starts with the letters
  EXPECT_EQ(MapConditions(snapshot, false).model, "Genericon 7");
  snapshot.deviceDescr = " \t";
  EXPECT_EQ(MapConditions(snapshot, false).model, "Floor 2");
  snapshot.generalPrinterName.clear();
  EXPECT_EQ(MapConditions(snapshot, false).model, "Office Colour 5000");
  snapshot.sysDescr = "Laser 9 ,ROM 1.2";
  EXPECT_EQ(MapConditions(snapshot, false).model, "Laser 9");
  snapshot.deviceDescr = "Generic 28C-1";
  snapshot.sysDescr.clear();
  EXPECT_EQ(MapConditions(snapshot, false).model, "Generic 28C-1");  // nothing better is known
  snapshot.sysDescr = std::string(1000, 'x');
  EXPECT_EQ(MapConditions(snapshot, false).model, std::string(kMaxModelLength, 'x'));
  // The printer's bytes are kept as sent.
  snapshot.deviceDescr = std::string("Model\x01\xE9", 7);
  EXPECT_EQ(MapConditions(snapshot, false).model, std::string("Model\x01\xE9", 7));
}

TEST(SnmpConditions, LocationsAreKeyedByIndexAndNamedByNameDescriptionOrNumber) {
  PrinterSnapshot snapshot = OfficePrinter();
  InputRow described = Input(4, "");
  described.description = "Envelope Feeder";
  OutputRow bare = Output(7, "");
  snapshot.inputs = {Input(1, "Tray 1"), described, Input(9, ""), Input(0, "zero"), Input(256, "too big"),
                     Input(-1, "negative"), Input(1, "again")};
  snapshot.outputs = {Output(1, "Top Bin"), bare, Output(300, "x")};
  const PrinterConditions conditions = MapConditions(snapshot, false);
  ASSERT_EQ(conditions.inputs.size(), 3u);
  EXPECT_EQ(conditions.inputs[0].key, 1);
  EXPECT_EQ(conditions.inputs[0].name, "Tray 1");
  EXPECT_EQ(conditions.inputs[1].key, 4);
  EXPECT_EQ(conditions.inputs[1].name, "Envelope Feeder");
  EXPECT_EQ(conditions.inputs[2].key, 9);
  EXPECT_EQ(conditions.inputs[2].name, "Tray 9");
  ASSERT_EQ(conditions.outputs.size(), 2u);
  EXPECT_EQ(conditions.outputs[1].key, 7);
  EXPECT_EQ(conditions.outputs[1].name, "Bin 7");
}

TEST(SnmpConditions, LocationListsFitTheLibrarysAnswer) {
  PrinterSnapshot snapshot = OfficePrinter();
  snapshot.inputs.clear();
  snapshot.outputs.clear();
  for (int index = 1; index <= 255; ++index) {
    snapshot.inputs.push_back(Input(index, std::string(200, 'n')));
    snapshot.outputs.push_back(Output(index, std::string(200, 'o')));
  }
  const PrinterConditions conditions = MapConditions(snapshot, false);
  std::size_t inputBytes = 2, outputBytes = 2;
  for (const Location& input : conditions.inputs) {
    EXPECT_EQ(input.name.size(), 63u);
    inputBytes += 33 + input.name.size();
  }
  for (const Location& output : conditions.outputs) outputBytes += 10 + output.name.size();
  EXPECT_EQ(conditions.inputs.size(), 10u);
  EXPECT_LE(inputBytes, 1000u);
  EXPECT_EQ(conditions.outputs.size(), 13u);
  EXPECT_LE(outputBytes, 1000u);
}

TEST(SnmpConditions, EveryCategoryCarriesTheDatabasesGroupCode) {
  const PrinterConditions conditions = MapConditions(OfficePrinter(), false);
  const std::uint8_t groups[] = {0x03, 0x04, 0x05, 0x0A, 0x06, 0x07, 0x08, 0x09};
  for (std::size_t bit = 0; bit < kCategoryCount; ++bit) EXPECT_EQ(conditions.categories[bit].group, groups[bit]);
  EXPECT_TRUE(ActiveEntries(conditions).empty());
  EXPECT_FALSE(conditions.offline);
}

TEST(SnmpConditions, InputAlertsCarryTheInputNumber) {
  EXPECT_EQ(Map(WithAlerts({Alert(8, 2, 808)})), (Active{{kInput, 2, 0x03, 0x28}}));
  EXPECT_EQ(Map(WithAlerts({Alert(8, 2, 13)})), (Active{{kInput, 2, 0x00, 0x0D}}));
  EXPECT_EQ(Map(WithAlerts({Alert(8, 1, 807, kWarning)})), (Active{{kInput, 1, 0x03, 0x27}}));
  EXPECT_EQ(Map(WithAlerts({Alert(8, 1, 12, kWarning)})), (Active{{kInput, 1, 0x00, 0x0C}}));
  EXPECT_EQ(Map(WithAlerts({Alert(8, 2, 801)})), (Active{{kInput, 2, 0x03, 0x21}}));
  EXPECT_EQ(Map(WithAlerts({Alert(8, 2, 9)})), (Active{{kInput, 2, 0x00, 0x09}}));
  // Paper requests are operator alerts, on the bypass feeder too.
  EXPECT_EQ(Map(WithAlerts({Alert(8, 3, 810, kWarning), Alert(8, 1, 809, kWarning)})),
            (Active{{kOperator, 3, 0x03, 0x2A}, {kOperator, 1, 0x03, 0x29}}));
  // Input codes in another group have no input number; generic codes there
  // are not input alerts.
  EXPECT_EQ(Map(WithAlerts({Alert(13, 2, 808)})), (Active{{kInput, 0, 0x03, 0x28}}));
  EXPECT_EQ(Map(WithAlerts({Alert(10, 2, 13, kWarning)})), Active{});
  // An input number no key byte can hold.
  EXPECT_EQ(Map(WithAlerts({Alert(8, 256, 808), Alert(8, -4, 807)})),
            (Active{{kInput, 0, 0x03, 0x28}, {kInput, 0, 0x03, 0x27}}));
}

TEST(SnmpConditions, AnEmptyOrLowBypassFeederIsNoAlert) {
  EXPECT_EQ(Map(WithAlerts({Alert(8, 3, 808), Alert(8, 3, 807, kWarning), Alert(8, 3, 13), Alert(8, 3, 12)})), Active{});
  // A missing bypass tray still is.
  EXPECT_EQ(Map(WithAlerts({Alert(8, 3, 801)})), (Active{{kInput, 3, 0x03, 0x21}}));
  // The error-state bits of the same condition add nothing either.
  PrinterSnapshot snapshot = WithAlerts({Alert(8, 3, 808), Alert(8, 3, 807, kWarning)});
  snapshot.detectedErrorState = ErrorState(0xC0, 0x04);
  EXPECT_EQ(Map(snapshot), Active{});
  // An input without a type is not taken for a bypass feeder.
  snapshot = WithAlerts({Alert(8, 1, 808)});
  snapshot.inputs[0].type.reset();
  EXPECT_EQ(Map(snapshot), (Active{{kInput, 1, 0x03, 0x28}}));
}

TEST(SnmpConditions, OnlyKnownLowLevelsOfTonerAndInkRaiseAlerts) {
  PrinterSnapshot snapshot = OfficePrinter();
  for (const std::int32_t level : {-3, -2, -1, 11}) {
    for (InputRow& input : snapshot.inputs) input.level = level;
    for (SupplyRow& supply : snapshot.supplies) supply.level = level;
    EXPECT_EQ(Map(snapshot), Active{}) << level;
  }
  for (SupplyRow& supply : snapshot.supplies) {
    supply.level = 0;
    supply.maxCapacity = -2;
  }
  EXPECT_EQ(Map(snapshot), Active{});
  // Levels at 10 % and at 0; the waste box (5) and the rest stay silent.
  for (SupplyRow& supply : snapshot.supplies) supply = {supply.index, supply.type, supply.colorantIndex, "", 0, 100};
  snapshot.supplies[0].level = 10;
  EXPECT_EQ(Map(snapshot), (Active{{kSupplies, 81, 0x04, 0x50},
                                   {kSupplies, 82, 0x04, 0x4D},
                                   {kSupplies, 83, 0x04, 0x4D},
                                   {kSupplies, 84, 0x04, 0x4D}}));
  EXPECT_EQ(ActiveEntries(MapConditions(snapshot, false, {0, {}})), Active{});
}

TEST(SnmpConditions, APrinterFlapsAfterChangesAtPollAfterPollUntilItIsStableAgain) {
  const PrinterConditions quiet = MapConditions(OfficePrinter(), false);
  const PrinterConditions jammed = MapConditions(WithAlerts({Alert(8, 1, 8)}), false);
  FlapDamper damper;
  EXPECT_FALSE(damper.Take(quiet));
  // Changes with a quiet poll between them are no flapping, nor are changes
  // at every poll that only add alerts.
  for (int poll = 0; poll < 3 * kFlapPolls; ++poll) {
    EXPECT_FALSE(damper.Take(poll % 3 == 0 ? quiet : jammed)) << poll;
  }
  std::vector<AlertRow> rows;
  for (int poll = 1; poll <= 2 * kFlapPolls; ++poll) {
    rows.push_back(Alert(8, poll, 8));
    EXPECT_FALSE(damper.Take(MapConditions(WithAlerts(rows), false))) << poll;
  }
  EXPECT_FALSE(damper.Take(jammed));
  for (int change = 1; change < kFlapPolls; ++change) EXPECT_FALSE(damper.Take(change % 2 ? quiet : jammed));
  EXPECT_TRUE(damper.Take(kFlapPolls % 2 ? quiet : jammed));
  EXPECT_TRUE(damper.Take(kFlapPolls % 2 ? jammed : quiet));
  for (int same = 1; same < kStablePolls; ++same) EXPECT_TRUE(damper.Take(jammed));
  EXPECT_FALSE(damper.Take(jammed));
  EXPECT_FALSE(damper.Take(quiet));

  // The flapping printer's warning, in its own words.
  MappingSettings flapping;
  flapping.flapping = true;
  const PrinterConditions told = MapConditions(WithAlerts({Alert(8, 1, 8)}), false, flapping);
  EXPECT_EQ(ActiveEntries(told), (Active{{kJam, 1, 0x08, 0x08}, {kWarnings, 255, 0xFF, 0x12}}));
  EXPECT_EQ(told.outputs.back().name, "alerts changing at every poll");
}

TEST(SnmpConditions, OwnWordsAreCleanedBoundedAndKeepTheirKeys) {
  EXPECT_EQ(CleanWords(std::string("\x01 Load\ttray\x7f 2 \r\n\0hidden", 25)), "Load tray 2");
  EXPECT_EQ(CleanWords(std::string(60, 'a') + "\xC3\xA9\xC3\xA9"), std::string(60, 'a') + "\xC3\xA9");
  std::vector<Location> outputs = {{255, "Top Bin"}};
  const std::vector<Location> told = {{254, "Replace fuser"}, {253, "old words"}};
  OwnWords words(outputs, told);
  EXPECT_EQ(words.KeyOf("Replace fuser"), 254);
  EXPECT_EQ(words.KeyOf("New words"), 252);  // neither a bin nor a word the library holds
  EXPECT_EQ(words.KeyOf(" New   words "), 252);
  EXPECT_EQ(words.KeyOf("\r\n"), 0);
  EXPECT_EQ(outputs.size(), 3u);
  for (int i = 0; i < 20; ++i) words.KeyOf(std::string(63, static_cast<char>('a' + i)));
  EXPECT_TRUE(FitsOutputList(std::vector<Location>(outputs.begin(), outputs.end() - 1), 63));
  EXPECT_FALSE(FitsOutputList(outputs, 63));

  std::vector<Location> library = told;
  EXPECT_TRUE(TellWords(library, words.Words()));
  EXPECT_FALSE(TellWords(library, words.Words()));
  EXPECT_EQ(library[1].name, "old words");
}

TEST(SnmpConditions, OutputAlertsCarryTheOutputNumber) {
  EXPECT_EQ(Map(WithAlerts({Alert(9, 1, 903)})), (Active{{kOutput, 1, 0x03, 0x87}}));
  EXPECT_EQ(Map(WithAlerts({Alert(9, 2, 15)})), (Active{{kOutput, 2, 0x00, 0x0F}}));
  EXPECT_EQ(Map(WithAlerts({Alert(9, 2, 902, kWarning)})), (Active{{kOutput, 2, 0x03, 0x86}}));
  EXPECT_EQ(Map(WithAlerts({Alert(9, 1, 14, kWarning)})), (Active{{kOutput, 1, 0x00, 0x0E}}));
  // Generic full codes in another group are not output alerts.
  EXPECT_EQ(Map(WithAlerts({Alert(11, 5, 15, kWarning)})), Active{});
}

TEST(SnmpConditions, JamsCarryTheirGroupAndTheirLocation) {
  EXPECT_EQ(Map(WithAlerts({Alert(8, 2, 8)})), (Active{{kJam, 2, 0x08, 0x08}}));
  EXPECT_EQ(Map(WithAlerts({Alert(9, 1, 8)})), (Active{{kJam, 1, 0x09, 0x08}}));
  EXPECT_EQ(Map(WithAlerts({Alert(13, 1, 8)})), (Active{{kJam, 0, 0x0D, 0x08}}));
  EXPECT_EQ(Map(WithAlerts({Alert(30, 1, 8), Alert(31, 2, 8)})), (Active{{kJam, 0, 0x1E, 0x08}, {kJam, 0, 0x1F, 0x08}}));
  EXPECT_EQ(Map(WithAlerts({Alert(30, 1, 30208)})), (Active{{kJam, 0, 0x76, 0x00}}));
  EXPECT_EQ(Map(WithAlerts({Alert(5, 1, 8), Alert(400, 1, 8)})), (Active{{kJam, 0, 0x05, 0x08}, {kJam, 0, 0x00, 0x08}}));
  // A second jam elsewhere is a second entry; the same jam twice is one.
  EXPECT_EQ(Map(WithAlerts({Alert(8, 1, 8), Alert(8, 2, 8), Alert(8, 1, 8)})),
            (Active{{kJam, 1, 0x08, 0x08}, {kJam, 2, 0x08, 0x08}}));
}

TEST(SnmpConditions, SupplyAlertsNameTheSupplyByTypeAndColorant) {
  EXPECT_EQ(Map(WithAlerts({Alert(11, 1, 1104, kWarning), Alert(11, 2, 1104, kWarning), Alert(11, 3, 1104, kWarning),
                            Alert(11, 4, 1104, kWarning), Alert(11, 9, 1104, kWarning)})),
            (Active{{kSupplies, 81, 0x04, 0x50},
                    {kSupplies, 82, 0x04, 0x50},
                    {kSupplies, 83, 0x04, 0x50},
                    {kSupplies, 84, 0x04, 0x50},
                    {kSupplies, 80, 0x04, 0x50}}));
  EXPECT_EQ(Map(WithAlerts({Alert(11, 1, 1101), Alert(11, 2, 1115)})),
            (Active{{kSupplies, 81, 0x04, 0x4D}, {kSupplies, 82, 0x04, 0x5B}}));
  // Type before colorant: waste, drum, fuser, staples, oil.
  PrinterSnapshot snapshot = WithAlerts({Alert(11, 5, 1101), Alert(11, 6, 1101), Alert(11, 7, 1101),
                                         Alert(11, 8, 1101), Alert(11, 10, 1101)});
  for (SupplyRow& supply : snapshot.supplies) supply.colorantIndex = 1;
  snapshot.supplies.push_back(Supply(10, 11, 1));
  EXPECT_EQ(Map(snapshot), (Active{{kSupplies, 87, 0x04, 0x4D},
                                   {kSupplies, 86, 0x04, 0x4D},
                                   {kSupplies, 89, 0x04, 0x4D},
                                   {kSupplies, 88, 0x04, 0x4D},
                                   {kSupplies, 85, 0x04, 0x4D}}));
  // Waste and drum codes name their part whatever the row points at.
  EXPECT_EQ(Map(WithAlerts({Alert(11, 1, 1109), Alert(11, 1, 1107, kWarning), Alert(10, 1, 1112), Alert(10, 1, 1111)})),
            (Active{{kSupplies, 87, 0x04, 0x55},
                    {kSupplies, 87, 0x04, 0x53},
                    {kSupplies, 86, 0x04, 0x58},
                    {kSupplies, 86, 0x04, 0x57}}));
}

TEST(SnmpConditions, ColorantsAreMatchedLooselyAndUnknownSuppliesAreTheTonerCartridge) {
  PrinterSnapshot snapshot = WithAlerts({Alert(11, 1, 1104, kWarning)});
  for (const std::string& value : {std::string("Black"), std::string("BLACK "), std::string("black\0\0", 7)}) {
    snapshot.colorants[0].value = value;
    EXPECT_EQ(Map(snapshot), (Active{{kSupplies, 81, 0x04, 0x50}})) << value;
  }
  for (const char* value : {"light cyan", "", "blackish"}) {
    snapshot.colorants[0].value = value;
    EXPECT_EQ(Map(snapshot), (Active{{kSupplies, 80, 0x04, 0x50}})) << value;
  }
  // No such supply, no such colorant, a supply of no type, a toner alert
  // outside the supplies group.
  snapshot = WithAlerts({Alert(11, 77, 1104, kWarning)});
  EXPECT_EQ(Map(snapshot), (Active{{kSupplies, 80, 0x04, 0x50}}));
  snapshot = WithAlerts({Alert(11, 1, 1104, kWarning)});
  snapshot.supplies[0].colorantIndex = 42;
  EXPECT_EQ(Map(snapshot), (Active{{kSupplies, 80, 0x04, 0x50}}));
  snapshot.supplies[0].type.reset();
  snapshot.supplies[0].colorantIndex = 2;
  EXPECT_EQ(Map(snapshot), (Active{{kSupplies, 82, 0x04, 0x50}}));
  EXPECT_EQ(Map(WithAlerts({Alert(10, 2, 1104, kWarning)})), (Active{{kSupplies, 80, 0x04, 0x50}}));
}

TEST(SnmpConditions, CoversAndServiceNeeds) {
  EXPECT_EQ(Map(WithAlerts({Alert(6, 1, 3), Alert(13, 1, 5), Alert(5, 1, 501), Alert(6, 2, 3)})),
            (Active{{kOperator, 0, 0x00, 0x03}, {kOperator, 0, 0x00, 0x05}, {kOperator, 0, 0x01, 0xF5}}));
  EXPECT_EQ(Map(WithAlerts({Alert(10, 1, 11), Alert(10, 1, 29), Alert(10, 1, 38), Alert(1, 1, 2, kWarning, 5)})),
            (Active{{kService, 0, 0x00, 0x0B},
                    {kService, 0, 0x00, 0x1D},
                    {kService, 0, 0x00, 0x26},
                    {kService, 0, 0x00, 0x02}}));
  EXPECT_EQ(Map(WithAlerts({Alert(10, 1, 1001), Alert(10, 1, 1004)})),
            (Active{{kService, 89, 0x03, 0xE9}, {kService, 89, 0x03, 0xEC}}));
  // Codes a rule names keep their category whatever the training level.
  EXPECT_EQ(Map(WithAlerts({Alert(8, 1, 8, kCritical, 5)})), (Active{{kJam, 1, 0x08, 0x08}}));
}

TEST(SnmpConditions, OtherCriticalOrBinaryChangeRowsAreWarningsAndStateNoticesNothing) {
  EXPECT_EQ(Map(WithAlerts({Alert(13, 1, 1303), Alert(15, 1, 1507, kBinaryChange), Alert(9, 1, 901)})),
            (Active{{kWarnings, 255, 0x05, 0x17}, {kWarnings, 254, 0x05, 0xE3}, {kWarnings, 253, 0x03, 0x85}}));
  EXPECT_EQ(Map(WithAlerts({Alert(10, 1, 1005, kWarning), Alert(13, 1, 1303, kOther)})), Active{});
  std::vector<AlertRow> notices;
  for (const std::int32_t code : {4, 6, 19, 20, 23, 24, 503, 504, 507, 1801, 502, 25}) {
    notices.push_back(Alert(5, 1, code, kCritical));
    notices.push_back(Alert(5, 1, code, kBinaryChange, 5));
  }
  EXPECT_EQ(Map(WithAlerts(notices)), Active{});
  // Codes beyond 16 bits, negative codes, codes among the private ones, and
  // rows without a code.
  AlertRow noCode = Alert(5, 1, 0);
  noCode.code.reset();
  noCode.description.clear();
  EXPECT_EQ(Map(WithAlerts({Alert(5, 1, 70000), Alert(5, 1, -8), Alert(5, 1, 0xFF05), noCode})),
            (Active{{kWarnings, 255, 0xFF, 0xFF}, {kWarnings, 254, 0xFF, 0xFF}, {kWarnings, 253, 0xFF, 0xFF},
                    {kWarnings, 0, 0xFF, 0xFF}}));
}

TEST(SnmpConditions, OfflineComesFromTheErrorStateCode22OrADownPrinter) {
  PrinterSnapshot snapshot = OfficePrinter();
  snapshot.detectedErrorState = ErrorState(0x02, 0x00);
  PrinterConditions conditions = MapConditions(snapshot, false);
  EXPECT_TRUE(conditions.offline);
  EXPECT_TRUE(ActiveEntries(conditions).empty());

  conditions = MapConditions(WithAlerts({Alert(5, 1, 22, kWarning)}), false);
  EXPECT_TRUE(conditions.offline);
  EXPECT_TRUE(ActiveEntries(conditions).empty());
  // A subunit of another group that goes offline is not the printer.
  conditions = MapConditions(WithAlerts({Alert(30, 1, 22)}), false);
  EXPECT_FALSE(conditions.offline);
  EXPECT_EQ(ActiveEntries(conditions), (Active{{kWarnings, 255, 0x00, 0x16}}));

  snapshot = OfficePrinter();
  snapshot.deviceStatus = 5;
  snapshot.printerStatus = 1;
  EXPECT_TRUE(MapConditions(snapshot, false).offline);
  snapshot.printerStatus = 5;  // printing, though down
  EXPECT_FALSE(MapConditions(snapshot, false).offline);
  snapshot.printerStatus.reset();
  EXPECT_FALSE(MapConditions(snapshot, false).offline);
}

TEST(SnmpConditions, ErrorStateBitsReadMostSignificantBitFirst) {
  struct Bit {
    unsigned first, second;
    Active expected;
  };
  const Bit bits[] = {
      {0x80, 0, {{kInput, 0, 0xFF, 0x00}}},      // lowPaper
      {0x40, 0, {{kInput, 0, 0xFF, 0x01}}},      // noPaper
      {0x20, 0, {{kSupplies, 0, 0xFF, 0x02}}},   // lowToner
      {0x10, 0, {{kSupplies, 0, 0xFF, 0x03}}},   // noToner
      {0x08, 0, {{kOperator, 0, 0xFF, 0x04}}},   // doorOpen
      {0x04, 0, {{kJam, 0, 0xFF, 0x05}}},        // jammed
      {0x01, 0, {{kService, 0, 0xFF, 0x07}}},    // serviceRequested
      {0, 0x80, {{kInput, 0, 0xFF, 0x08}}},      // inputTrayMissing
      {0, 0x40, {{kWarnings, 0, 0xFF, 0x09}}},   // outputTrayMissing
      {0, 0x20, {{kSupplies, 0, 0xFF, 0x0A}}},   // markerSupplyMissing
      {0, 0x10, {{kOutput, 0, 0xFF, 0x0B}}},     // outputNearFull
      {0, 0x08, {{kOutput, 0, 0xFF, 0x0C}}},     // outputFull
      {0, 0x04, {{kInput, 0, 0xFF, 0x01}}},      // inputTrayEmpty, as noPaper
      {0, 0x02, {{kService, 0, 0xFF, 0x0E}}},    // overduePreventMaint
      {0, 0x01, {}},                             // not defined
  };
  for (const Bit& bit : bits) {
    PrinterSnapshot snapshot = OfficePrinter();
    snapshot.detectedErrorState = ErrorState(bit.first, bit.second);
    EXPECT_EQ(Map(snapshot), bit.expected) << bit.first << " " << bit.second;
  }
  // One octet, octets beyond the second, none at all.
  PrinterSnapshot snapshot = OfficePrinter();
  snapshot.detectedErrorState = std::string(1, '\x04');
  EXPECT_EQ(Map(snapshot), (Active{{kJam, 0, 0xFF, 0x05}}));
  snapshot.detectedErrorState = std::string("\x00\x00\xFF\xFF", 4);
  EXPECT_EQ(Map(snapshot), Active{});
  snapshot.detectedErrorState.clear();
  EXPECT_EQ(Map(snapshot), Active{});
  // Every bit at once: noPaper and inputTrayEmpty give one entry.
  snapshot.detectedErrorState = ErrorState(0xFF, 0xFF);
  const PrinterConditions all = MapConditions(snapshot, false);
  EXPECT_TRUE(all.offline);
  EXPECT_EQ(ActiveEntries(all).size(), 13u);
}

TEST(SnmpConditions, ABitAddsNothingWhenARowReportsTheSameCondition) {
  struct Case {
    AlertRow row;
    unsigned first, second;
  };
  const Case cases[] = {
      {Alert(8, 1, 8), 0x04, 0},               // jam row, jammed
      {Alert(30, 1, 30208), 0x04, 0},          // staple jam, jammed
      {Alert(8, 1, 808), 0x40, 0x04},          // empty tray, noPaper and inputTrayEmpty
      {Alert(8, 1, 807, kWarning), 0x80, 0},   // low tray, lowPaper
      {Alert(8, 1, 801), 0, 0x80},             // missing tray, inputTrayMissing
      {Alert(11, 1, 1104, kWarning), 0x20, 0}, // toner low, lowToner
      {Alert(11, 1, 1101), 0x10, 0},           // toner empty, noToner
      {Alert(11, 1, 1115), 0, 0x20},           // cartridge missing, markerSupplyMissing
      {Alert(6, 1, 3), 0x08, 0},               // cover open, doorOpen
      {Alert(10, 1, 1002), 0x01, 0},           // fuser failure, serviceRequested
      {Alert(9, 1, 903), 0, 0x08},             // bin full, outputFull
      {Alert(9, 1, 902, kWarning), 0, 0x10},   // bin nearly full, outputNearFull
      {Alert(9, 1, 901), 0, 0x40},             // bin missing, outputTrayMissing
  };
  for (const Case& with : cases) {
    const Active rowOnly = Map(WithAlerts({with.row}));
    ASSERT_EQ(rowOnly.size(), 1u) << *with.row.code;
    PrinterSnapshot snapshot = WithAlerts({with.row});
    snapshot.detectedErrorState = ErrorState(with.first, with.second);
    EXPECT_EQ(Map(snapshot), rowOnly) << *with.row.code;
  }
  // Bits of other conditions still count.
  PrinterSnapshot snapshot = WithAlerts({Alert(8, 1, 8)});
  snapshot.detectedErrorState = ErrorState(0x24, 0);
  EXPECT_EQ(Map(snapshot), (Active{{kJam, 1, 0x08, 0x08}, {kSupplies, 0, 0xFF, 0x02}}));
}

TEST(SnmpConditions, AConfigurationChangeAsksToReReadSourcesAndBins) {
  EXPECT_EQ(Map(OfficePrinter(), true), (Active{{kConfiguration, 0, 0x00, 0x40}}));
  EXPECT_EQ(Map(OfficePrinter(), false), Active{});
}

TEST(SnmpConditions, HugeOrHostileTablesStayBounded) {
  PrinterSnapshot snapshot = OfficePrinter();
  for (int index = 0; index < 20000; ++index) {
    snapshot.alerts.push_back(Alert(8, index % 300, 8));
    snapshot.alerts.push_back(Alert(index, index, index * 7919 - 5000000));
  }
  for (int index = 0; index < 5000; ++index) {
    snapshot.inputs.push_back(Input(index % 400 - 100, std::string(static_cast<std::size_t>(index % 300), 'i')));
    snapshot.supplies.push_back(Supply(index, index, index));
  }
  snapshot.detectedErrorState = std::string(100000, '\xFF');
  const PrinterConditions conditions = MapConditions(snapshot, true);
  for (const CategoryStatus& status : conditions.categories) EXPECT_LE(status.entries.size(), kMaxCategoryEntries);
  EXPECT_EQ(conditions.categories[kJam].entries.size(), kMaxCategoryEntries);
  EXPECT_EQ(conditions.categories[kConfiguration].entries.size(), 1u);
  EXPECT_LE(conditions.inputs.size(), 255u);
  // Extreme values of every number.
  const std::int32_t extremes[] = {std::numeric_limits<std::int32_t>::min(), -1, 0,
                                   std::numeric_limits<std::int32_t>::max()};
  for (const std::int32_t value : extremes) {
    PrinterSnapshot odd = OfficePrinter();
    odd.alerts = {Alert(value, value, value, value, value), Alert(8, value, 808), Alert(11, value, 1104)};
    odd.inputs.push_back(Input(value, "odd", value));
    odd.supplies.push_back(Supply(value, value, value));
    odd.deviceStatus = value;
    odd.printerStatus = value;
    const PrinterConditions mapped = MapConditions(odd, false);
    EXPECT_EQ(mapped.categories[kInput].entries.size(), 1u) << value;
    EXPECT_EQ(mapped.categories[kSupplies].entries.size(), 1u) << value;
  }
}

}  // namespace
}  // namespace korbce::snmp

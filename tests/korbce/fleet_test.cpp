#include "korbce/fleet/fleet.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "korbce/fleet/fleet_source.h"
#include "profile/profile.h"
#include "vigilix/vigilix.h"

namespace korbce {
namespace {

using ::testing::HasSubstr;

class FleetTest : public EngineFixture {
 protected:
  Fleet Read(std::string_view content) {
    WriteFleet(content);
    const auto document = platform::LoadProfile(fleetPath_);
    EXPECT_TRUE(document);
    return document ? ParseFleet(*document, fleetPath_) : Fleet();
  }

  // The trace line reporting a problem at that line of the fleet file.
  std::string LineReport(int line) { return fleetPath_ + ":" + std::to_string(line) + ": "; }
};

TEST_F(FleetTest, ReadsEveryKeyOfAPrinterAndTheEngineSection) {
  const Fleet fleet = Read(
      "[Engine]\n"
      "NetInfoReplies = 0100000001000000, 02\n"
      "NetInfoFails = Yes\n"
      "EnumFails = no\n"
      "RegisterFails = YES\n"
      "[Printer Hall]\n"
      "Id = 7\n"
      "Mac = 0020004A1B0C\n"
      "Protocols = 0x2000002\n"
      "Adapter = 129\n"
      "PortType = 257\n"
      "Ip = 127.0.0.1\n"
      "Classes = 0x802\n"
      "SpoolerPort = LPT1:\n"
      "Class = 12\n"
      "Model = Korvane 4000\n"
      "Inputs = 1:Tray 1; 2 : Manual Feed\n"
      "Outputs = 1:Top Bin;3:\n"
      "Online = No\n"
      "Offline = Yes\n"
      "Paper Jam = 05:0A0300,0B0400\n"
      "Configuration Change = 09:\n");
  EXPECT_EQ(Trace(), "");
  ASSERT_EQ(fleet.printers.size(), 1u);
  const FleetPrinter& p = fleet.printers[0];
  EXPECT_EQ(p.id, 7);
  EXPECT_EQ(p.macAddress, (std::array<std::uint8_t, 6>{0x00, 0x20, 0x00, 0x4A, 0x1B, 0x0C}));
  EXPECT_EQ(p.protocolFlags, 0x2000002u);
  EXPECT_EQ(p.adapterType, 129);
  EXPECT_EQ(p.portType, 257);
  EXPECT_EQ(p.ipAddress, "127.0.0.1");
  EXPECT_EQ(p.classes, 0x802u);
  EXPECT_EQ(p.spoolerPort, "LPT1:");
  EXPECT_EQ(p.deviceClass, 12);
  EXPECT_EQ(p.model, "Korvane 4000");
  ASSERT_TRUE(p.inputs);
  ASSERT_EQ(p.inputs->size(), 2u);
  EXPECT_EQ((*p.inputs)[1].key, 2);
  EXPECT_EQ((*p.inputs)[1].name, "Manual Feed");
  ASSERT_TRUE(p.outputs);
  ASSERT_EQ(p.outputs->size(), 2u);
  EXPECT_EQ((*p.outputs)[1].name, "");
  EXPECT_FALSE(p.online);
  EXPECT_TRUE(p.offline);
  EXPECT_EQ(p.categories[2].group, 5);
  EXPECT_EQ(p.categories[2].entries, (std::vector<DetailEntry>{{0x0A, 0x03, 0x00}, {0x0B, 0x04, 0x00}}));
  EXPECT_EQ(p.categories[7].group, 9);
  EXPECT_TRUE(p.categories[7].entries.empty());
  EXPECT_EQ(p.AlertMask(), ALERT_PAPER_JAM | ALERT_OFFLINE);

  EXPECT_EQ(fleet.engine.netInfoReplies,
            (std::vector<std::vector<std::uint8_t>>{{1, 0, 0, 0, 1, 0, 0, 0}, {2}}));
  EXPECT_TRUE(fleet.engine.netInfoFails);
  EXPECT_FALSE(fleet.engine.enumFails);
  EXPECT_TRUE(fleet.engine.registerFails);
}

TEST_F(FleetTest, TheExampleFleetFileForAdministratorsIsValid) {
  const auto document = platform::LoadProfile(KORBCE_EXAMPLE_FLEET);
  ASSERT_TRUE(document);
  const Fleet fleet = ParseFleet(*document, "korbce.example.ini");
  EXPECT_EQ(Trace(), "");
  ASSERT_EQ(fleet.printers.size(), 2u);
  EXPECT_EQ(fleet.printers[0].AlertMask(), ALERT_SUPPLIES | ALERT_PAPER_JAM);
  EXPECT_EQ(fleet.printers[1].AlertMask(), 0u);
}

TEST_F(FleetTest, DefaultsOfAPrinterWithOnlyAnId) {
  const Fleet fleet = Read("[printer a]\nid=65534\n");
  ASSERT_EQ(fleet.printers.size(), 1u);
  const FleetPrinter& p = fleet.printers[0];
  EXPECT_EQ(p.id, 65534);
  EXPECT_TRUE(p.online);
  EXPECT_FALSE(p.offline);
  EXPECT_FALSE(p.deviceClass);
  EXPECT_FALSE(p.model);
  EXPECT_FALSE(p.inputs);
  EXPECT_FALSE(p.outputs);
  EXPECT_EQ(p.AlertMask(), 0u);
  EXPECT_EQ(fleet.Find(65534), &p);
  EXPECT_EQ(fleet.Find(1), nullptr);
}

TEST_F(FleetTest, FindGivesThePrinterOfEachIdAndSurvivesACopy) {
  const Fleet fleet = Read(
      "[Printer c]\nId=300\nModel=C\n"
      "[Printer a]\nId=1\nModel=A\n"
      "[Printer again]\nId=300\nModel=Again\n"
      "[Printer b]\nId=65534\nModel=B\n");
  ASSERT_EQ(fleet.printers.size(), 3u);
  EXPECT_EQ(fleet.Find(300), &fleet.printers[0]);
  EXPECT_EQ(fleet.Find(1), &fleet.printers[1]);
  EXPECT_EQ(fleet.Find(65534), &fleet.printers[2]);
  for (std::uint16_t unknown : {0, 2, 299, 65535}) EXPECT_EQ(fleet.Find(unknown), nullptr);

  const Fleet copy = fleet;
  ASSERT_NE(copy.Find(300), nullptr);
  EXPECT_EQ(copy.Find(300), &copy.printers[0]);
  EXPECT_EQ(copy.Find(300)->model, "C");
}

TEST_F(FleetTest, TheSourceReadsEachVersionOfTheFileOnceAndKeepsOnlyItsOtherSections) {
  WriteFleet("[Engine]\nEnumFails = No\n[Printer a]\nId = 1\n[SNMP]\nPoll = 30\nTrapPort = 0\n");
  FleetSource source(fleetPath_);
  const auto fleet = source.Current();
  ASSERT_NE(fleet, nullptr);
  EXPECT_EQ(source.Current(), fleet) << "an unchanged file is not read again";
  const auto others = source.Document();
  ASSERT_NE(others, nullptr);
  ASSERT_EQ(others->sections.size(), 2u);
  EXPECT_EQ(others->sections[0].name, "Engine");
  ASSERT_NE(others->Find("SNMP"), nullptr);
  EXPECT_EQ(others->Find("SNMP")->Find("Poll")->value, "30");
  EXPECT_EQ(source.Document(), others);
  EXPECT_EQ(source.Path(), fleetPath_);

  WriteFleet("[Printer a]\nId = 1\n[Printer b]\nId = 2\n");
  const auto second = source.Current();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, fleet);
  EXPECT_EQ(second->printers.size(), 2u);
  ASSERT_NE(source.Document(), nullptr);
  EXPECT_TRUE(source.Document()->sections.empty()) << "a new document for every version";
  EXPECT_EQ(fleet->printers.size(), 1u) << "a fleet handed out stays whole";

  unlink(fleetPath_.c_str());
  EXPECT_EQ(source.Current(), nullptr);
  EXPECT_EQ(source.Document(), nullptr);
  WriteFleet("[Printer a]\nId = 1\n[Printer b]\nId = 2\n");
  ASSERT_NE(source.Current(), nullptr) << "the same content again is read again";
  EXPECT_EQ(source.Current()->printers.size(), 2u);
}

TEST_F(FleetTest, BadPrintersAreSkippedAndReportedWithFileAndLine) {
  const Fleet fleet = Read(
      "[Printer no id]\n"         // 1
      "Model = X\n"               // 2
      "[Printer zero]\n"          // 3
      "Id = 0\n"                  // 4
      "[Printer too big]\n"       // 5
      "Id = 65535\n"              // 6
      "[Printer text]\n"          // 7
      "Id = seven\n"              // 8
      "[Printer first]\n"         // 9
      "Id = 3\n"                  // 10
      "[Printer same id]\n"       // 11
      "Id = 3\n"                  // 12
      "[Printer]\n"               // 13
      "Id = 4\n"                  // 14
      "[Printers]\n"              // 15
      "[Printer second]\n"        // 16
      "Id = 0x10\n"               // 17
      "Id = 5\n");                // 18
  ASSERT_EQ(fleet.printers.size(), 1u);
  EXPECT_EQ(fleet.printers[0].id, 3);
  const std::string trace = Trace();
  EXPECT_THAT(trace, HasSubstr(LineReport(1) + "printer [Printer no id] has no Id; printer skipped"));
  EXPECT_THAT(trace, HasSubstr(LineReport(4) + "Id \"0\" is not a number from 1 to 65534; printer skipped"));
  EXPECT_THAT(trace, HasSubstr(LineReport(6) + "Id \"65535\""));
  EXPECT_THAT(trace, HasSubstr(LineReport(8) + "Id \"seven\""));
  EXPECT_THAT(trace, HasSubstr(LineReport(12) + "Id 3 is already used at line 10; printer skipped"));
  EXPECT_THAT(trace, HasSubstr(LineReport(13) + "section [Printer] ignored"));
  EXPECT_THAT(trace, HasSubstr(LineReport(15) + "section [Printers] ignored"));
  EXPECT_THAT(trace, HasSubstr(LineReport(17) + "Id \"0x10\""));
}

TEST_F(FleetTest, BadValuesAreSkippedAndTheRestOfThePrinterKept) {
  const Fleet fleet = Read(
      "[Printer p]\n"                                  // 1
      "Id = 9\n"                                       // 2
      "Mac = 0020004A1B\n"                             // 3
      "Protocols = 0x1FFFFFFFF\n"                      // 4
      "Adapter = 65536\n"                              // 5
      "Ip = printer.example\n"                         // 6
      "Class = 256\n"                                  // 7
      "Online = maybe\n"                               // 8
      "Inputs = 1:Tray 1;x:Bad;300:Big;NoColon;2:Tray 2\n"  // 9
      "Paper Jam = 05:0A0300,0A03,ZZZZZZ,0B0400\n"     // 10
      "Input = 123:0A0300\n"                           // 11
      "Output = 0A0300\n"                              // 12
      "Colour = Red\n"                                 // 13
      "Model = First\n"                                // 14
      "model = Second\n"                               // 15
      "[Engine]\n"                                     // 16
      "NetInfoReplies = 0102,XYZ,030\n"                // 17
      "Speed = 9\n"                                    // 18
      "[Engine]\n");                                   // 19
  ASSERT_EQ(fleet.printers.size(), 1u);
  const FleetPrinter& p = fleet.printers[0];
  EXPECT_EQ(p.macAddress, (std::array<std::uint8_t, 6>{}));
  EXPECT_EQ(p.protocolFlags, 0u);
  EXPECT_EQ(p.adapterType, 0);
  EXPECT_EQ(p.ipAddress, "");
  EXPECT_FALSE(p.deviceClass);
  EXPECT_TRUE(p.online);
  ASSERT_TRUE(p.inputs);
  ASSERT_EQ(p.inputs->size(), 2u);
  EXPECT_EQ((*p.inputs)[0].name, "Tray 1");
  EXPECT_EQ((*p.inputs)[1].name, "Tray 2");
  EXPECT_EQ(p.categories[2].entries, (std::vector<DetailEntry>{{0x0A, 0x03, 0x00}, {0x0B, 0x04, 0x00}}));
  EXPECT_TRUE(p.categories[0].entries.empty());
  EXPECT_TRUE(p.categories[1].entries.empty());
  EXPECT_EQ(p.model, "First");
  EXPECT_EQ(fleet.engine.netInfoReplies, (std::vector<std::vector<std::uint8_t>>{{1, 2}}));

  const std::string trace = Trace();
  EXPECT_THAT(trace, HasSubstr(LineReport(3) + "Mac \"0020004A1B\" is not 12 hexadecimal digits; value ignored"));
  EXPECT_THAT(trace, HasSubstr(LineReport(4) + "Protocols \"0x1FFFFFFFF\" is not a number from 0 to 4294967295"));
  EXPECT_THAT(trace, HasSubstr(LineReport(5) + "Adapter \"65536\" is not a number from 0 to 65535"));
  EXPECT_THAT(trace, HasSubstr(LineReport(6) + "Ip \"printer.example\" is not a dotted address"));
  EXPECT_THAT(trace, HasSubstr(LineReport(7) + "Class \"256\""));
  EXPECT_THAT(trace, HasSubstr(LineReport(8) + "Online \"maybe\" is not Yes or No"));
  EXPECT_THAT(trace, HasSubstr(LineReport(9) + "Inputs: \"x:Bad\" is not key:name"));
  EXPECT_THAT(trace, HasSubstr(LineReport(9) + "Inputs: \"300:Big\""));
  EXPECT_THAT(trace, HasSubstr(LineReport(9) + "Inputs: \"NoColon\""));
  EXPECT_THAT(trace, HasSubstr(LineReport(10) + "Paper Jam: entry \"0A03\" is not six hexadecimal digits"));
  EXPECT_THAT(trace, HasSubstr(LineReport(10) + "Paper Jam: entry \"ZZZZZZ\""));
  EXPECT_THAT(trace, HasSubstr(LineReport(11) + "Input \"123:0A0300\" is not GG:BBCCDD"));
  EXPECT_THAT(trace, HasSubstr(LineReport(12) + "Output \"0A0300\" is not GG:BBCCDD"));
  EXPECT_THAT(trace, HasSubstr(LineReport(13) + "unknown key Colour ignored"));
  EXPECT_THAT(trace, HasSubstr(LineReport(15) + "key model is given twice; value ignored"));
  EXPECT_THAT(trace, HasSubstr(LineReport(17) + "NetInfoReplies: record \"XYZ\""));
  EXPECT_THAT(trace, HasSubstr(LineReport(17) + "NetInfoReplies: record \"030\""));
  EXPECT_THAT(trace, HasSubstr(LineReport(18) + "unknown key Speed ignored"));
  EXPECT_THAT(trace, HasSubstr(LineReport(19) + "section [Engine] ignored: the section [Engine] is given twice"));
}

TEST_F(FleetTest, CountsThatWouldNotFitTheirByteAreCut) {
  std::string entries = "03:";
  std::string inputs;
  for (int i = 0; i < 256; ++i) {
    entries += (i ? "," : "") + std::string("0A0300");
    inputs += std::to_string(i % 256) + ":T;";
  }
  const std::string longName(255, 'n');
  const Fleet fleet = Read("[Printer p]\nId=1\nInput=" + entries + "\nInputs=" + inputs + "\nOutputs=1:" + longName +
                           "\n");
  ASSERT_EQ(fleet.printers.size(), 1u);
  EXPECT_EQ(fleet.printers[0].categories[0].entries.size(), 255u);
  EXPECT_EQ(fleet.printers[0].inputs->size(), 255u);
  EXPECT_TRUE(fleet.printers[0].outputs->empty());
  EXPECT_THAT(Trace(), HasSubstr("Input: more than 255 entries"));
  EXPECT_THAT(Trace(), HasSubstr("Inputs: more than 255 pairs"));
  EXPECT_THAT(Trace(), HasSubstr("Outputs: the name of key 1 is longer than 254 characters"));
}

TEST_F(FleetTest, ArbitraryBytesNeverCrashTheReader) {
  std::mt19937 random(12345);
  const std::string alphabet = "[]=;:,0123456789abcdefxX \t\r\nPrinter IdInputsOutputsPaper JamYesNo\"\x01\xff";
  for (int round = 0; round < 200; ++round) {
    std::string content;
    const int length = static_cast<int>(random() % 400);
    for (int i = 0; i < length; ++i) content += alphabet[random() % alphabet.size()];
    const Fleet fleet = Read("[Printer x]\nId=1\n" + content);
    for (const FleetPrinter& printer : fleet.printers) {
      EXPECT_GE(printer.id, 1);
      EXPECT_LE(printer.id, 65534);
    }
  }
}

}  // namespace
}  // namespace korbce

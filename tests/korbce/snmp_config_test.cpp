// The network source's configuration, targets, device URIs, subnet sweeps and
// printer ids.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "korbce/snmp/printer_ids.h"
#include "korbce/snmp/problem_log.h"
#include "korbce/snmp/snmp_config.h"
#include "korbce/snmp/snmp_target.h"
#include "korbce/subnet_block.h"
#include "platform/file_io.h"
#include "profile/profile.h"
#include "platform/trace.h"
#include "settings/subnet_list.h"

namespace korbce::snmp {
namespace {

class TraceCapture {
 public:
  TraceCapture() {
    platform::SetDebugOutputSink([this](std::string_view text) { text_ += text; });
  }
  ~TraceCapture() { platform::SetDebugOutputSink({}); }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

platform::ProfileSection Section(std::vector<std::pair<std::string, std::string>> entries) {
  platform::ProfileSection section{"SNMP", 1, {}};
  int line = 2;
  for (auto& [key, value] : entries) section.entries.push_back({key, value, line++});
  return section;
}

TEST(SnmpConfigTest, DefaultsKeysAndReportedMistakes) {
  const SnmpConfig defaults = ReadSnmpConfig(Section({}), "korbce.ini", "/ids");
  EXPECT_EQ(defaults.credentials.community, "public");
  EXPECT_EQ(defaults.credentials.version, SnmpVersion::V2c);
  EXPECT_EQ(defaults.port, 161);
  EXPECT_EQ(defaults.timeout, std::chrono::milliseconds(1000));
  EXPECT_EQ(defaults.retries, 1u);
  EXPECT_EQ(defaults.poll, std::chrono::seconds(60));
  EXPECT_TRUE(defaults.scanSubnets);
  EXPECT_EQ(defaults.maxInFlight, 64u);
  EXPECT_EQ(defaults.idFile, "/ids");
  EXPECT_EQ(defaults.supplyLowPercent, 10u);
  EXPECT_EQ(defaults.trapPort, 162);
  EXPECT_EQ(defaults.trapCommunity, "");

  TraceCapture trace;
  const SnmpConfig config = ReadSnmpConfig(
      Section({{"targets", "printer1, private@10.0.0.5:1161, bad host, @x"},
               {"PORT", "16100"},
               {"Community", "office"},
               {"Version", "3"},
               {"User", "watcher"},
               {"AuthProtocol", "SHA-256"},
               {"AuthPassword", "longenough"},
               {"PrivProtocol", "DES"},
               {"PrivPassword", "short"},
               {"SecurityLevel", "authPriv"},
               {"Timeout", "0"},
               {"Retries", "2"},
               {"Poll", "3601"},
               {"ScanSubnets", "No"},
               {"MaxInFlight", "many"},
               {"Retries", "5"},
               {"Colour", "blue"},
               {"SupplyLowPercent", "101"},
               {"TrapPort", "65536"},
               {"TrapCommunity", ""}}),
      "korbce.ini", "/ids");
  ASSERT_EQ(config.targets.size(), 2u);
  EXPECT_EQ(config.targets[0], (SnmpTarget{"printer1", 16100, ""}));
  EXPECT_EQ(config.targets[1], (SnmpTarget{"10.0.0.5", 1161, "private"}));
  EXPECT_EQ(config.credentials.community, "office");
  EXPECT_EQ(config.credentials.version, SnmpVersion::V3);
  EXPECT_EQ(config.credentials.user.authProtocol, AuthProtocol::SHA256);
  EXPECT_EQ(config.credentials.user.privProtocol, PrivProtocol::DES);
  // authPriv without a usable PrivPassword falls back to noAuthNoPriv
  EXPECT_EQ(config.credentials.user.securityLevel, SecurityLevel::NoAuthNoPriv);
  EXPECT_EQ(config.timeout, std::chrono::milliseconds(1000));
  EXPECT_EQ(config.retries, 2u);
  EXPECT_EQ(config.poll, std::chrono::seconds(60));
  EXPECT_FALSE(config.scanSubnets);
  EXPECT_EQ(config.maxInFlight, 64u);
  const std::string& text = trace.Text();
  for (const char* expected :
       {"korbce.ini:2: [SNMP] target \"bad host\"", "korbce.ini:2: [SNMP] target \"@x\"", "korbce.ini:10: [SNMP] PrivPassword",
        "korbce.ini:12: [SNMP] Timeout \"0\" is not a number from 1 to 60000", "korbce.ini:14: [SNMP] Poll",
        "korbce.ini:16: [SNMP] MaxInFlight", "korbce.ini:17: [SNMP] key Retries is given twice",
        "korbce.ini:18: [SNMP] unknown key Colour",
        "korbce.ini:19: [SNMP] SupplyLowPercent \"101\" is not a number from 0 to 100",
        "korbce.ini:20: [SNMP] TrapPort \"65536\" is not a number from 0 to 65535",
        "korbce.ini:21: [SNMP] TrapCommunity \"\" is not a text", "korbce.ini:1: [SNMP] SecurityLevel needs"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin:\n" << text;
  }

  EXPECT_EQ(config.supplyLowPercent, 10u);
  EXPECT_EQ(ReadSnmpConfig(Section({{"SupplyLowPercent", "0"}}), "f", "/ids").supplyLowPercent, 0u);
  EXPECT_EQ(ReadSnmpConfig(Section({{"SupplyLowPercent", "25"}}), "f", "/ids").supplyLowPercent, 25u);
  EXPECT_EQ(config.trapPort, 162);
  const SnmpConfig traps = ReadSnmpConfig(Section({{"TrapPort", "0"}, {"TrapCommunity", "alerts"}}), "f", "/ids");
  EXPECT_EQ(traps.trapPort, 0);
  EXPECT_EQ(traps.trapCommunity, "alerts");

  const SnmpConfig noUser = ReadSnmpConfig(Section({{"Version", "3"}}), "f", "/ids");
  EXPECT_EQ(noUser.credentials.version, SnmpVersion::V2c);
}

TEST(SnmpConfigTest, DeviceUrisNameTheirHostOnTheSnmpPort) {
  EXPECT_EQ(TargetOfDeviceUri("socket://192.168.1.20:9100", 161), (SnmpTarget{"192.168.1.20", 161, ""}));
  EXPECT_EQ(TargetOfDeviceUri("lpd://printer.example/queue", 161), (SnmpTarget{"printer.example", 161, ""}));
  EXPECT_EQ(TargetOfDeviceUri("IPP://host:631/printers/x", 161), (SnmpTarget{"host", 161, ""}));
  EXPECT_EQ(TargetOfDeviceUri("ipps://user@host/ipp", 161), (SnmpTarget{"host", 161, ""}));
  EXPECT_EQ(TargetOfDeviceUri("https://host:443/", 162), (SnmpTarget{"host", 162, ""}));
  EXPECT_EQ(TargetOfDeviceUri("snmp://127.0.0.1:16161", 161), (SnmpTarget{"127.0.0.1", 16161, ""}));
  for (const char* uri : {"usb://Maker/Model?serial=1", "parallel:/dev/lp0", "dnssd://x._ipp._tcp.local/", "LPT1:",
                          "socket://", "socket://host:0", "socket://host:99999", "socket://bad host/"}) {
    EXPECT_FALSE(TargetOfDeviceUri(uri, 161)) << uri;
  }
}

TEST(SnmpConfigTest, SubnetBlocksAndTheHostsASweepAsks) {
  SubnetList list(2);
  list.SetAddress(0, 0x7F000001);
  list.SetMask(0, 0xFFFFFFFF);
  list.SetAddress(1, 0xC0A80100);
  list.SetMask(1, 0xFFFFFF00);
  const auto subnets = ParseSubnetBlock(list.Data(), static_cast<std::uint32_t>(list.Size()));
  ASSERT_EQ(subnets.size(), 2u);
  EXPECT_EQ(subnets[0], (Subnet{0x7F000001, 0xFFFFFFFF}));
  // a block shorter than its count says gives only the entries it holds
  EXPECT_EQ(ParseSubnetBlock(list.Data(), 20).size(), 1u);
  EXPECT_TRUE(ParseSubnetBlock(list.Data(), 3).empty());
  EXPECT_TRUE(ParseSubnetBlock(nullptr, 100).empty());

  EXPECT_EQ(HostsOf(subnets[0], 100), (std::vector<std::uint32_t>{0x7F000001}));
  const auto hosts = HostsOf(subnets[1], 1000);
  ASSERT_EQ(hosts.size(), 254u);
  EXPECT_EQ(hosts.front(), 0xC0A80101u);
  EXPECT_EQ(hosts.back(), 0xC0A801FEu);
  EXPECT_EQ(HostsOf({0x0A000000, 0}, 10).size(), 10u);
}

TEST(SnmpConfigTest, PrinterIdsAreKeptAcrossRestartsAndAvoidTakenIds) {
  std::random_device random;
  const auto dir = std::filesystem::temp_directory_path() / ("korbce-ids-" + std::to_string(random()));
  const std::string path = (dir / "state" / "snmp-printers").string();
  const auto none = [](std::uint16_t) { return false; };
  {
    PrinterIds ids(path);
    EXPECT_EQ(ids.IdOf("mac:001122334455", none), 32768);
    EXPECT_EQ(ids.IdOf("127.0.0.1:161", [](std::uint16_t id) { return id == 32769; }), 32770);
    EXPECT_EQ(ids.IdOf("mac:001122334455", none), 32768);
    EXPECT_FALSE(std::filesystem::exists(path));
    std::string problem;
    WriteIdFile(ids.Path(), ids.TakeChanges().value_or(""), problem);
  }
  EXPECT_EQ(platform::ReadWholeFile(path).value_or(""), "32768 mac:001122334455\n32770 127.0.0.1:161\n");
  // A printer known by its hardware address is named by where it was last
  // found too; one id has one hardware address at most.
  ASSERT_TRUE(platform::WriteFileAtomically(path, "32768 mac:001122334455\n32770 127.0.0.1:161\nbad line\n"
                                                  "5 low\n32768 mac:0000000000FF\n32768 127.0.0.1:9161\n").ok());
  TraceCapture trace;
  PrinterIds again(path);
  EXPECT_EQ(again.IdOf("127.0.0.1:161", none), 32770);
  EXPECT_EQ(again.Known("127.0.0.1:9161"), 32768);
  EXPECT_FALSE(again.Known("mac:0000000000FF"));
  EXPECT_EQ(again.IdOf("new", none), 32769);
  again.Bind("127.0.0.1:9161", 32769);
  EXPECT_EQ(again.HardwareKeyOf(32768), "mac:001122334455");
  again.SetModel(32768, "Laser\n9000");
  // Once the ids from 32768 up are used, the ids below are given.
  EXPECT_EQ(again.IdOf("low too", [](std::uint16_t id) { return id >= 32768 || id == 1; }), 2);
  EXPECT_FALSE(again.IdOf("none left", [](std::uint16_t) { return true; }));
  EXPECT_EQ(again.TakeChanges().value_or(""), "2 low too\n5 low\n32768 mac:001122334455\n32769 new\n"
                                              "32769 127.0.0.1:9161\n32770 127.0.0.1:161\n32768 model=Laser 9000\n");
  std::string problem;
  WriteIdFile(again.Path(), "32768 mac:001122334455\n32768 model=Laser 9000\n", problem);
  EXPECT_EQ(PrinterIds(path).ModelOf(32768), "Laser 9000");
  EXPECT_NE(trace.Text().find("snmp-printers:3: "), std::string::npos) << trace.Text();
  EXPECT_NE(trace.Text().find("snmp-printers:5: "), std::string::npos);
  std::filesystem::remove_all(dir);
}

// A problem that keeps coming is written once a minute per printer, and the
// next line tells how often it came.
TEST(SnmpConfigTest, ProblemsAreWrittenOnceAMinutePerPrinterWithTheirCount) {
  TraceCapture trace;
  ProblemLog log;
  const auto start = ProblemLog::Clock::now();
  for (int poll = 0; poll < 5; ++poll) log.Report("127.0.0.1:161", "walk cut short", start + std::chrono::seconds(poll));
  log.Report("127.0.0.1:1161", "walk cut short", start);
  log.Report("127.0.0.1:161", "walk cut short", start + ProblemLog::kQuietPeriod + std::chrono::seconds(1));
  EXPECT_EQ(trace.Text(),
            "korbce: SNMP printer 127.0.0.1:161: walk cut short\n"
            "korbce: SNMP printer 127.0.0.1:1161: walk cut short\n"
            "korbce: SNMP printer 127.0.0.1:161: walk cut short (5 times since it was last written)\n");
}

}  // namespace
}  // namespace korbce::snmp

// The fast agent as net-snmp's command-line tools see it: each printer's walk
// is its own recording in order and ends there, whatever the request type,
// and a jam switched at run time shows on that printer only.

#include "tests/support/fast_snmp_agent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/decimal_text.h"
#include "common/list_text.h"
#include "platform/child_process.h"
#include "tests/support/scratch.h"

namespace snmp_test {
namespace {

constexpr char kUser[] = "watcher";
constexpr char kAuth[] = "authsecret1";
constexpr char kPriv[] = "privsecret1";

std::vector<std::uint32_t> Arcs(std::string_view oid) {
  std::vector<std::uint32_t> arcs;
  for (std::string_view arc : common::SplitList(oid, '.')) {
    if (const auto number = common::ParseDecimal(arc)) arcs.push_back(*number);
  }
  return arcs;
}

// The OIDs of the records, in numeric order, with a leading dot as -On prints them.
std::vector<std::string> OrderedOids(const std::vector<SnmpRecord>& records) {
  std::vector<std::string> oids;
  for (const SnmpRecord& record : records) oids.push_back("." + record.oid);
  std::sort(oids.begin(), oids.end(), [](const std::string& a, const std::string& b) { return Arcs(a) < Arcs(b); });
  return oids;
}

class FastSnmpAgentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists("/usr/bin/snmpbulkwalk")) GTEST_SKIP() << "net-snmp's tools are not installed";
    FastSnmpAgent::Options options;
    options.printers = 3;
    options.v3User = SnmpV3User{kUser, "SHA", kAuth, "AES", kPriv};
    ASSERT_TRUE(agent_.Start(options)) << agent_.Problem();
  }

  // The lines a tool printed; empty when it failed.
  std::vector<std::string> Run(const std::string& tool, std::vector<std::string> options,
                               const std::vector<std::string>& operands = {}) {
    std::vector<std::string> arguments = {"-m", "", "-On", "-t", "1", "-r", "0"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back("127.0.0.1:" + std::to_string(agent_.Port(1)));
    arguments.insert(arguments.end(), operands.begin(), operands.end());
    platform::ChildProcess child;
    const std::string output = scratch_ / "output";
    if (!child.Start(tool, arguments, output, scratch_ / "errors")) return {};
    const auto status = child.Wait(20000);
    std::vector<std::string> lines;
    std::ifstream file(output);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return status && *status == 0 ? lines : std::vector<std::string>{};
  }

  std::vector<std::string> Walk(const std::string& tool, const std::string& community,
                                std::vector<std::string> extra = {}) {
    extra.insert(extra.end(), {"-v2c", "-c", community});
    std::vector<std::string> oids;
    for (const std::string& line : Run(tool, extra)) {
      if (line.find("No more variables left") == std::string::npos) oids.push_back(line.substr(0, line.find(' ')));
    }
    return oids;
  }

  test_support::ScratchDirectory scratch_{"fast-snmp-agent"};
  FastSnmpAgent agent_;
};

TEST_F(FastSnmpAgentTest, WalksEachPrinterInOrderToItsEndWithEveryRequestType) {
  const auto expected = OrderedOids(FastSnmpAgent::Records(2, false));
  EXPECT_EQ(Walk("snmpwalk", "p00002"), expected);
  // Seven rows of three columns cross the end of the printer's objects.
  EXPECT_EQ(Walk("snmpbulkwalk", "p00002", {"-Cr7"}), expected);
  EXPECT_EQ(Walk("snmpwalk", "p00003", {"-v1"}), expected);

  const auto last = Run("snmpgetnext", {"-v2c", "-c", "p00002"}, {expected.back()});
  ASSERT_EQ(last.size(), 1u);
  EXPECT_NE(last[0].find("No more variables left"), std::string::npos) << last[0];
  const auto rows = Run("snmpbulkget", {"-v2c", "-c", "p00002", "-Cn1", "-Cr5"},
                        {"1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.43.12", "1.3.6.1.2.1.43.11.1.1.9"});
  // the non-repeater, then rows of two columns up to the first where both
  // are past the end, not the five asked for
  const std::vector<std::string> names = {".1.3.6.1.2.1.2.2.1.6.1",       ".1.3.6.1.2.1.43.12.1.1.4.1.1",
                                          ".1.3.6.1.2.1.43.11.1.1.9.1.1", ".1.3.6.1.2.1.43.12.1.1.4.1.1",
                                          ".1.3.6.1.2.1.43.12.1.1.4.1.1", ".1.3.6.1.2.1.43.12.1.1.4.1.1",
                                          ".1.3.6.1.2.1.43.12.1.1.4.1.1"};
  ASSERT_EQ(rows.size(), names.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].substr(0, rows[i].find(' ')), names[i]) << i;
    const bool past = i == 3 || i >= 5;
    EXPECT_EQ(rows[i].find("No more variables left") != std::string::npos, past) << rows[i];
  }

  const auto mac = Run("snmpget", {"-v2c", "-c", "p00003", "-Oqv"}, {"1.3.6.1.2.1.2.2.1.6.1"});
  ASSERT_EQ(mac.size(), 1u);
  EXPECT_EQ(mac[0], "\"02 00 00 00 00 03 \"");
  EXPECT_TRUE(Run("snmpget", {"-v2c", "-c", "p00004"}, {"1.3.6.1.2.1.1.1.0"}).empty()) << "no printer 4";
}

TEST_F(FastSnmpAgentTest, SwitchesOnePrintersJamByCallOrSetAndServesSnmpV3ByContext) {
  const auto clear = OrderedOids(FastSnmpAgent::Records(1, false));
  const auto jammed = OrderedOids(FastSnmpAgent::Records(1, true));
  ASSERT_NE(clear, jammed);
  agent_.SetJam(2, true);
  EXPECT_EQ(Walk("snmpbulkwalk", "p00002"), jammed);
  EXPECT_EQ(Walk("snmpbulkwalk", "p00001"), clear);

  EXPECT_FALSE(Run("snmpset", {"-v2c", "-c", "all"}, {"1.3.6.1.2.1.25.3.5.1.2.1", "x", "04"}).empty());
  EXPECT_EQ(Walk("snmpbulkwalk", "p00001"), jammed);
  EXPECT_FALSE(Run("snmpset", {"-v2c", "-c", "p00001"}, {"1.3.6.1.2.1.25.3.5.1.2.1", "x", "00"}).empty());
  EXPECT_EQ(Walk("snmpbulkwalk", "p00001"), clear);
  EXPECT_EQ(Walk("snmpbulkwalk", "p00003"), jammed);
  EXPECT_TRUE(Run("snmpset", {"-v2c", "-c", "p00001"}, {"1.3.6.1.2.1.1.1.0", "s", "x"}).empty()) << "not writable";

  const std::vector<std::string> v3 = {"-v3", "-l", "authPriv", "-u", kUser, "-a", "SHA", "-A", kAuth,
                                       "-x", "AES", "-X", kPriv, "-n", "p00003", "-Oqv"};
  auto get = v3;
  const auto mac = Run("snmpget", get, {"1.3.6.1.2.1.2.2.1.6.1"});
  ASSERT_EQ(mac.size(), 1u);
  EXPECT_EQ(mac[0], "\"02 00 00 00 00 03 \"");
  get[8] = "wrongsecret";
  EXPECT_TRUE(Run("snmpget", get, {"1.3.6.1.2.1.2.2.1.6.1"}).empty()) << "a wrong password gets no answer";
}

}  // namespace
}  // namespace snmp_test

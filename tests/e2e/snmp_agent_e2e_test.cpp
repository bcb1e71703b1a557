// The SNMP test agent itself, asked with net-snmp's snmpget: the recording it
// serves, a replaced recording, falling silent, and its SNMPv3 user.

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "tests/support/snmp_agent.h"

namespace {

using snmp_test::SnmpAgent;
using snmp_test::SnmpRecord;

constexpr char kSysDescr[] = "1.3.6.1.2.1.1.1.0";

// What snmpget prints for the OID ("" when it gets no answer).
std::string Get(const e2e::ScratchDirectory& dir, const std::vector<std::string>& security,
                const std::string& endpoint) {
  platform::ChildProcess snmpget;
  std::vector<std::string> arguments = security;
  arguments.insert(arguments.end(), {"-On", "-Oqv", "-t", "1", "-r", "0", endpoint, kSysDescr});
  const std::string output = dir.Path("snmpget.out");
  if (!snmpget.Start("snmpget", arguments, output, dir.Path("snmpget.err"))) return "";
  const auto status = snmpget.Wait(10000);
  if (status != 0) return "";
  std::string text = e2e::ReadText(output);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

TEST(SnmpAgentTest, ServesReplacesPausesAndAnswersItsV3User) {
  if (!SnmpAgent::Available()) GTEST_SKIP() << "snmpsimd is not installed (Debian package snmpsim)";
  e2e::ScratchDirectory dir("snmp-agent-test");
  SnmpAgent agent(dir.Root() / "agent");
  ASSERT_TRUE(agent.Write("public", {{kSysDescr, "4", "first"}}));
  ASSERT_TRUE(agent.Start()) << agent.Problem();
  const std::vector<std::string> v2c = {"-v2c", "-c", "public"};
  EXPECT_EQ(Get(dir, v2c, agent.Endpoint()), "\"first\"");

  ASSERT_TRUE(agent.Write("public", {{kSysDescr, "4", "second"}}));
  EXPECT_TRUE(e2e::Eventually([&] { return Get(dir, v2c, agent.Endpoint()) == "\"second\""; }));

  ASSERT_TRUE(agent.Pause());
  EXPECT_EQ(Get(dir, v2c, agent.Endpoint()), "");
  ASSERT_TRUE(agent.Resume());
  EXPECT_EQ(Get(dir, v2c, agent.Endpoint()), "\"second\"");
  agent.Stop();
  EXPECT_EQ(Get(dir, v2c, agent.Endpoint()), "");

  ASSERT_TRUE(agent.Write(snmp_test::kV3Community, {{kSysDescr, "4", "secret"}}));
  ASSERT_TRUE(agent.Start(snmp_test::SnmpV3User{"tester", "SHA", "authpass1", "AES", "privpass1"}))
      << agent.Problem();
  EXPECT_EQ(Get(dir, {"-v3", "-l", "authPriv", "-u", "tester", "-a", "SHA", "-A", "authpass1", "-x", "AES", "-X",
                      "privpass1"},
                agent.Endpoint()),
            "\"secret\"");
  EXPECT_EQ(Get(dir, {"-v3", "-l", "authPriv", "-u", "tester", "-a", "SHA", "-A", "wrongpass", "-x", "AES", "-X",
                      "privpass1"},
                agent.Endpoint()),
            "");
}

TEST(SnmpAgentTest, RecordingsAreSortedByNumericOid) {
  EXPECT_EQ(snmp_test::RecordingText({{"1.3.6.1.10", "2", "1"}, {"1.3.6.1.9", "2", "2"}}),
            "1.3.6.1.9|2|2\n1.3.6.1.10|2|1\n");
}

}  // namespace

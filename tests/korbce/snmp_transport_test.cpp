// The transport's thread and the fetches handed to it, without a printer.

#include "korbce/snmp/snmp_transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace korbce::snmp {
namespace {

// The discard port of 127.0.0.1, where nothing answers, with a short timeout.
SessionSettings SilentPort() {
  SessionSettings silent;
  silent.host = "127.0.0.1";
  silent.port = 9;
  silent.timeout = std::chrono::milliseconds(100);
  silent.retries = 0;
  return silent;
}

// A fetch of a silent port ends unanswered after its timeout; one handed over
// after the thread has stopped ends at once, so that no caller waits forever
// (an enumeration while the process ends).
TEST(SnmpTransportTest, EveryFetchEndsEvenAfterTheThreadHasStopped) {
  SnmpTransport transport;
  ASSERT_TRUE(transport.Start(nullptr));
  const SessionSettings silent = SilentPort();
  FetchPlan plan;
  plan.walks = {{1, 3, 6, 1, 2, 1, 1}};
  std::atomic<int> ended{0};
  std::atomic<bool> answered{true};
  transport.Submit(silent, plan, [&](FetchResult result) {
    answered = result.answered;
    ++ended;
  });
  for (int i = 0; i < 300 && ended == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(answered);

  transport.Stop();
  bool endedAtOnce = false;
  transport.Submit(silent, plan, [&](FetchResult result) { endedAtOnce = !result.answered; });
  EXPECT_TRUE(endedAtOnce);
}

// The Windows build's net-snmp has no SHA-2 (it has no OpenSSL): an SNMPv3
// user with SHA-256 is refused at once with that reason. Where the library
// has it, the request goes out and the silent port lets it time out.
TEST(SnmpTransportTest, AnSha256UserIsRefusedWithItsReasonWhereTheLibraryLacksSha2) {
  SnmpTransport transport;
  ASSERT_TRUE(transport.Start(nullptr));
  SessionSettings settings = SilentPort();
  settings.credentials.version = SnmpVersion::V3;
  settings.credentials.user = {"watcher", SecurityLevel::AuthPriv, AuthProtocol::SHA256, "authsecret1",
                               PrivProtocol::AES, "privsecret1"};
  FetchPlan plan;
  plan.walks = {{1, 3, 6, 1, 2, 1, 1}};
  std::atomic<bool> ended{false};
  std::vector<std::string> problems;
  transport.Submit(settings, plan, [&](FetchResult result) {
    problems = result.problems;
    ended = true;
  });
  for (int i = 0; i < 300 && !ended; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(ended);
  const bool refused =
      std::find(problems.begin(), problems.end(), "SHA-256 is not available in this build (net-snmp without OpenSSL)") !=
      problems.end();
#ifdef _WIN32
  EXPECT_TRUE(refused) << ::testing::PrintToString(problems);
#else
  EXPECT_FALSE(refused) << ::testing::PrintToString(problems);
#endif
  transport.Stop();
}

}  // namespace
}  // namespace korbce::snmp

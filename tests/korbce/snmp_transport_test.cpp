// The transport's thread and the fetches handed to it, without a printer.

#include "korbce/snmp/snmp_transport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace korbce::snmp {
namespace {

// A fetch of a silent port ends unanswered after its timeout; one handed over
// after the thread has stopped ends at once, so that no caller waits forever
// (an enumeration while the process ends).
TEST(SnmpTransportTest, EveryFetchEndsEvenAfterTheThreadHasStopped) {
  SnmpTransport transport;
  ASSERT_TRUE(transport.Start(nullptr));
  SessionSettings silent;
  silent.host = "127.0.0.1";
  silent.port = 9;  // discard: nothing answers
  silent.timeout = std::chrono::milliseconds(100);
  silent.retries = 0;
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

}  // namespace
}  // namespace korbce::snmp

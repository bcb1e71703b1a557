#include <gtest/gtest.h>

#include "common/byte_order.h"
#include "eif/eif_config.h"
#include "eif/event_cache.h"
#include "eif/tec_frame.h"
#include "eif/tec_sender.h"
#include "eif_test_support.h"

class TecSenderTest : public testing::Test {
 protected:
  void Load(const std::string& keys) {
    LoadConfig(dir.Path("eif.conf"), "BufEvtPath=" + cache + "\n" + keys);
  }
  TecHandlePtr Open(int mode = TEC_MODE_FROM_CONFIG) {
    return TecHandlePtr(TecOpen("", 0, 0, mode, {&network, &clock}));
  }
  long Send(TecHandle* handle, const std::string& event) { return TecSendEvent(handle, event); }

  ScratchDirectory dir;
  std::string cache = dir.Path("cache.dat");
  FakeNetwork network;
  FakeClock clock;
  std::string event = MakeEvent("CRITICAL", "Paper Jam");
};

TEST_F(TecSenderTest, FramesCarryTheHeaderAndTheFirst2000BytesInOneSend) {
  Load("ServerLocation=server1\nServerPort=5529\n");
  FakeServer& server = network.Server(1, 5529);
  TecHandlePtr handle = Open();
  std::string short2000 = MakeEvent("MINOR", "m", 2000), long2500 = MakeEvent("MINOR", "m", 2500);
  EXPECT_EQ(Send(handle.get(), short2000), 2000);
  EXPECT_EQ(Send(handle.get(), long2500), 2500);
  EXPECT_EQ(server.sendSizes, (std::vector<std::size_t>{2036, 2036, 500}));
  std::string frame = server.bytes.substr(2036);
  EXPECT_EQ(frame.substr(0, 28), std::string("<START>>") + std::string(20, '\0'));
  EXPECT_EQ(frame.substr(28, 8), std::string("\0\0\x09\xc4\0\0\x07\xd0", 8));  // 2500 and 2000
  EXPECT_EQ(network.Events(1, 5529), (std::vector<std::string>{short2000, long2500}));
  EXPECT_EQ(server.connections, 2);  // connection-less: one connection per event
}

TEST_F(TecSenderTest, ConnectionLessTriesServersInOrderThenCaches) {
  Load("ServerLocation=server1,server2,server3\nServerPort=1,2,3\n");
  network.Server(1, 1).accepting = false;
  network.Server(2, 2).failSends = true;
  network.Server(3, 3);
  TecHandlePtr handle = Open();
  EXPECT_EQ(Send(handle.get(), event), static_cast<long>(event.size()));
  EXPECT_EQ(network.Events(3, 3), std::vector<std::string>{event});
  EXPECT_EQ(network.log, (std::vector<std::string>{"connect 1:1", "connect 2:2", "close 2:2", "connect 3:3",
                                                    "close 3:3"}));
  network.Server(3, 3).accepting = false;
  EXPECT_EQ(Send(handle.get(), event), static_cast<long>(event.size()));  // cached
  EXPECT_EQ(ReadFile(cache), event);
  EXPECT_EQ(network.Events(3, 3).size(), 1u);
}

TEST_F(TecSenderTest, TheFirstServerIsTriedAgainAfter64EventsOnABackup) {
  Load("ServerLocation=server1,server2\nServerPort=1,2\nConnectionMode=co\nRetryInterval=7\n");
  network.Server(1, 1).accepting = false;
  network.Server(2, 2);
  TecHandlePtr handle = Open();
  EXPECT_EQ(handle->currentServer, 1);
  for (int i = 0; i < 64; ++i) Send(handle.get(), event);
  EXPECT_EQ(network.Events(2, 2).size(), 64u);
  EXPECT_TRUE(clock.sleeps.empty());
  network.Server(1, 1).accepting = true;
  Send(handle.get(), event);
  EXPECT_EQ(clock.sleeps, (std::vector<std::int64_t>{5000, 5000}));  // 7 seconds take two steps of 5
  EXPECT_EQ(network.Events(1, 1).size(), 1u);
  EXPECT_EQ(handle->currentServer, 0);
  for (int i = 0; i < 100; ++i) Send(handle.get(), event);  // the first server keeps its connection
  EXPECT_EQ(network.Events(1, 1).size(), 101u);
  EXPECT_EQ(network.Server(1, 1).connections, 1);
  EXPECT_EQ(clock.sleeps.size(), 2u);
}

TEST_F(TecSenderTest, AServerRestartIsWaitedForAndTheSameEventSentAgain) {
  Load("ServerLocation=server1\nServerPort=1\nConnectionMode=CO\n");
  FakeServer& server = network.Server(1, 1);
  TecHandlePtr handle = Open();
  EXPECT_EQ(handle->retryInterval, 120);
  Send(handle.get(), event);
  ++server.generation;  // the server restarts: the open connection is gone
  std::string next = MakeEvent("WARNING", "Offline");
  EXPECT_EQ(Send(handle.get(), next), static_cast<long>(next.size()));
  EXPECT_EQ(clock.sleeps.size(), 24u);  // 120 seconds in steps of 5
  EXPECT_EQ(network.Events(1, 1), (std::vector<std::string>{event, next}));

  ++server.generation;
  server.accepting = false;
  Send(handle.get(), next);
  EXPECT_EQ(ReadFile(cache), next);
  EXPECT_EQ(handle->currentServer, -1);
  Send(handle.get(), next);  // not connected: no wait before caching
  EXPECT_EQ(clock.sleeps.size(), 48u);
  EXPECT_EQ(ReadFile(cache), next + next);

  server.accepting = true;  // the next send delivers the cached events first
  Send(handle.get(), event);
  EXPECT_EQ(network.Events(1, 1), (std::vector<std::string>{event, next, next, next, event}));
  EXPECT_EQ(ReadFile(cache), "");
}

TEST_F(TecSenderTest, RetryIntervalZeroMeansNoWait) {
  Load("ServerLocation=server1\nServerPort=1\nConnectionMode=connection_oriented\nRetryInterval=0\n");
  FakeServer& server = network.Server(1, 1);
  TecHandlePtr handle = Open();
  Send(handle.get(), event);
  server.failSends = true;
  Send(handle.get(), event);
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_EQ(ReadFile(cache), event);
}

TEST_F(TecSenderTest, PortsComeFromThePortmapperWhenNotConfigured) {
  Load("ServerLocation=server1,server2\nServerPort=0\nConnectionMode=co\n");
  network.portmap[2] = 7000;
  network.Server(2, 7000);
  TecHandlePtr handle = Open();
  EXPECT_EQ(network.log, (std::vector<std::string>{"lookup 1", "lookup 2", "connect 2:7000"}));
  network.log.clear();
  network.Server(2, 7000).failSends = true;
  handle->retryInterval = 0;
  Send(handle.get(), event);  // every pass asks the portmapper of each unconfigured server again
  EXPECT_EQ(network.log, (std::vector<std::string>{"close 2:7000", "lookup 1", "lookup 2", "connect 2:7000",
                                                    "close 2:7000"}));

  EXPECT_EQ(ReadFile(cache), event);
  std::filesystem::remove(cache);

  Load("ServerLocation=server1\nTestMode=no\n");  // connection-less: asked only after a failed attempt
  network.log.clear();
  TecHandlePtr lessHandle = Open();
  EXPECT_EQ(network.log, (std::vector<std::string>{"lookup 1"}));
  network.portmap[1] = 7001;
  network.Server(1, 7001);
  Send(lessHandle.get(), event);
  EXPECT_EQ(network.Events(1, 7001), std::vector<std::string>{event});
  Send(lessHandle.get(), event);
  EXPECT_EQ(network.log, (std::vector<std::string>{"lookup 1", "connect 1:0", "lookup 1", "connect 1:7001",
                                                    "close 1:7001", "connect 1:7001", "close 1:7001"}));
}

TEST_F(TecSenderTest, OpenFailsWithoutServersOrWithAnUnresolvableOne) {
  Load("ServerPort=1\n");
  EXPECT_FALSE(Open());
  Load("ServerLocation=server1,nowhere.invalid\nServerPort=1\n");
  EXPECT_FALSE(Open());
  TecHandlePtr handle(TecOpen("server4", 4444, 9, TEC_CONNECTION_LESS, {&network, &clock}));
  ASSERT_TRUE(handle);
  EXPECT_EQ(handle->serverCount, 1);
  EXPECT_EQ(handle->serverPorts[0], common::HostToNetwork16(4444));
  EXPECT_TRUE(handle->portConfigured[0]);
  EXPECT_EQ(handle->reserved, 9);
  Load("ServerLocation=server1,server2,server3,server4,server5,server6,server7,server8,server9,server10\n"
       "ServerPort=1,2,3,4,5,6,7,8,9,10,11\n");
  handle.reset(TecOpen("", 0, 0, TEC_CONNECTION_LESS, {&network, &clock}));
  EXPECT_EQ(handle->serverCount, 8);
  EXPECT_EQ(handle->serverNames[7], "server8");
}

TEST_F(TecSenderTest, TestModeWritesEachEventAndANewlineAndNothingElse) {
  std::string testFile = dir.Path("events.txt");
  WriteFile(testFile, "old content\n");
  Load("ServerLocation=" + testFile + "\nTestMode=yes\n");
  TecHandlePtr handle = Open();
  ASSERT_TRUE(handle);
  EXPECT_EQ(Send(handle.get(), event), static_cast<long>(event.size()));
  EXPECT_EQ(Send(handle.get(), "second"), 6);
  EXPECT_EQ(ReadFile(testFile), event + "\nsecond\n");
  EXPECT_TRUE(network.log.empty());
  EXPECT_FALSE(std::filesystem::exists(cache));

  Load("ServerLocation=" + dir.Path("no/such/dir/events.txt") + "\nTestMode=YES\n");
  EXPECT_FALSE(Open());
}

TEST_F(TecSenderTest, FilteredEventsAreNeitherSentNorCached) {
  Load("ServerLocation=server1\nServerPort=1\nFilter:severity=HARMLESS\n");
  TecHandlePtr handle = Open();
  EXPECT_EQ(Send(handle.get(), MakeEvent("HARMLESS", "Ready")), 0);
  EXPECT_TRUE(network.log.empty());
  EXPECT_FALSE(std::filesystem::exists(cache));
}

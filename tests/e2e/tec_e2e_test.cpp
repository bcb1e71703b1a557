// The TEC sender against real tec-receiver programs on loopback, and the
// portmapper look-up against a real rpcbind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "common/ipv4_text.h"
#include "e2e_support.h"
#include "eif/eif_config.h"
#include "eif/tec_sender.h"
#include "platform/tcp_socket.h"
#include "tests/support/rpcbind_server.h"

namespace {

using namespace e2e;

const std::uint32_t kLoopback = *common::ParseIPv4NetworkOrder("127.0.0.1");

std::string Event(const std::string& severity, const std::string& message, std::size_t padTo = 0) {
  std::string event = "Korvane_Printer_Alert;source=Korvane_Printers;severity=" + severity + ";msg='" + message +
                      "';printer_address='';printer_model='Model \\ 9';origin='127.0.0.1';hostname='';"
                      "port_attachment='Parallel 1';adapter_product='';END\n\x01";
  if (event.size() < padTo) event.insert(event.find("';printer_address"), padTo - event.size(), 'p');
  return event;
}

class TecEndToEndTest : public testing::Test {
 protected:
  void Configure(const std::string& keys) {
    std::ofstream(dir.Path("KorEvntS.ini")) << "[Tivoli Adapter Configuration File]\nBufEvtPath="
                                            << dir.Path("cache.dat") << "\n" << keys;
    testing::internal::CaptureStdout();  // the section header's syntax error message
    ASSERT_EQ(EifReadConfig(dir.Path("KorEvntS.ini")), 0);
    testing::internal::GetCapturedStdout();
  }
  TecHandlePtr Open() { return TecHandlePtr(TecOpen("", 0, 0, TEC_MODE_FROM_CONFIG)); }
  std::string Cache() { return ReadText(dir.Path("cache.dat")); }

  ScratchDirectory dir{"tec-e2e"};
};

TEST_F(TecEndToEndTest, EveryEventArrivesByteForByteInBothModes) {
  Receiver receiver(dir, "receiver");
  ASSERT_TRUE(receiver.Start({}));
  std::vector<std::string> events = {Event("CRITICAL", "Paper Jam"), Event("MINOR", "Toner Low", 2000),
                                     Event("WARNING", std::string("bytes \x02\x7f\xff and \\x41"), 2500)};
  for (const char* mode : {"co", "connection_less"}) {
    Configure("ServerLocation=127.0.0.1\nServerPort=" + std::to_string(receiver.Port()) +
              "\nConnectionMode=" + mode + "\n");
    TecHandlePtr handle = Open();
    ASSERT_TRUE(handle);
    for (const std::string& event : events) EXPECT_EQ(TecSendEvent(handle.get(), event), long(event.size()));
  }
  ASSERT_TRUE(receiver.WaitForEvents(6));
  std::vector<std::string> expected = events;
  expected.insert(expected.end(), events.begin(), events.end());
  EXPECT_EQ(receiver.Events(), expected);
  EXPECT_EQ(receiver.Errors().find("malformed"), std::string::npos);
}

TEST_F(TecEndToEndTest, TheReceiverServesManyConnectionsAtOnce) {
  Receiver receiver(dir, "shared");
  ASSERT_TRUE(receiver.Start({}));
  Configure("ServerLocation=127.0.0.1\nServerPort=" + std::to_string(receiver.Port()) + "\nConnectionMode=co\n");
  std::vector<TecHandlePtr> handles;
  for (int i = 0; i < 5; ++i) handles.push_back(Open());
  std::multiset<std::string> sent;
  for (int round = 0; round < 20; ++round) {
    for (std::size_t i = 0; i < handles.size(); ++i) {
      std::string event = Event("MINOR", "connection " + std::to_string(i) + " round " + std::to_string(round));
      ASSERT_EQ(TecSendEvent(handles[i].get(), event), long(event.size()));
      sent.insert(event);
    }
  }
  ASSERT_TRUE(receiver.WaitForEvents(sent.size()));
  std::vector<std::string> received = receiver.Events();
  EXPECT_EQ(std::multiset<std::string>(received.begin(), received.end()), sent);
}

TEST_F(TecEndToEndTest, ARefusingServerIsPassedOverAndEventsAreCachedWhenAllRefuse) {
  Receiver refusing(dir, "refusing"), backup(dir, "backup");
  ASSERT_TRUE(refusing.Start({"--refuse"}));
  ASSERT_TRUE(backup.Start({}));
  Configure("ServerLocation=127.0.0.1,localhost\nServerPort=" + std::to_string(refusing.Port()) + "," +
            std::to_string(backup.Port()) + "\nConnectionMode=CO\nRetryInterval=0\n");
  TecHandlePtr handle = Open();
  ASSERT_TRUE(handle);
  EXPECT_EQ(handle->currentServer, 1);
  std::string first = Event("CRITICAL", "Paper Jam"), second = Event("HARMLESS", "Paper Jam(Resolved)");
  TecSendEvent(handle.get(), first);
  ASSERT_TRUE(backup.WaitForEvents(1));

  backup.Stop();
  EXPECT_EQ(TecSendEvent(handle.get(), second), long(second.size()));
  EXPECT_EQ(Cache(), second);
  EXPECT_TRUE(refusing.Events().empty());

  // The backup comes back on its port: the next send delivers the cache first.
  ASSERT_TRUE(backup.Start({}, backup.Port()));
  TecSendEvent(handle.get(), first);
  ASSERT_TRUE(backup.WaitForEvents(2));
  EXPECT_EQ(backup.Events(), (std::vector<std::string>{second, first}));
  EXPECT_EQ(Cache(), "");
}

TEST_F(TecEndToEndTest, AServerThatClosesTheConnectionLosesNoEvent) {
  Receiver receiver(dir, "closing");
  ASSERT_TRUE(receiver.Start({"--close-after", "2"}));
  Configure("ServerLocation=127.0.0.1\nServerPort=" + std::to_string(receiver.Port()) +
            "\nConnectionMode=co\nRetryInterval=0\n");
  TecHandlePtr handle = Open();
  ASSERT_TRUE(handle);
  std::vector<std::string> sent;
  for (int i = 0; i < 6; ++i) {
    // Once the receiver has taken two events on a connection it closes it;
    // the sender must notice before writing the next event into it.
    if (i > 0 && i % 2 == 0) {
      ASSERT_TRUE(receiver.WaitForEvents(sent.size()));
      ASSERT_TRUE(Eventually([&] { return handle->connection->PeerHasClosed(); }));
    }
    sent.push_back(Event("MINOR", "Event " + std::to_string(i)));
    EXPECT_EQ(TecSendEvent(handle.get(), sent.back()), long(sent.back().size()));
  }
  ASSERT_TRUE(receiver.WaitForEvents(6));
  EXPECT_EQ(receiver.Events(), sent);
  EXPECT_EQ(Cache(), "");
}

TEST_F(TecEndToEndTest, MalformedFramesAreReportedAndTheirConnectionClosed) {
  Receiver receiver(dir, "strict");
  ASSERT_TRUE(receiver.Start({}));
  std::uint16_t port = static_cast<std::uint16_t>((receiver.Port() >> 8) | (receiver.Port() << 8));
  platform::UniqueSocket raw = platform::ConnectTcp4(kLoopback, port);
  ASSERT_TRUE(raw.IsValid());
  std::string frame = std::string("<START>>") + std::string(20, '\0') + std::string("\0\0\0\x05\0\0\0\x04", 8) + "hello";
  ASSERT_EQ(platform::SendAll(raw.Get(), frame.data(), frame.size()), frame.size());
  EXPECT_TRUE(Eventually([&] { return receiver.Errors().find("malformed frame") != std::string::npos; }));
  EXPECT_TRUE(Eventually([&] { return platform::PeerHasClosed(raw.Get()); }));

  Configure("ServerLocation=127.0.0.1\nServerPort=" + std::to_string(receiver.Port()) + "\n");
  TecHandlePtr handle = Open();
  std::string event = Event("FATAL", "Service Needed");
  TecSendEvent(handle.get(), event);
  ASSERT_TRUE(receiver.WaitForEvents(1));
  EXPECT_EQ(receiver.Events(), std::vector<std::string>{event});
}

TEST_F(TecEndToEndTest, ThePortComesFromTheLocalPortmapper) {
  test_support::RpcbindServer rpcbind;
  std::string why;
  if (!rpcbind.EnsureRunning(dir.Path("rpcbind.err"), &why)) GTEST_SKIP() << why;
  Receiver receiver(dir, "registered");
  ASSERT_TRUE(receiver.Start({"--portmapper"})) << receiver.Errors();
  std::uint16_t port = LookupTecPort(kLoopback);
  EXPECT_EQ((port >> 8 | port << 8) & 0xFFFF, receiver.Port());

  Configure("ServerLocation=127.0.0.1\nConnectionMode=co\n");
  TecHandlePtr handle = Open();
  ASSERT_TRUE(handle);
  EXPECT_FALSE(handle->portConfigured[0]);
  std::string event = Event("WARNING", "Offline");
  EXPECT_EQ(TecSendEvent(handle.get(), event), long(event.size()));
  ASSERT_TRUE(receiver.WaitForEvents(1));
  EXPECT_EQ(receiver.Events(), std::vector<std::string>{event});

  EXPECT_EQ(receiver.Stop(), 0) << receiver.Errors();
  EXPECT_EQ(LookupTecPort(kLoopback), 0);  // unregistered at exit
}

}  // namespace

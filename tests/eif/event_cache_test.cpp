#include <gtest/gtest.h>

#include <cerrno>

#include "eif/eif_config.h"
#include "eif/event_cache.h"
#include "eif/tec_frame.h"
#include "eif/tec_sender.h"
#include "eif_test_support.h"

namespace {

constexpr std::uint16_t kPort = 5529;

// n records of the given size, each ending with the end byte.
std::string Records(int n, std::size_t size, char fill = 'r') {
  std::string records;
  for (int i = 0; i < n; ++i) records += std::string(size - 1, static_cast<char>(fill + i % 10)) + '\x01';
  return records;
}

}  // namespace

class EventCacheTest : public testing::Test {
 protected:
  void Load(const std::string& keys) {
    LoadConfig(dir.Path("eif.conf"), "ServerLocation=server1\nServerPort=5529\nBufEvtPath=" + cache + "\n" + keys);
  }
  TecHandlePtr Open() { return TecHandlePtr(TecOpen("", 0, 0, TEC_CONNECTION_LESS, {&network, &clock})); }
  FakeServer& Server() { return network.Server(1, kPort); }

  ScratchDirectory dir;
  std::string cache = dir.Path("cache.dat");
  FakeNetwork network;
  FakeClock clock;
};

TEST_F(EventCacheTest, BufferingIsOnUnlessBufferEventsSaysOtherwise) {
  std::string event = MakeEvent("MINOR", "Toner Low");
  Load("");
  EXPECT_EQ(CacheEvent(event), static_cast<long>(event.size()));
  EXPECT_EQ(ReadFile(cache), event);
  for (const char* value : {"no", "Yes"}) {
    Load(std::string("BufferEvents=") + value + "\n");
    EXPECT_EQ(CacheEvent(event), CACHE_BUFFERING_OFF) << value;
  }
  Load("BufferEvents=YES\nFilterCache:severity=MINOR\n");
  EXPECT_EQ(CacheEvent(event), 0);
  EXPECT_EQ(ReadFile(cache), event);
  // An event without its end byte is stored with one, so that it stays a record of its own.
  EXPECT_EQ(CacheEvent("no end byte"), 11);
  EXPECT_EQ(ReadFile(cache), event + "no end byte\x01");
}

TEST_F(EventCacheTest, AFullFileLosesItsOldestRecordsCutAfterARecordEnd) {
  Load("");
  std::string old = Records(65, 1000);  // 65000 bytes
  WriteFile(cache, old);
  std::string event = MakeEvent("CRITICAL", "Paper Jam", 1000);
  EXPECT_EQ(CacheEvent(event), 1000);
  // From offset 8192 on, the next record end is the one closing the ninth record.
  EXPECT_EQ(ReadFile(cache), old.substr(9000) + event);

  Load("BufEvtMaxSize=4\n");
  WriteFile(cache, Records(5, 1000));
  EXPECT_EQ(CacheEvent(event), 1000);
  EXPECT_EQ(ReadFile(cache), event);  // smaller than the shrink amount: emptied

  Load("BufEvtMaxSize=8\nBufEvtShrinkSize=8\n");
  WriteFile(cache, Records(8, 1024));  // exactly the shrink amount: nothing to cut
  EXPECT_EQ(CacheEvent(event), CACHE_CANNOT_SHRINK);
  EXPECT_EQ(ReadFile(cache), Records(8, 1024));
}

TEST_F(EventCacheTest, AShrinkFindsTheRecordEndBeyondALongRecord) {
  Load("BufEvtMaxSize=16\nBufEvtShrinkSize=1\n");
  std::string longRecord = std::string(9000, 'L') + '\x01';
  std::string after = Records(3, 100, 'a');
  WriteFile(cache, Records(1, 500) + longRecord + after);
  std::string event = MakeEvent("MINOR", "Toner Low", 7000);
  EXPECT_EQ(CacheEvent(event), 7000);
  EXPECT_EQ(ReadFile(cache), after + event);

  // Runs of end bytes at the cut are skipped, and garbage full of them does no harm.
  WriteFile(cache, std::string(600, 'g') + std::string(20000, '\x01'));
  EXPECT_EQ(CacheEvent(event), 7000);
  EXPECT_EQ(ReadFile(cache), event);
}

TEST_F(EventCacheTest, ATornLastRecordIsDroppedBeforeAppending) {
  Load("");
  std::string first = MakeEvent("MINOR", "Toner Low");
  std::string event = MakeEvent("WARNING", "Offline");
  WriteFile(cache, first + "Korvane_Printer_Alert;source=Korv");
  EXPECT_EQ(CacheEvent(event), static_cast<long>(event.size()));
  EXPECT_EQ(ReadFile(cache), first + event);

  WriteFile(cache, std::string(100000, 'z'));  // garbage without any record end
  EXPECT_EQ(CacheEvent(event), static_cast<long>(event.size()));
  EXPECT_EQ(ReadFile(cache), event);
}

TEST_F(EventCacheTest, DirectoriesOfThePathAreCreated) {
  cache = dir.Path("a/b/c/cache.dat");
  Load("");
  std::string event = MakeEvent("MINOR", "Toner Low");
  EXPECT_EQ(CacheEvent(event), static_cast<long>(event.size()));
  EXPECT_EQ(ReadFile(cache), event);

  EXPECT_EQ(MakeDirectoryPath(dir.Path("x/y/z")), 0);
  EXPECT_EQ(MakeDirectoryPath(dir.Path("x/y/z")), 0);
  WriteFile(dir.Path("plain"), "file");
  EXPECT_EQ(MakeDirectoryPath(dir.Path("plain/sub")), -1);
  EXPECT_EQ(MakeDirectoryPath(dir.Path("plain/sub/deeper")), -1);
  EXPECT_EQ(MakeDirectoryPath(dir.Path("missing/sub/deeper")), 0);

  cache = dir.Path("plain/cache.dat");  // the parent exists, as a file
  Load("");
  EXPECT_EQ(CacheEvent(event), ENOTDIR);
}

TEST_F(EventCacheTest, AFlushSendsTheRecordsInOrderAndStopsAtTheFirstThatFails) {
  Load("");
  std::string one = MakeEvent("MINOR", "One"), two = MakeEvent("MINOR", "Two"), three = MakeEvent("MINOR", "Three");
  WriteFile(cache, one + two + three);
  TecHandlePtr handle = Open();
  ASSERT_TRUE(handle);
  EXPECT_EQ(FlushCache(handle.get()), 0);  // no server yet: the first record fails and all are kept
  EXPECT_EQ(ReadFile(cache), one + two + three);

  Server();
  EXPECT_EQ(FlushCache(handle.get()), 3);
  EXPECT_EQ(network.Events(1, kPort), (std::vector<std::string>{one, two, three}));
  EXPECT_EQ(ReadFile(cache), "");

  // The second record fails again while the file is at its limit: it and the
  // records behind it stay in their order, and nothing is lost.
  Load("BufEvtMaxSize=1\nBufEvtShrinkSize=1\n");
  WriteFile(cache, one + two + std::string(5, '\x01') + three + "torn tail");
  Server().bytes.clear();
  int sends = 0;
  struct FailSecond : TecNetwork {
    FakeNetwork& inner;
    int& sends;
    FailSecond(FakeNetwork& n, int& s) : inner(n), sends(s) {}
    std::optional<std::uint32_t> ResolveServer(const std::string& name) override { return inner.ResolveServer(name); }
    std::uint16_t LookupTecPort(std::uint32_t address) override { return inner.LookupTecPort(address); }
    std::unique_ptr<TecConnection> ConnectTcp(std::uint32_t address, std::uint16_t port) override {
      return ++sends == 2 ? nullptr : inner.ConnectTcp(address, port);
    }
  } failSecond(network, sends);
  TecHandlePtr failing(TecOpen("", 0, 0, TEC_CONNECTION_LESS, {&failSecond, &clock}));
  EXPECT_EQ(FlushCache(failing.get()), 1);
  EXPECT_EQ(network.Events(1, kPort), (std::vector<std::string>{one}));
  EXPECT_EQ(ReadFile(cache), two + std::string(5, '\x01') + three);
}

TEST_F(EventCacheTest, AConnectionOrientedFlushKeepsTheBackupLimitTheFilterAndTheOrder) {
  LoadConfig(dir.Path("eif.conf"), "ServerLocation=server1,server2\nServerPort=1,2\nConnectionMode=co\n"
                                   "RetryInterval=5\nFilter:severity=HARMLESS\nBufEvtPath=" + cache + "\n");
  std::vector<std::string> events;
  for (int i = 0; i < 100; ++i) events.push_back(MakeEvent(i % 10 == 3 ? "HARMLESS" : "MINOR", "Event " + std::to_string(i)));
  auto joined = [&](int from) {
    std::string text;
    for (int i = from; i < 100; ++i) text += events[i];
    return text;
  };
  auto delivered = [&](int from, int to) {
    std::vector<std::string> kept;
    for (int i = from; i < to; ++i)
      if (i % 10 != 3) kept.push_back(events[i]);
    return kept;
  };
  WriteFile(cache, joined(0));
  FakeServer& first = network.Server(1, 1);
  FakeServer& backup = network.Server(2, 2);
  first.accepting = false;
  TecHandlePtr handle(TecOpen("", 0, 0, TEC_MODE_FROM_CONFIG, {&network, &clock}));
  ASSERT_EQ(handle->currentServer, 1);
  first.accepting = true;
  // The backup takes 64 events; the retry wait then leads back to the first server.
  EXPECT_EQ(FlushCache(handle.get()), 90);
  EXPECT_EQ(network.Events(2, 2), delivered(0, 71));
  EXPECT_EQ(network.Events(1, 1), delivered(71, 100));
  EXPECT_EQ(clock.sleeps, (std::vector<std::int64_t>{5000}));
  EXPECT_EQ(ReadFile(cache), "");

  // The connection breaks inside the 21st frame and no server takes it again:
  // the 20 events sent whole are gone from the cache, the rest stay in order.
  WriteFile(cache, joined(0));
  first.bytes.clear();
  first.byteBudget = 10;
  for (const std::string& event : delivered(0, 22)) first.byteBudget += FRAME_HEADER_SIZE + event.size();
  backup.accepting = false;
  EXPECT_EQ(FlushCache(handle.get()), 20);
  EXPECT_EQ(network.Events(1, 1), delivered(0, 22));
  EXPECT_EQ(ReadFile(cache), joined(22));
}

TEST_F(EventCacheTest, ASendFlushesTheCacheFirstAndAFlushRatePacesIt) {
  Load("BufferFlushRate=2\n");
  WriteFile(cache, Records(5, 50));
  Server();
  TecHandlePtr handle = Open();
  std::string event = MakeEvent("FATAL", "Service Needed");
  EXPECT_EQ(TecSendEvent(handle.get(), event), static_cast<long>(event.size()));
  std::vector<std::string> events = network.Events(1, kPort);
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events[0], Records(1, 50, 'r'));
  EXPECT_EQ(events[4], Records(1, 50, 'r' + 4));
  EXPECT_EQ(events[5], event);
  EXPECT_EQ(clock.sleeps, (std::vector<std::int64_t>{60000, 60000}));
  EXPECT_EQ(ReadFile(cache), "");
}

TEST_F(EventCacheTest, RecordsLongerThanTheReadBlockAreSentWhole) {
  Load("BufEvtRdBlkLen=100\nBufferEvents=no\n");
  std::string records = Records(1, 40) + Records(1, 1000, 'a') + Records(1, 250, 'b') + Records(1, 99, 'c');
  WriteFile(cache, records);
  Server();
  TecHandlePtr handle = Open();
  EXPECT_EQ(FlushCache(handle.get()), 4);
  std::vector<std::string> events = network.Events(1, kPort);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[1], Records(1, 1000, 'a'));
  EXPECT_EQ(events[3], Records(1, 99, 'c'));
}

TEST_F(EventCacheTest, TrimRemovesTheFront) {
  WriteFile(cache, "0123456789");
  TrimCacheFront(cache, 4);
  EXPECT_EQ(ReadFile(cache), "456789");
  TrimCacheFront(cache, 100);
  EXPECT_EQ(ReadFile(cache), "");
  TrimCacheFront(dir.Path("absent"), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("absent")));
}

// The event cache of a real KorEventSvc killed with SIGKILL at random moments
// while it caches and shrinks: no TEC server takes the events, the cache
// holds a few records only, and each start adds more. After the last kill the
// cache file must hold whole records that the service composed, and a start
// with a server listening must deliver each of them intact. Killed while it
// flushes a large cache, each restart goes on where the flush had got to.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"
#include "platform/child_process.h"
#include "platform/file_io.h"
#include "platform/posix/notify_socket.h"
#include "tests/eif/cache_invariant.h"

namespace {

using namespace e2e;
using namespace std::chrono_literals;

constexpr int kTrials = 40;
constexpr const char* kEventClass = "Korvane_Printer_Alert;";

constexpr std::size_t kEventsPerStart = 5;

// One printer whose first report brings five alerts, so that each start
// composes five events in one order.
std::string Fleet(const std::string& model) {
  return "[Printer Reception]\nId = 1\nMac = 0020004A1B0C\nProtocols = 0x2\nAdapter = 129\nIp = 127.0.0.1\n"
         "Classes = 0x2\nClass = 1\nModel = " +
         model +
         "\nInputs = 1:Upper Tray;2:Lower Tray\nOutputs = 1:Top Bin\n"
         "Paper Jam = 05:010001,010002\nPrinter Supplies = 0A:500001,0B0100\nInput = 03:0A0100\n";
}

// Polls every millisecond, as the caching of one start takes a few only.
template <class Condition>
bool SoonAfter(Condition condition) {
  for (auto end = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(1ms))
    if (condition()) return true;
  return false;
}

std::string ModelOf(int run) { return "Korvane LaserLine Run " + std::to_string(run); }

// The same events with another printer model.
std::vector<std::string> WithModel(const std::vector<std::string>& events, const std::string& from,
                                   const std::string& to) {
  std::vector<std::string> renamed;
  for (std::string event : events) {
    const std::string field = ";printer_model='" + from + "';";
    const std::size_t at = event.find(field);
    if (at != std::string::npos) event.replace(at, field.size(), ";printer_model='" + to + "';");
    renamed.push_back(event);
  }
  return renamed;
}

class CacheKillEndToEndTest : public testing::Test {
 protected:
  // Settings that watch every category, send to the server on port and keep
  // at most a kilobyte of events, cutting one record per shrink.
  void WriteSettings(std::uint16_t port, const std::string& moreKeys = "") {
    const std::filesystem::path folder = dir_.Root() / "root/etc/korevnts";
    std::filesystem::create_directories(folder);
    WriteFile((folder / "KorEvntS.ini").string(),
              "[Tivoli Adapter Configuration File]\nServerLocation=127.0.0.1\nServerPort=" + std::to_string(port) +
                  "\nBufEvtPath=" + CachePath() +
                  "\nBufEvtMaxSize=1\nBufEvtShrinkSize=0\nRetryInterval=1\n" + moreKeys + "\n"
                  "[Printers To Be Enumerated]\nAll NetWare Printers=No\nAll TCP/IP Printers=Yes\n"
                  "All DLC Printers=No\nAll Local Printers=No\n\n"
                  "[Printer Alerts To Be Monitored]\nInput=Yes\nOutput=Yes\nPaper Jam=Yes\nPrinter Supplies=Yes\n"
                  "Operator Intervention Required=Yes\nPrinter Warnings=Yes\nDevice Needs Service=Yes\n"
                  "Configuration Change=Yes\nOffline=Yes\nCheck Printer Communication In How Many Seconds ?=16\n\n"
                  "[Enumeration]\nEnumerate Only Defined Ports=No\nLook For New Printers In How Many Hours ?=24\n");
  }

  static void WriteFile(const std::string& path, const std::string& content) {
    ASSERT_TRUE(platform::WriteFileAtomically(path, content).ok()) << path;
  }

  // Starts KorEventSvc as systemd would, with a notify socket of its own.
  void StartService(platform::ChildProcess& service, platform::NotifySocket& notify, const std::string& model) {
    WriteFile(dir_.Path("fleet.ini"), Fleet(model));
    ASSERT_TRUE(notify.Open());
    platform::ChildSetup setup;
    setup.outputPath = dir_.Path("service.out");
    setup.errorPath = dir_.Path("service.err");
    setup.environment = {{"KOREVNTS_ROOT", (dir_.Root() / "root").string()},
                         {"KORBCE_FLEET", dir_.Path("fleet.ini")},
                         {"NOTIFY_SOCKET", notify.Address()}};
    ASSERT_TRUE(service.Start(kBinDir + "/KorEventSvc", {}, setup));
  }

  std::string CachePath() const { return dir_.Path("cache.dat"); }
  bool CacheHolds(const std::string& record) const { return ReadText(CachePath()).find(record) != std::string::npos; }
  bool CacheHoldsAny(const std::vector<std::string>& records) const {
    const std::string cache = ReadText(CachePath());
    return std::any_of(records.begin(), records.end(),
                       [&](const std::string& record) { return cache.find(record) != std::string::npos; });
  }

  ScratchDirectory dir_{"cache-kill-e2e"};
};

TEST_F(CacheKillEndToEndTest, KillsDuringShrinkingLeaveWholeRecordsThatARestartDelivers) {
  // A first run with the server up tells the events of one start, in order.
  Receiver first(dir_, "first");
  ASSERT_TRUE(first.Start({})) << first.Errors();
  WriteSettings(first.Port());
  std::vector<std::string> oneStart;
  {
    platform::ChildProcess service;
    platform::NotifySocket notify;
    StartService(service, notify, ModelOf(0));
    ASSERT_TRUE(first.WaitForEvents(kEventsPerStart)) << testing::PrintToString(first.Events());
    std::this_thread::sleep_for(300ms);
    oneStart = first.Events();
    EXPECT_EQ(service.Stop(5000), 0);
  }
  ASSERT_EQ(oneStart.size(), kEventsPerStart);
  ASSERT_EQ(std::set<std::string>(oneStart.begin(), oneStart.end()).size(), kEventsPerStart);
  std::filesystem::remove(CachePath());

  // The kills: nothing takes the events, so each start caches its five, and
  // past a kilobyte every append cuts the oldest record first. A first start
  // that is not killed tells how long a start takes to cache its events; each
  // kill comes at a random moment of that span.
  Receiver refusing(dir_, "refusing");
  ASSERT_TRUE(refusing.Start({"--refuse"})) << refusing.Errors();
  WriteSettings(refusing.Port());
  std::vector<std::string> composed;  // every event any start may have composed, in order
  std::chrono::milliseconds cachingTime{};
  {
    const std::vector<std::string> events = WithModel(oneStart, ModelOf(0), ModelOf(1));
    composed.insert(composed.end(), events.begin(), events.end());
    platform::ChildProcess service;
    platform::NotifySocket notify;
    StartService(service, notify, ModelOf(1));
    ASSERT_TRUE(SoonAfter([&] { return CacheHoldsAny(events); })) << ReadText(CachePath());
    const auto firstCached = std::chrono::steady_clock::now();
    ASSERT_TRUE(SoonAfter([&] { return CacheHolds(events.back()); }));
    cachingTime = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - firstCached);
    EXPECT_EQ(service.Stop(5000), 0);
  }
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("random seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> killAfterMs(0, static_cast<int>(cachingTime.count() * 5 / 4) + 5);
  int killedWhileCaching = 0;
  for (int trial = 2; trial <= kTrials + 1; ++trial) {
    const std::vector<std::string> events = WithModel(oneStart, ModelOf(0), ModelOf(trial));
    composed.insert(composed.end(), events.begin(), events.end());
    platform::ChildProcess service;
    platform::NotifySocket notify;
    StartService(service, notify, ModelOf(trial));
    // The first event reaches the cache soon after the start; the kill falls
    // between that moment and a little after the last one.
    ASSERT_TRUE(SoonAfter([&] { return CacheHoldsAny(events) || !service.IsRunning(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(killAfterMs(random)));
    ASSERT_TRUE(service.Kill() || !service.IsRunning());
    ASSERT_TRUE(service.Wait(5000).has_value());
    if (!CacheHolds(events.back())) ++killedWhileCaching;
  }
  EXPECT_GT(killedWhileCaching, 0) << "no kill fell into the caching";
  ASSERT_TRUE(refusing.Stop());

  const std::string cache = ReadText(CachePath());
  CacheInvariantRules rules;
  rules.mayBeLost = [](const std::string&) { return true; };  // dropped by the size limit or never composed
  rules.tornTailAllowed = true;
  const CacheInvariantResult checked = CheckCacheInvariant(cache, composed, rules);
  ASSERT_TRUE(checked.ok()) << checked.failure;
  ASSERT_FALSE(checked.records.empty()) << "no kill left anything cached";

  // A start with the server listening sends its own events, then the cache.
  Receiver back(dir_, "back");
  ASSERT_TRUE(back.Start({})) << back.Errors();
  WriteSettings(back.Port());
  const std::vector<std::string> lastStart = WithModel(oneStart, ModelOf(0), ModelOf(kTrials + 2));
  composed.insert(composed.end(), lastStart.begin(), lastStart.end());
  platform::ChildProcess service;
  platform::NotifySocket notify;
  StartService(service, notify, ModelOf(kTrials + 2));
  ASSERT_TRUE(back.WaitForEvents(lastStart.size() + checked.records.size())) << ReadText(dir_.Path("service.err"));
  ASSERT_TRUE(Eventually([&] { return ReadText(CachePath()).empty(); })) << ReadText(CachePath());
  EXPECT_EQ(service.Stop(5000), 0);

  const std::vector<std::string> delivered = back.Events();
  const std::set<std::string> known(composed.begin(), composed.end());
  for (const std::string& event : delivered) {
    EXPECT_EQ(event.rfind(kEventClass, 0), 0u) << event;
    EXPECT_EQ(known.count(event), 1u) << "delivered an event never composed: " << event;
  }
  for (const std::string& record : checked.records)
    EXPECT_NE(std::find(delivered.begin(), delivered.end(), record), delivered.end()) << "not delivered: " << record;
  for (const std::string& event : lastStart)
    EXPECT_NE(std::find(delivered.begin(), delivered.end(), event), delivered.end()) << "not delivered: " << event;
}

TEST_F(CacheKillEndToEndTest, KillsDuringAFlushSendAgainAtMostOneReadBlockEach) {
  // A cache of records no start composes, flushed in blocks of 4 KB to a
  // server that takes everything; each kill falls soon after the flush has
  // recorded its first block.
  constexpr int kRecords = 30000, kKills = 5;
  constexpr std::size_t kReadBlock = 4096;
  Receiver receiver(dir_, "flush");
  ASSERT_TRUE(receiver.Start({})) << receiver.Errors();
  WriteSettings(receiver.Port(), "BufEvtRdBlkLen=" + std::to_string(kReadBlock) + "\n");
  std::vector<std::string> cached;
  std::string file;
  for (int i = 0; i < kRecords; ++i) {
    cached.push_back(std::string(kEventClass) + "source=Korvane_Printers;severity=MINOR;msg='Cached record " +
                     std::to_string(i) + "';END\n\x01");
    file += cached.back();
  }
  WriteFile(CachePath(), file);
  const std::string progress = CachePath() + ".progress";

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("random seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> killAfterMs(0, 60);
  int killedWhileFlushing = 0;
  for (int kill = 1; kill <= kKills && !ReadText(CachePath()).empty(); ++kill) {
    platform::ChildProcess service;
    platform::NotifySocket notify;
    StartService(service, notify, "Korvane LaserLine Flush " + std::to_string(kill));
    SoonAfter([&] { return std::filesystem::exists(progress) || !service.IsRunning(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(killAfterMs(random)));
    ASSERT_TRUE(service.Kill() || !service.IsRunning());
    ASSERT_TRUE(service.Wait(5000).has_value());
    if (std::filesystem::exists(progress)) ++killedWhileFlushing;
  }
  EXPECT_GT(killedWhileFlushing, 0) << "no kill fell into the flush";
  {
    platform::ChildProcess service;
    platform::NotifySocket notify;
    StartService(service, notify, "Korvane LaserLine Flush end");
    ASSERT_TRUE(Eventually([&] { return ReadText(CachePath()).empty(); }, 60s)) << ReadText(dir_.Path("service.err"));
    EXPECT_EQ(service.Stop(5000), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(progress));
  EXPECT_FALSE(std::filesystem::exists(CachePath() + ".shortened"));

  // Every record arrived whole, and each kill sent again at most the records
  // of one block.
  std::map<std::string, int> times;
  for (const std::string& event : receiver.Events()) {
    EXPECT_EQ(event.rfind(kEventClass, 0), 0u) << event;
    ++times[event];
  }
  std::size_t again = 0;
  for (const std::string& record : cached) {
    EXPECT_GE(times[record], 1) << "not delivered: " << record;
    again += static_cast<std::size_t>(std::max(times[record] - 1, 0));
  }
  EXPECT_LE(again, killedWhileFlushing * (kReadBlock / cached.front().size() + 1));
}

}  // namespace

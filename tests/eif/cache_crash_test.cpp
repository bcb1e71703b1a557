// The cache under crashes: each operation runs over a file layer that stops
// for good after its k-th write, truncate, rename or sync, for every k, and
// what is left must keep the cache invariant for the readers of the next start.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "cache_invariant.h"
#include "eif/eif_config.h"
#include "eif/event_cache.h"
#include "eif/tec_sender.h"
#include "eif_test_support.h"
#include "platform/file_change_gate.h"

namespace {

using platform::FileOperation;

constexpr std::uint16_t kPort = 5529;

// Lets the first changes through, then stops every operation, as a process
// killed at that point would.
class CrashingFileLayer final : public platform::FileChangeGate {
 public:
  CrashingFileLayer(int changesBeforeCrash, std::function<void()> onCrash)
      : changesLeft_(changesBeforeCrash), onCrash_(std::move(onCrash)) {
    platform::SetFileChangeGate(this);
  }
  ~CrashingFileLayer() override { platform::SetFileChangeGate(nullptr); }

  bool Allow(FileOperation operation) override {
    if (crashed) return false;
    if (operation == FileOperation::Open || operation == FileOperation::Read) return true;
    if (changesLeft_-- > 0) return true;
    crashed = true;
    if (onCrash_) onCrash_();
    return false;
  }
  bool crashed = false;

 private:
  int changesLeft_;
  std::function<void()> onCrash_;
};

// Every second connection fails, so that a flush stops at its second record.
class EverySecondConnectFails final : public TecNetwork {
 public:
  explicit EverySecondConnectFails(FakeNetwork& inner) : inner_(inner) {}
  std::optional<std::uint32_t> ResolveServer(const std::string& name) override { return inner_.ResolveServer(name); }
  std::uint16_t LookupTecPort(std::uint32_t address) override { return inner_.LookupTecPort(address); }
  std::unique_ptr<TecConnection> ConnectTcp(std::uint32_t address, std::uint16_t port) override {
    return ++connects_ % 2 == 0 ? nullptr : inner_.ConnectTcp(address, port);
  }

 private:
  FakeNetwork& inner_;
  int connects_ = 0;
};

std::vector<std::string> NumberedRecords(int count, std::size_t size) {
  std::vector<std::string> records;
  for (int i = 0; i < count; ++i) records.push_back(MakeEvent("MINOR", "Record " + std::to_string(i), size));
  return records;
}

std::string Joined(const std::vector<std::string>& records) {
  std::string joined;
  for (const std::string& record : records) joined += record;
  return joined;
}

bool Contains(const std::vector<std::string>& records, const std::string& record) {
  return std::find(records.begin(), records.end(), record) != records.end();
}

std::size_t CountShared(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  const std::set<std::string> inB(b.begin(), b.end());
  return static_cast<std::size_t>(std::count_if(a.begin(), a.end(), [&](const std::string& r) { return inB.count(r); }));
}

}  // namespace

class CacheCrashTest : public testing::Test {
 protected:
  // A fresh cache file for each crash point, so that nothing of one run is
  // remembered in the next.
  void StartTrial(int k, const std::string& keys, const std::vector<std::string>& initial) {
    cache = dir.Path("cache-" + std::to_string(k) + ".dat");
    LoadConfig(dir.Path("eif.conf"), "ServerLocation=server1\nServerPort=5529\nBufEvtPath=" + cache + "\n" + keys);
    WriteFile(cache, Joined(initial));
    Server() = FakeServer{};
  }
  FakeServer& Server() { return network.Server(1, kPort); }
  TecHandlePtr Open(TecNetwork& through) { return TecHandlePtr(TecOpen("", 0, 0, TEC_CONNECTION_LESS, {&through, &clock})); }
  void StopServer() {
    Server().accepting = false;
    Server().failSends = true;
  }

  // The next start: the invariant holds on the file, and a flush to a server
  // that takes everything sends exactly its whole records and empties it,
  // leaving nothing beside it. A flush cut short goes on after the records it
  // recorded as delivered: only those that sentBefore names may be skipped,
  // and only at the front.
  std::vector<std::string> CheckAndRecover(int k, const std::vector<std::string>& appended,
                                           const CacheInvariantRules& rules,
                                           const std::function<bool(const std::string&)>& sentBefore = {}) {
    CacheInvariantResult left = CheckCacheInvariant(ReadFile(cache), appended, rules);
    EXPECT_TRUE(left.ok()) << "crash after change " << k << ": " << left.failure;
    Server() = FakeServer{};
    TecHandlePtr handle = Open(network);
    const long flushed = FlushCache(handle.get());
    std::vector<std::string> delivered = network.Events(1, kPort);
    EXPECT_EQ(flushed, static_cast<long>(delivered.size())) << "crash after change " << k;
    std::size_t skipped = left.records.size() - std::min(delivered.size(), left.records.size());
    for (std::size_t i = 0; i < skipped; ++i)
      EXPECT_TRUE(sentBefore && sentBefore(left.records[i])) << "crash after change " << k << ": skipped " << i;
    EXPECT_TRUE(std::equal(delivered.begin(), delivered.end(), left.records.begin() + skipped, left.records.end()))
        << "crash after change " << k;
    EXPECT_EQ(ReadFile(cache), "") << "crash after change " << k;
    for (const char* beside : {".progress", ".shortened"})
      EXPECT_FALSE(std::filesystem::exists(cache + beside)) << beside << " after change " << k;
    return delivered;
  }

  // Runs operation with a crash after each number of changes in turn, until
  // one run ends before its crash point; check looks at each crashed run.
  void ForEveryCrashPoint(const std::function<void(int k)>& prepare, const std::function<void()>& operation,
                          const std::function<void(int k)>& check) {
    for (int k = 0;; ++k) {
      ASSERT_LT(k, 5000) << "the operation never ends";
      prepare(k);
      bool crashed;
      {
        CrashingFileLayer layer(k, [this] { StopServer(); });
        operation();
        crashed = layer.crashed;
      }
      if (!crashed) return;
      check(k);
      if (HasFailure()) return;
    }
  }

  ScratchDirectory dir;
  std::string cache;
  FakeNetwork network;
  FakeClock clock;
};

TEST_F(CacheCrashTest, TheCheckerCatchesTornGluedLostAndReorderedRecords) {
  const std::vector<std::string> appended = NumberedRecords(3, 0);
  const std::string& a = appended[0];
  const std::string& b = appended[1];
  const std::string& c = appended[2];
  EXPECT_TRUE(CheckCacheInvariant(a + b + c, appended).ok());
  EXPECT_EQ(CheckCacheInvariant(a + b + c, appended).records, appended);
  EXPECT_FALSE(CheckCacheInvariant(a + c.substr(5), appended).ok());                // torn at the head
  EXPECT_FALSE(CheckCacheInvariant(a + b.substr(0, b.size() - 1) + c, appended).ok());  // glued
  EXPECT_FALSE(CheckCacheInvariant(a + c, appended).ok());                           // lost
  EXPECT_FALSE(CheckCacheInvariant(b + a + c, appended).ok());                       // out of order
  EXPECT_FALSE(CheckCacheInvariant(a + a + b + c, appended).ok());                   // repeated
  EXPECT_FALSE(CheckCacheInvariant(a + b + c.substr(0, 9), appended).ok());          // torn tail
  CacheInvariantRules rules;
  rules.tornTailAllowed = true;
  rules.mayBeLost = [&](const std::string& record) { return record == a; };
  CacheInvariantResult torn = CheckCacheInvariant(b + c.substr(0, 9), appended, rules);
  EXPECT_TRUE(torn.ok()) << torn.failure;
  EXPECT_EQ(torn.tornTail, c.substr(0, 9));
  EXPECT_FALSE(CheckCacheInvariant(b + "garbage", appended, rules).ok());
}

TEST_F(CacheCrashTest, AnAppendCutShortLosesOnlyTheNewRecord) {
  const std::vector<std::string> initial = NumberedRecords(5, 300);
  // An event without its end byte is written in two steps.
  for (const std::string& event : {MakeEvent("CRITICAL", "Paper Jam", 400), std::string(250, 'n')}) {
    std::string stored = event.back() == CACHE_RECORD_END ? event : event + CACHE_RECORD_END;
    std::vector<std::string> appended = initial;
    appended.push_back(stored);
    CacheInvariantRules rules{[&](const std::string& record) { return record == stored; }, true};
    ForEveryCrashPoint([&](int k) { StartTrial(k, "", initial); }, [&] { CacheEvent(event); },
                       [&](int k) { CheckAndRecover(k, appended, rules); });
  }
}

TEST_F(CacheCrashTest, AShrinkCutShortKeepsWholeRecords) {
  struct Shrink {
    const char* keys;
    int records;
    std::size_t size;
    int cut;  // records that the shrink removes
  };
  // A cut of one long record, and a long cut through many short ones.
  for (const Shrink& shrink : {Shrink{"BufEvtMaxSize=20\nBufEvtShrinkSize=1\n", 10, 2000, 1},
                               Shrink{"BufEvtMaxSize=20\nBufEvtShrinkSize=8\n", 80, 250, 33}}) {
    const std::vector<std::string> initial = NumberedRecords(shrink.records, shrink.size);
    const std::string event = MakeEvent("CRITICAL", "Paper Jam", 1000);
    std::vector<std::string> appended = initial;
    appended.push_back(event);
    const std::vector<std::string> cutAway(initial.begin(), initial.begin() + shrink.cut);
    CacheInvariantRules rules{[&](const std::string& r) { return r == event || Contains(cutAway, r); }, true};
    ForEveryCrashPoint([&](int k) { StartTrial(k, shrink.keys, initial); }, [&] { CacheEvent(event); },
                       [&](int k) { CheckAndRecover(k, appended, rules); });
    // Uninterrupted, the shrink removes exactly the cut records.
    std::vector<std::string> kept(initial.begin() + shrink.cut, initial.end());
    kept.push_back(event);
    EXPECT_TRUE(ReadFile(cache) == Joined(kept)) << shrink.keys;
  }
}

TEST_F(CacheCrashTest, ATrimCutShortLeavesTheFileWholeOrTrimmed) {
  const std::vector<std::string> initial = NumberedRecords(400, 300);  // more than one copy block
  const std::vector<std::string> trimmed(initial.begin(), initial.begin() + 7);
  CacheInvariantRules rules{[&](const std::string& r) { return Contains(trimmed, r); }, false};
  ForEveryCrashPoint([&](int k) { StartTrial(k, "", initial); }, [&] { TrimCacheFront(cache, 7 * 300); },
                     [&](int k) {
                       std::string left = ReadFile(cache);
                       EXPECT_TRUE(left == Joined(initial) || left == Joined(initial).substr(7 * 300)) << k;
                       CheckAndRecover(k, initial, rules);
                     });
  EXPECT_EQ(ReadFile(cache), Joined(initial).substr(7 * 300));
}

TEST_F(CacheCrashTest, AFlushCutShortSendsAgainAtMostTheBlockItWasSending) {
  // Blocks of 500 bytes hold two records of 200. At every second crash point
  // the next start caches an event before it flushes.
  const std::vector<std::string> initial = NumberedRecords(30, 200);
  const std::string late = MakeEvent("CRITICAL", "Cached after the restart", 300);
  constexpr std::size_t kRecordsPerBlock = 2;
  for (bool everySecondFails : {false, true}) {
    std::vector<std::string> appended = initial;
    appended.push_back(late);
    std::vector<std::string> sentBeforeCrash;
    auto wasSent = [&](const std::string& r) { return Contains(sentBeforeCrash, r); };
    CacheInvariantRules rules{[&](const std::string& r) { return wasSent(r) || r == late; }, false};
    EverySecondConnectFails failing(network);
    long flushed = 0;
    ForEveryCrashPoint([&](int k) { StartTrial(k, "BufEvtRdBlkLen=500\n", initial); },
                       [&] {
                         TecHandlePtr handle = everySecondFails ? Open(failing) : Open(network);
                         flushed = FlushCache(handle.get());
                       },
                       [&](int k) {
                         sentBeforeCrash = network.Events(1, kPort);
                         const bool cachesFirst = k % 2 == 1;
                         if (cachesFirst) {
                           EXPECT_EQ(CacheEvent(late), static_cast<long>(late.size())) << k;
                         }
                         std::vector<std::string> sentAfter = CheckAndRecover(k, appended, rules, wasSent);
                         EXPECT_LE(CountShared(sentBeforeCrash, sentAfter), kRecordsPerBlock) << "crash after " << k;
                         for (const std::string& record : initial) {
                           EXPECT_TRUE(Contains(sentBeforeCrash, record) || Contains(sentAfter, record)) << k;
                         }
                         EXPECT_EQ(Contains(sentAfter, late), cachesFirst) << k;
                       });
    // Uninterrupted: every record once, or the first one and then the rest
    // kept from the one that failed on.
    std::vector<std::string> expectedKept;
    if (everySecondFails) expectedKept.assign(initial.begin() + 1, initial.end());
    EXPECT_EQ(flushed, static_cast<long>(initial.size() - expectedKept.size()));
    EXPECT_EQ(ReadFile(cache), Joined(expectedKept)) << everySecondFails;
  }
}

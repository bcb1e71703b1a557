// The event buffer cache over an arbitrary existing file, then a script of
// cachings (with shrinks), flushes and deliveries against a sender whose
// every connection the input accepts or refuses. After every operation the
// file must be a sequence of whole records, each byte-identical to a record of
// the first file or to an event that was cached; a flush delivers or keeps
// every record it found, none twice.

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "eif/eif_config.h"
#include "eif/event_cache.h"
#include "eif/tec_frame.h"
#include "eif/tec_sender.h"
#include "fuzz_support.h"

namespace {

using Records = std::vector<std::string>;

constexpr int kMaxOperations = 32;

// The pieces of content each ending with a record end byte; a torn tail is left out.
Records SplitRecords(std::string_view content) {
  Records records;
  for (std::size_t start = 0; start < content.size();) {
    const std::size_t end = content.find(CACHE_RECORD_END, start);
    if (end == std::string_view::npos) break;
    records.emplace_back(content.substr(start, end + 1 - start));
    start = end + 1;
  }
  return records;
}

// The records a flush hands to the sender: empty ones are skipped.
std::multiset<std::string> SentRecords(const Records& records) {
  std::multiset<std::string> sent;
  for (const std::string& record : records)
    if (record.size() > 1) sent.insert(record);
  return sent;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ScriptedClock final : public EifClock {
 public:
  std::int64_t NowMilliseconds() override { return now_; }
  void Sleep(std::int64_t milliseconds) override { now_ += milliseconds; }

 private:
  std::int64_t now_ = 0;
};

// A server that takes or refuses each connection as the input says, and
// keeps the text of every frame it is sent.
class ScriptedNetwork final : public TecNetwork {
 public:
  explicit ScriptedNetwork(FuzzInput& script) : script_(script) {}

  std::optional<std::uint32_t> ResolveServer(const std::string&) override { return 0x0100007F; }
  std::uint16_t LookupTecPort(std::uint32_t) override { return 0; }
  std::unique_ptr<TecConnection> ConnectTcp(std::uint32_t, std::uint16_t) override {
    const std::uint8_t decision = script_.Byte();
    if ((decision & 1) == 0) return nullptr;
    return std::make_unique<Connection>(*this, (decision & 2) != 0);
  }
  Records TakeDelivered() { return std::exchange(delivered_, {}); }

 private:
  class Connection final : public TecConnection {
   public:
    Connection(ScriptedNetwork& network, bool failing) : network_(network), failing_(failing) {}
    ~Connection() override {
      // The frame is whole once the connection closes after a successful send.
      if (!failing_ && bytes_.size() >= FRAME_HEADER_SIZE) network_.delivered_.push_back(bytes_.substr(FRAME_HEADER_SIZE));
    }
    std::size_t SendAll(const void* data, std::size_t length) override {
      if (failing_) return 0;
      bytes_.append(static_cast<const char*>(data), length);
      return length;
    }
    bool PeerHasClosed() override { return false; }

   private:
    ScriptedNetwork& network_;
    bool failing_;
    std::string bytes_;
  };

  FuzzInput& script_;
  Records delivered_;
};

class CacheScript {
 public:
  CacheScript(const std::uint8_t* data, std::size_t size) : input_(data, size), network_(input_) {}

  void Run() {
    static int inputs = 0;
    const std::string cachePath = (FuzzScratchDirectory() / ("cache-" + std::to_string(++inputs) + ".dat")).string();
    WriteConfiguration(cachePath);
    const std::string_view existing = input_.LongPiece();
    WriteScratchFile(cachePath.substr(cachePath.rfind('/') + 1), existing);
    for (const std::string& record : SplitRecords(existing)) known_.insert(record);
    path_ = cachePath;

    TecHandlePtr handle(TecOpen("", 0, 0, TEC_CONNECTION_LESS, {&network_, &clock_}));
    FUZZ_CHECK(handle != nullptr);
    for (int operation = 0; operation < kMaxOperations && !input_.Empty(); ++operation) {
      switch (input_.Byte() % 3) {
        case 0: Cache(); break;
        case 1: Flush(*handle); break;
        case 2: Send(*handle); break;
      }
      CheckWholeRecords();
    }
    std::filesystem::remove(cachePath);
  }

 private:
  void WriteConfiguration(const std::string& cachePath) {
    const std::string config = "ServerLocation=tec\nServerPort=5529\nBufEvtPath=" + cachePath +
                               "\nBufEvtMaxSize=" + std::to_string(1 + input_.Byte() % 4) +
                               "\nBufEvtShrinkSize=" + std::to_string(input_.Byte() % 4) +
                               "\nBufEvtRdBlkLen=" + std::to_string(1 + input_.Byte() * 4) +
                               "\nBufferFlushRate=" + std::to_string(input_.Byte() % 4) + "\n";
    FUZZ_CHECK(EifReadConfig(WriteScratchFile("cache.conf", config)) == EIF_CONFIG_OK);
  }

  // An event text: end bytes only at its end, where the input puts one or not.
  std::string NextEvent() {
    std::string text(input_.Piece());
    std::erase(text, CACHE_RECORD_END);
    if (input_.Byte() & 1) text += CACHE_RECORD_END;
    known_.insert(text.ends_with(CACHE_RECORD_END) ? text : text + CACHE_RECORD_END);
    return text;
  }

  void Cache() {
    const std::string text = NextEvent();
    const long result = CacheEvent(text);
    if (result == static_cast<long>(text.size())) {
      const std::string record = text.ends_with(CACHE_RECORD_END) ? text : text + CACHE_RECORD_END;
      FUZZ_CHECK(ReadFile(path_).ends_with(record));
    }
  }

  void Flush(TecHandle& handle) {
    const std::multiset<std::string> before = SentRecords(SplitRecords(ReadFile(path_)));
    const long resent = FlushCache(&handle);
    const Records delivered = network_.TakeDelivered();
    if (resent < 0 || resent > static_cast<long>(before.size())) {
      // A system error: the file is as it was.
      FUZZ_CHECK(SentRecords(SplitRecords(ReadFile(path_))) == before);
      return;
    }
    FUZZ_CHECK(static_cast<std::size_t>(resent) == delivered.size());
    std::multiset<std::string> after = SentRecords(SplitRecords(ReadFile(path_)));
    after.insert(delivered.begin(), delivered.end());
    FUZZ_CHECK(after == before);
  }

  void Send(TecHandle& handle) {
    TecSendEvent(&handle, NextEvent());
    network_.TakeDelivered();
  }

  void CheckWholeRecords() {
    const std::string content = ReadFile(path_);
    FUZZ_CHECK(content.empty() || content.back() == CACHE_RECORD_END);
    for (const std::string& record : SplitRecords(content)) FUZZ_CHECK(known_.count(record) == 1);
  }

  FuzzInput input_;
  ScriptedNetwork network_;
  ScriptedClock clock_;
  std::string path_;
  std::set<std::string> known_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CacheScript(data, size).Run();
  return 0;
}

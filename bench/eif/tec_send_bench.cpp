// Events per second through TecSendEvent to tec-receiver on loopback, beside
// a raw loop sending the same frames on one socket, and the flush of a cache of 10 and of 100 MB.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "common/ipv4_text.h"
#include "eif/eif_config.h"
#include "eif/event_cache.h"
#include "eif/tec_frame.h"
#include "eif/tec_sender.h"
#include "platform/child_process.h"
#include "platform/tcp_socket.h"

namespace {

const std::filesystem::path kScratch = std::filesystem::temp_directory_path() / "eif-bench";

std::string Event() {
  return "Korvane_Printer_Alert;source=Korvane_Printers;severity=CRITICAL;msg='Paper Jam';"
         "printer_address='0001E6A1B2C3';printer_model='LaserJet 4000';origin='10.1.1.5';hostname='prt5.example';"
         "port_attachment='';adapter_product='JetDirect';END\n\x01";
}

// One tec-receiver for the whole run, writing to /dev/null.
class ReceiverProcess {
 public:
  ReceiverProcess() {
    std::filesystem::create_directories(kScratch);
    std::string portFile = (kScratch / "port").string();
    std::filesystem::remove(portFile);
    process_.Start(std::string(KOR_BIN_DIR) + "/tec-receiver",
                   {"--address", "127.0.0.1", "--output", "/dev/null", "--port-file", portFile});
    for (int i = 0; i < 500 && !std::filesystem::exists(portFile); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream(portFile) >> port_;
  }
  unsigned Port() const { return port_; }

 private:
  platform::ChildProcess process_;
  unsigned port_ = 0;
};

ReceiverProcess& Receiver() {
  static ReceiverProcess receiver;
  return receiver;
}

void Configure(const std::string& keys) {
  std::string path = (kScratch / "eif.conf").string();
  std::ofstream(path) << "ServerLocation=127.0.0.1\nServerPort=" << Receiver().Port()
                      << "\nBufEvtPath=" << (kScratch / "cache.dat").string() << "\n" << keys;
  EifReadConfig(path);
}

void BM_RawFrameLoop(benchmark::State& state) {
  std::string event = Event();
  char header[FRAME_HEADER_SIZE];
  BuildFrameHeader(static_cast<std::uint32_t>(event.size()), header);
  std::string frame = std::string(header, FRAME_HEADER_SIZE) + event;
  std::uint16_t port = static_cast<std::uint16_t>(((Receiver().Port() & 0xFF) << 8) | (Receiver().Port() >> 8));
  platform::UniqueSocket socket = platform::ConnectTcp4(*common::ParseIPv4NetworkOrder("127.0.0.1"), port);
  for (auto _ : state)
    if (platform::SendAll(socket.Get(), frame.data(), frame.size()) != frame.size()) state.SkipWithError("send failed");
  state.SetItemsProcessed(state.iterations());
}

void SendThroughTec(benchmark::State& state, const char* mode) {
  Configure(std::string("ConnectionMode=") + mode + "\n");
  std::filesystem::remove(kScratch / "cache.dat");
  TecHandlePtr handle(TecOpen("", 0, 0, TEC_MODE_FROM_CONFIG));
  std::string event = Event();
  for (auto _ : state)
    if (TecSendEvent(handle.get(), event) != static_cast<long>(event.size())) state.SkipWithError("send failed");
  state.SetItemsProcessed(state.iterations());
  std::error_code absent;
  if (std::filesystem::file_size(kScratch / "cache.dat", absent) > 0 && !absent) state.SkipWithError("events were cached");
}

void BM_TecSendEvent_ConnectionOriented(benchmark::State& state) { SendThroughTec(state, "co"); }
void BM_TecSendEvent_ConnectionLess(benchmark::State& state) { SendThroughTec(state, "connection_less"); }

// A cache of state.range(0) megabytes.
void BM_FlushCache(benchmark::State& state) {
  const std::size_t megabytes = static_cast<std::size_t>(state.range(0));
  Configure("ConnectionMode=co\nBufEvtMaxSize=" + std::to_string(megabytes * 2048) + "\n");
  std::string event = Event();
  std::string cache;
  while (cache.size() + event.size() <= megabytes * 1024 * 1024) cache += event;
  std::string path = (kScratch / "cache.dat").string();
  TecHandlePtr handle(TecOpen("", 0, 0, TEC_MODE_FROM_CONFIG));
  long records = static_cast<long>(cache.size() / event.size());
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(path);
    CacheEvent(cache);  // all records in one append
    state.ResumeTiming();
    if (FlushCache(handle.get()) != records) state.SkipWithError("records were not all delivered");
  }
  state.SetItemsProcessed(state.iterations() * records);
  state.SetBytesProcessed(state.iterations() * static_cast<long>(cache.size()));
}

BENCHMARK(BM_RawFrameLoop)->UseRealTime();
BENCHMARK(BM_TecSendEvent_ConnectionOriented)->UseRealTime();
BENCHMARK(BM_TecSendEvent_ConnectionLess)->UseRealTime();
BENCHMARK(BM_FlushCache)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

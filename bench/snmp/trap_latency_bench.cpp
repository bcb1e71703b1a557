// How soon a printer's jam reaches the engine's caller when the printer sends
// an SNMP notification, beside how soon it does by the poll alone.
//
// One snmpsimd on 127.0.0.1 serves one printer; the engine polls it every
// 60 s (Poll = 60) and takes notifications on a free UDP port of 127.0.0.1.
// Each try changes the printer's recording (a jam appears, or goes away
// again), sends one SNMPv2c trap (printerV2Alert) to the engine's port, and
// times from the send to the WM_VX_ALERTS that carries the new state. After
// each try a second trap, past the one extra poll a second a printer may get,
// brings a poll that finds nothing new, so that the engine does not take the
// jam that comes and goes at every poll for a flapping printer.
// Without notifications the change waits for the next poll: half of Poll on
// average, all of it at worst.
//
// Usage: trap_latency_bench [tries] (default 20)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bce/bce_messages.h"
#include "bce/bce_records.h"
#include "common/byte_order.h"
#include "korbce/engine.h"
#include "messages/window.h"
#include "platform/file_io.h"
#include "platform/udp_socket.h"
#include "tests/support/printer_recording.h"
#include "tests/support/scratch.h"
#include "tests/support/snmp_agent.h"
#include "tests/support/trap_datagram.h"
#include "vigilix/vigilix.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::uint32_t kEnumTcpIp = 0x2;
constexpr int kPollSeconds = 60;
constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr auto kTryLimit = 10s;

std::vector<std::uint16_t> enumerated;

std::uint16_t Collect(const std::uint8_t* record) {
  enumerated.push_back(ReadLe16(record + PrinterEnumRecordLayout::kEnumPrinterId));
  return 1;
}

bool WriteRecording(snmp_test::SnmpAgent& agent, bool jammed) {
  snmp_test::RecordedPrinter printer;
  printer.mac = "020000000001";
  if (jammed) printer.alerts = {snmp_test::RecordedAlert{}};  // a jam at tray 1
  return agent.Write("office", snmp_test::PrinterRecords(printer));
}

// Whether a WM_VX_ALERTS posted to this thread's window told the jam state.
class JamWatch {
 public:
  JamWatch() {
    window_ = platform::CreateHiddenWindow("trap bench", 0, [this](platform::WindowHandle, platform::MessageId id,
                                                                   platform::WParam, platform::LParam mask) {
      if (id == WM_VX_ALERTS) jammed_ = (static_cast<std::uint32_t>(mask) & ALERT_PAPER_JAM) != 0;
      return platform::LResult{1};
    });
  }
  ~JamWatch() { platform::DestroyWindow(window_); }
  platform::WindowHandle Handle() const { return window_; }

  // Waits until the state told is jammed; the time it came, or none.
  std::optional<Clock::time_point> Await(bool jammed) {
    for (const auto limit = Clock::now() + kTryLimit; Clock::now() < limit; std::this_thread::sleep_for(1ms)) {
      platform::Message message;
      while (platform::PeekMessage(message)) platform::DispatchMessage(message);
      if (jammed_ == jammed) return Clock::now();
    }
    return std::nullopt;
  }

 private:
  platform::WindowHandle window_ = nullptr;
  std::optional<bool> jammed_;
};

int Fail(const std::string& problem) {
  std::fprintf(stderr, "trap_latency_bench: %s\n", problem.c_str());
  return 1;
}

double Milliseconds(Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

}  // namespace

int main(int argc, char** argv) {
  const int tries = argc > 1 ? std::max(1, std::stoi(argv[1])) : 20;
  if (!snmp_test::SnmpAgent::Available()) return Fail("snmpsimd is not installed (Debian package snmpsim)");
  const test_support::ScratchDirectory directory("korbce-trap-bench");
  const fs::path& scratch = directory.Path();
  snmp_test::SnmpAgent agent(scratch / "agent");
  bool jammed = false;
  if (!WriteRecording(agent, jammed) || !agent.Start()) return Fail("agent: " + agent.Problem());
  const std::uint16_t trapPort = snmp_test::FreeUdpPort();
  const std::string fleetPath = (scratch / "korbce.ini").string();
  const std::string section = "[SNMP]\nTargets = office@" + agent.Endpoint() + "\nPoll = " +
                              std::to_string(kPollSeconds) + "\nTrapPort = " + std::to_string(trapPort) +
                              "\nIdFile = " + (scratch / "ids").string() + "\n";
  if (!platform::WriteFileAtomically(fleetPath, section).ok()) return Fail("cannot write " + fleetPath);

  JamWatch watch;
  korbce::Engine engine(korbce::EngineOptions{fleetPath, "", 10, (scratch / "ids").string()});
  const std::int16_t application = engine.RegisterApp(watch.Handle());
  engine.EnumPrinters(application, kEnumTcpIp, Collect);
  if (enumerated.size() != 1) return Fail("enumeration found " + std::to_string(enumerated.size()) + " printers");
  ALERTS categories{0xFFFF};
  engine.CaptureAlerts(application, enumerated[0], &categories, watch.Handle(), 0);
  if (!watch.Await(false)) return Fail("the printer's first state did not come");

  std::uint16_t localPort = 0;
  platform::UniqueSocket sender = platform::BindUdp4(common::HostToNetwork32(kLoopback), 0, localPort);
  const auto sendTrap = [&] {
    return platform::SendDatagramTo(sender.Get(), snmp_test::kPrinterAlertTrap, sizeof snmp_test::kPrinterAlertTrap,
                                    common::HostToNetwork32(kLoopback), common::HostToNetwork16(trapPort));
  };
  std::vector<double> latencies;
  for (int attempt = 0; attempt < tries; ++attempt) {
    std::this_thread::sleep_for(1100ms);
    if (attempt > 0 && !sendTrap()) return Fail("cannot send the trap");
    std::this_thread::sleep_for(1100ms);
    jammed = !jammed;
    if (!WriteRecording(agent, jammed)) return Fail("cannot write the recording");
    const auto sent = Clock::now();
    if (!sendTrap()) return Fail("cannot send the trap");
    const auto told = watch.Await(jammed);
    if (!told) return Fail("try " + std::to_string(attempt + 1) + ": no new state within 10 s");
    latencies.push_back(Milliseconds(*told - sent));
  }
  std::sort(latencies.begin(), latencies.end());
  const double median = latencies.size() % 2 == 1
                            ? latencies[latencies.size() / 2]
                            : (latencies[latencies.size() / 2 - 1] + latencies[latencies.size() / 2]) / 2;
  std::printf("From an SNMPv2c trap to the printer's new state (%d tries, Poll = %d s, snmpsimd on 127.0.0.1)\n",
              tries, kPollSeconds);
  std::printf("%-36s %10s %10s %10s  %s\n", "", "median ms", "max ms", "min ms", "target");
  std::printf("%-36s %10.1f %10.1f %10.1f  %s\n", "with a notification", median, latencies.back(), latencies.front(),
              "median < 500");
  std::printf("%-36s %10.1f %10.1f %10s\n", "by the poll alone (Poll / 2, Poll)", kPollSeconds * 500.0,
              kPollSeconds * 1000.0, "");
  return 0;
}

// One poll round of 1,000 network printers through the engine's calls,
// beside the same requests made one at a time with net-snmp's command-line
// tools.
//
// One snmpsimd on 127.0.0.1 serves every printer under a community of its own
// (p0001, p0002, ...). The engine enumerates them (BceEnumPrinters, mask 0x2),
// and BceCaptureAlerts is called on each.
//
// How a round is timed. A poll whose answer equals what the engine already
// knows sends nothing, so before each measured round every recording is
// changed (a paper jam appears, or goes away again) and the agent is
// restarted on the same port, so that it indexes the new recordings at start
// rather than inside the round. A printer's result is the WM_VX_ALERTS that
// carries its new state; the engine checks for notifications every 10 ms
// (the fourth argument).
//  - Round 0 starts at the first BceCaptureAlerts, which polls the printer at
//    once, and ends at the last printer's new state.
//  - Round k starts Poll seconds later (every printer is next polled Poll
//    seconds after its previous poll started), so it is timed from round 0's
//    start plus k * Poll: an upper bound, as each poll starts a little after
//    it is due.
// CPU seconds are counted over the same spans: the threads the engine
// started (its SNMP thread and its notification thread), and the agent.
//
// The baseline runs, one after the other, what one poll of one printer asks:
// `snmpget` of the four status objects, and `snmpbulkwalk` of the alert table
// with the same 24 repetitions, for the first 100 printers; its time is then
// scaled to all of them.
//
// Usage: snmp_poll_bench [printers [rounds [baseline printers [check interval ms]]]]
// (defaults 1000, 3, 100, 10)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bce/bce_messages.h"
#include "bce/bce_records.h"
#include "bench/snmp/engine_measures.h"
#include "bench/snmp/one_by_one.h"
#include "korbce/engine.h"
#include "platform/cpu_time.h"
#include "platform/file_io.h"
#include "tests/support/printer_recording.h"
#include "tests/support/snmp_agent.h"
#include "vigilix/vigilix.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using snmp_bench::EngineThreads;
using snmp_bench::Notifications;

constexpr std::uint32_t kEnumTcpIp = 0x2;
constexpr int kPollSeconds = 60;
constexpr auto kRoundLimit = 120s;

double Seconds(Clock::duration span) { return std::chrono::duration<double>(span).count(); }

std::string Community(std::size_t printer) {
  const std::string number = std::to_string(printer + 1);
  return "p" + std::string(number.size() < 4 ? 4 - number.size() : 0, '0') + number;
}

snmp_test::RecordedPrinter Printer(std::size_t printer, bool jammed) {
  snmp_test::RecordedPrinter recorded;
  char mac[16];
  std::snprintf(mac, sizeof mac, "02%010zX", printer + 1);  // each printer its own id
  recorded.mac = mac;
  if (jammed) recorded.alerts = {snmp_test::RecordedAlert{}};  // a jam at tray 1
  return recorded;
}

bool WriteRecordings(snmp_test::SnmpAgent& agent, std::size_t printers, bool jammed) {
  for (std::size_t i = 0; i < printers; ++i) {
    if (!agent.Write(Community(i), snmp_test::PrinterRecords(Printer(i, jammed)))) return false;
  }
  return true;
}

std::string SnmpSection(const snmp_test::SnmpAgent& agent, std::size_t printers, const fs::path& idFile) {
  std::string targets;
  for (std::size_t i = 0; i < printers; ++i) {
    targets += (i == 0 ? "" : ", ") + Community(i) + "@" + agent.Endpoint();
  }
  // A single Python agent stands for all the printers and answers them in
  // turn, so a request may wait for many others: the time-out leaves room
  // for that, so that no retry adds to the agent's load.
  return "[SNMP]\nTargets = " + targets + "\nTimeout = 10000\nRetries = 1\nPoll = " +
         std::to_string(kPollSeconds) + "\nIdFile = " + idFile.string() + "\n";
}

struct Span {
  double seconds = 0;
  double firstToLast = 0;  // from the first result to the last
  double engineCpu = 0;
  double agentCpu = 0;
  std::size_t printers = 0;  // whose result came
};

class CpuMeter {
 public:
  CpuMeter(const EngineThreads& engine, const snmp_test::SnmpAgent& agent)
      : engine_(engine), agent_(agent), engineStart_(engine.Seconds()), agentStart_(AgentSeconds()) {}
  void Finish(Span& span) const {
    span.engineCpu = engine_.Seconds() - engineStart_;
    span.agentCpu = AgentSeconds() - agentStart_;
  }

 private:
  double AgentSeconds() const { return platform::ProcessCpuSeconds(agent_.ProcessId()).value_or(0); }
  const EngineThreads& engine_;
  const snmp_test::SnmpAgent& agent_;
  double engineStart_;
  double agentStart_;
};

// Waits until every printer has told the state wanted; the span ends at the last.
Span AwaitRound(Notifications& notifications, const std::vector<std::uint16_t>& ids, bool jammed,
                Clock::time_point start, const CpuMeter& meter) {
  std::set<std::uint16_t> waiting(ids.begin(), ids.end());
  Span span;
  std::optional<Clock::time_point> first;
  Clock::time_point last = start;
  for (const auto limit = Clock::now() + kRoundLimit; !waiting.empty() && Clock::now() < limit;) {
    const auto alerts = notifications.Take();
    const auto now = Clock::now();
    for (const auto& alert : alerts) {
      if (((alert.mask & ALERT_PAPER_JAM) != 0) != jammed || waiting.erase(alert.printer) == 0) continue;
      if (!first) first = now;
      last = now;
    }
    if (!waiting.empty()) std::this_thread::sleep_for(1ms);
  }
  meter.Finish(span);
  span.seconds = Seconds(last - start);
  span.firstToLast = first ? Seconds(last - *first) : 0;
  span.printers = ids.size() - waiting.size();
  return span;
}

std::vector<std::uint16_t>* enumerated = nullptr;

std::uint16_t Collect(const std::uint8_t* record) {
  enumerated->push_back(ReadLe16(record + PrinterEnumRecordLayout::kEnumPrinterId));
  return 1;
}

// What one poll asks, made by the command-line tools, one printer after the other.
Span OneByOne(const snmp_test::SnmpAgent& agent, const EngineThreads& engine, std::size_t printers) {
  const CpuMeter meter(engine, agent);
  Span span;
  const auto start = Clock::now();
  for (std::size_t i = 0; i < printers; ++i) {
    if (snmp_bench::PollByTools(agent.Endpoint(), {"-v2c", "-c", Community(i)})) ++span.printers;
  }
  span.seconds = Seconds(Clock::now() - start);
  meter.Finish(span);
  return span;
}

void PrintRow(const char* name, const Span& span, std::size_t printers, const char* target) {
  std::printf("%-30s %9.2f %11.2f %12.2f %11.2f %9zu/%zu  %s\n", name, span.seconds, span.firstToLast,
              span.engineCpu, span.agentCpu, span.printers, printers, target);
}

int Fail(const std::string& problem) {
  std::fprintf(stderr, "snmp_poll_bench: %s\n", problem.c_str());
  return 1;
}

std::size_t Argument(int argc, char** argv, int index, std::size_t fallback) {
  return argc > index ? std::max<std::size_t>(1, std::stoul(argv[index])) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t printers = std::min<std::size_t>(Argument(argc, argv, 1, 1000), 9999);
  const std::size_t rounds = Argument(argc, argv, 2, 3);
  const std::size_t baseline = std::min(printers, Argument(argc, argv, 3, 100));
  const auto checkIntervalMs = static_cast<std::uint32_t>(Argument(argc, argv, 4, 10));
  if (!snmp_test::SnmpAgent::Available()) return Fail("snmpsimd is not installed (Debian package snmpsim)");

  const fs::path scratch = fs::temp_directory_path() / ("korbce-snmp-bench-" + std::to_string(std::random_device()()));
  struct Cleanup {
    fs::path path;
    ~Cleanup() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  } cleanup{scratch};
  snmp_test::SnmpAgent agent(scratch / "agent");
  bool jammed = false;
  std::printf("Writing %zu recordings and starting snmpsimd...\n", printers);
  std::fflush(stdout);
  if (!WriteRecordings(agent, printers, jammed)) return Fail("cannot write the recordings");
  if (!agent.Start()) return Fail(agent.Problem());
  const std::string fleetPath = (scratch / "korbce.ini").string();
  if (!platform::WriteFileAtomically(fleetPath, SnmpSection(agent, printers, scratch / "ids")).ok())
    return Fail("cannot write " + fleetPath);

  Notifications notifications;
  const EngineThreads engineThreads;
  korbce::Engine engine(korbce::EngineOptions{fleetPath, "", checkIntervalMs, (scratch / "ids").string()});
  const std::int16_t application = engine.RegisterApp(notifications.Handle());

  std::printf("Enumerating...\n");
  std::fflush(stdout);
  std::vector<std::uint16_t> ids;
  enumerated = &ids;
  Span enumeration;
  {
    const CpuMeter meter(engineThreads, agent);
    const auto start = Clock::now();
    engine.EnumPrinters(application, kEnumTcpIp, Collect);
    enumeration.seconds = Seconds(Clock::now() - start);
    meter.Finish(enumeration);
    enumeration.printers = ids.size();
  }
  if (ids.size() != printers) return Fail("enumeration found " + std::to_string(ids.size()) + " printers");

  std::vector<Span> measured;
  std::vector<ALERTS> categories(printers, ALERTS{0xFFFF});
  Clock::time_point roundZero;
  for (std::size_t round = 0; round < rounds; ++round) {
    jammed = !jammed;
    agent.Stop();
    if (!WriteRecordings(agent, printers, jammed) || !agent.Restart()) return Fail("agent: " + agent.Problem());
    const auto due = roundZero + std::chrono::seconds(kPollSeconds * round);
    if (round > 0 && Clock::now() > due) {
      std::printf("round %zu: the agent restarted too late; no more rounds\n", round);
      break;
    }
    if (round > 0) std::this_thread::sleep_until(due);
    const CpuMeter meter(engineThreads, agent);
    if (round == 0) {
      roundZero = Clock::now();
      for (std::size_t i = 0; i < ids.size(); ++i) {
        engine.CaptureAlerts(application, ids[i], &categories[i], notifications.Handle(), 0);
      }
    }
    measured.push_back(AwaitRound(notifications, ids, jammed, round == 0 ? roundZero : due, meter));
    std::printf("round %zu done\n", round);
    std::fflush(stdout);
  }

  std::printf("One by one with snmpget and snmpbulkwalk (%zu printers)...\n", baseline);
  std::fflush(stdout);
  Span oneByOne = OneByOne(agent, engineThreads, baseline);
  const double scale = static_cast<double>(printers) / static_cast<double>(baseline);
  Span scaled = oneByOne;
  scaled.seconds *= scale;
  scaled.engineCpu = 0;
  scaled.agentCpu *= scale;

  std::printf("\nSNMP poll of %zu printers, one snmpsimd on 127.0.0.1, MaxInFlight 64\n", printers);
  std::printf("%-30s %9s %11s %12s %11s %11s  %s\n", "", "seconds", "first-last", "engine CPU s", "agent CPU s",
              "answered", "target");
  PrintRow("enumeration (all probes)", enumeration, printers, "");
  double slowest = 0;
  for (std::size_t round = 0; round < measured.size(); ++round) {
    const std::string name = "poll round " + std::to_string(round) + (round == 0 ? " (capture)" : " (scheduled)");
    PrintRow(name.c_str(), measured[round], printers, "< 5 s");
    slowest = std::max(slowest, measured[round].seconds);
  }
  PrintRow(("one by one, " + std::to_string(baseline) + " printers").c_str(), oneByOne, baseline, "");
  PrintRow(("one by one, scaled to " + std::to_string(printers)).c_str(), scaled, baseline, "");
  if (slowest > 0) std::printf("%-30s %9.1fx %51s  >= 20x\n", "speed-up (slowest round)", scaled.seconds / slowest, "");
  return 0;
}

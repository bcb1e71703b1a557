// The engine against the fast test agent at 1,000, 10,000 and 65,534 network
// printers, with SNMPv2c and with SNMPv3 authPriv (SHA, AES): one row per
// size and version.
//
// The agent is fast_snmp_agent (built beside this program), in a process of
// its own, on one port. A printer is a community (p00001, ...) with v2c, and
// a context name of the same spelling with v3: the part of a target before
// "@" is the context name when the section's version is 3.
//
// Each row runs in a process of its own (this program with --row), so that
// its peak memory and descriptors are the engine's alone, and so that a probe
// or a poll round that takes longer than the cap is ended there ("over N s").
//  - probe: the engine enumerates every printer (BceEnumPrinters, mask 0x2);
//  - poll: every printer is jammed (one SET to the agent) and
//    BceCaptureAlerts is called on each, which polls the printer at once; the
//    round ends at the last printer's WM_VX_ALERTS that carries the jam
//    (notifications checked at the engine's default check interval, as in the
//    service);
//  - CPU: the threads the engine started, per printer;
//  - peak RSS of the row's process, and the most descriptors it had open
//    (sampled every 50 ms).
// The agent's requests per CPU second are its answers divided by its CPU time
// over the row: the rate one core sustains, as the agent answers on one
// thread.
//
// The baseline: what one poll asks, made by snmpget and snmpbulkwalk one
// printer after the other against the same agent, for the first printers of
// the smallest size (--baseline, default 200); its time per printer is scaled
// to each size.
//
// Usage: snmp_scale_bench [--sizes 1000,10000,65534] [--versions v2c,v3]
//                         [--cap seconds] [--baseline printers]
// (defaults as shown, cap 300)

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bce/bce_records.h"
#include "bench/snmp/engine_measures.h"
#include "bench/snmp/one_by_one.h"
#include "common/decimal_text.h"
#include "common/list_text.h"
#include "korbce/engine.h"
#include "platform/child_process.h"
#include "platform/cpu_time.h"
#include "platform/file_io.h"
#include "platform/path_search.h"
#include "platform/process_footprint.h"
#include "tests/support/fast_snmp_agent.h"
#include "vigilix/vigilix.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using snmp_test::FastSnmpAgent;

constexpr std::uint32_t kEnumTcpIp = 0x2;
constexpr std::uint32_t kCheckIntervalMs = korbce::kDefaultCheckIntervalMs;
constexpr char kUser[] = "watcher";
constexpr char kAuthPassword[] = "authsecret1";
constexpr char kPrivPassword[] = "privsecret1";
constexpr char kErrorState[] = "1.3.6.1.2.1.25.3.5.1.2.1";

double Seconds(Clock::duration span) { return std::chrono::duration<double>(span).count(); }

std::string Endpoint(std::uint16_t port) { return "127.0.0.1:" + std::to_string(port); }

std::vector<std::uint16_t> ReadPorts(const fs::path& path) {
  std::vector<std::uint16_t> ports;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    if (const auto port = common::ParseDecimal(line)) ports.push_back(static_cast<std::uint16_t>(*port));
  }
  return ports;
}

std::vector<std::string> V3Options() {
  return {"-v3", "-l", "authPriv", "-u", kUser, "-a", "SHA", "-A", kAuthPassword, "-x", "AES", "-X", kPrivPassword};
}

// The tools' options that reach printer (counting from 1).
std::vector<std::string> ToolCredentials(bool v3, std::size_t printer) {
  if (!v3) return {"-v2c", "-c", FastSnmpAgent::Community(printer)};
  auto options = V3Options();
  options.insert(options.end(), {"-n", FastSnmpAgent::Community(printer)});
  return options;
}

// ---- one row, in a process of its own ----

std::string SnmpSection(bool v3, const std::vector<std::uint16_t>& ports, std::size_t printers,
                        const fs::path& idFile) {
  std::string targets;
  for (std::size_t printer = 1; printer <= printers; ++printer) {
    if (printer > 1) targets += ", ";
    targets += FastSnmpAgent::Community(printer) + "@" + Endpoint(ports[0]);
  }
  std::string section = "[SNMP]\nTargets = " + targets +
                        "\nTimeout = 5000\nRetries = 1\nPoll = 3600\nIdFile = " + idFile.string() + "\n";
  if (v3) {
    section += std::string("Version = 3\nUser = ") + kUser + "\nSecurityLevel = authPriv\nAuthProtocol = SHA\n" +
               "AuthPassword = " + kAuthPassword + "\nPrivProtocol = AES\nPrivPassword = " + kPrivPassword + "\n";
  }
  return section;
}

// The most descriptors open and the peak memory, sampled on a thread of its
// own every 50 ms and printed every 5 s, so that a row ended at the cap still
// tells them.
class FootprintSampler {
 public:
  FootprintSampler() : thread_([this] { Run(); }) {}
  ~FootprintSampler() {
    stop_ = true;
    thread_.join();
  }
  void Print() {
    Sample();
    std::printf("footprint %llu %zu\n", static_cast<unsigned long long>(peakBytes_.load()), mostHandles_.load());
    std::fflush(stdout);
  }

 private:
  void Run() {
    for (int turn = 1; !stop_; ++turn) {
      std::this_thread::sleep_for(50ms);
      Sample();
      if (turn % 100 == 0) Print();
    }
  }
  // From either thread.
  void Sample() {
    if (const auto now = platform::CurrentProcessFootprint()) {
      StoreMax(peakBytes_, now->peakResidentBytes);
      StoreMax(mostHandles_, now->openHandles);
    }
  }
  template <typename Number>
  static void StoreMax(std::atomic<Number>& most, Number value) {
    for (Number seen = most; value > seen && !most.compare_exchange_weak(seen, value);) {
    }
  }
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> peakBytes_{0};
  std::atomic<std::size_t> mostHandles_{0};
  std::thread thread_;
};

std::vector<std::uint16_t>* enumerated = nullptr;

std::uint16_t Collect(const std::uint8_t* record) {
  enumerated->push_back(ReadLe16(record + PrinterEnumRecordLayout::kEnumPrinterId));
  return 1;
}

// Waits until every printer has told its jam, or until deadline; how many did.
std::size_t AwaitJams(snmp_bench::Notifications& notifications, const std::vector<std::uint16_t>& ids,
                      Clock::time_point deadline) {
  std::set<std::uint16_t> waiting(ids.begin(), ids.end());
  while (!waiting.empty() && Clock::now() < deadline) {
    for (const auto& alert : notifications.Take()) {
      if ((alert.mask & ALERT_PAPER_JAM) != 0) waiting.erase(alert.printer);
    }
    if (!waiting.empty()) std::this_thread::sleep_for(1ms);
  }
  return ids.size() - waiting.size();
}

int RunRow(bool v3, std::size_t printers, const fs::path& portsFile, const fs::path& scratch, double capSeconds) {
  const auto ports = ReadPorts(portsFile);
  if (ports.empty()) return 1;
  const fs::path fleet = scratch / "korbce.ini";
  if (!platform::WriteFileAtomically(fleet.string(), SnmpSection(v3, ports, printers, scratch / "ids")).ok()) return 1;
  const auto cap = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(capSeconds));
  FootprintSampler footprint;
  snmp_bench::Notifications notifications;
  const snmp_bench::EngineThreads engineThreads;
  korbce::Engine engine(korbce::EngineOptions{fleet.string(), "", kCheckIntervalMs, (scratch / "ids").string()});
  const std::int16_t application = engine.RegisterApp(notifications.Handle());

  std::vector<std::uint16_t> ids;
  enumerated = &ids;
  auto start = Clock::now();
  engine.EnumPrinters(application, kEnumTcpIp, Collect);
  std::printf("probe %.3f %.3f %zu\n", Seconds(Clock::now() - start), engineThreads.Seconds(), ids.size());
  std::fflush(stdout);

  if (!ids.empty() && snmp_bench::RunQuietly("snmpset", {"-m", "", "-v2c", "-c", "all", Endpoint(ports[0]),
                                                         kErrorState, "x", "04"})) {
    std::vector<ALERTS> categories(ids.size(), ALERTS{0xFFFF});
    const double cpuBefore = engineThreads.Seconds();
    start = Clock::now();
    for (std::size_t i = 0; i < ids.size(); ++i) {
      engine.CaptureAlerts(application, ids[i], &categories[i], notifications.Handle(), 0);
    }
    const std::size_t answered = AwaitJams(notifications, ids, start + cap);
    std::printf("poll %.3f %.3f %zu\n", Seconds(Clock::now() - start), engineThreads.Seconds() - cpuBefore, answered);
  }
  footprint.Print();
  return 0;
}

// ---- the table, in the first process ----

struct Measure {
  double seconds = 0;
  double engineCpu = 0;
  std::size_t printers = 0;
};

struct Row {
  std::optional<Measure> probe;
  std::optional<Measure> poll;
  std::uint64_t peakBytes = 0;
  std::size_t handles = 0;
  double agentCpu = 0;
  std::uint64_t agentRequests = 0;
};

void ReadRow(const fs::path& output, Row& row) {
  std::ifstream file(output);
  for (std::string line; std::getline(file, line);) {
    std::istringstream fields(line);
    std::string kind;
    fields >> kind;
    Measure measure;
    if (kind == "footprint") {
      fields >> row.peakBytes >> row.handles;
    } else if (fields >> measure.seconds >> measure.engineCpu >> measure.printers) {
      (kind == "probe" ? row.probe : row.poll) = measure;
    }
  }
}

std::uint64_t ReadRequests(const fs::path& output) {
  std::ifstream file(output);
  std::string word;
  std::uint64_t requests = 0;
  while (file >> word) {
    if (word == "requests") file >> requests;
  }
  return requests;
}

struct Bench {
  fs::path self;
  fs::path agentProgram;
  fs::path scratch;
  double capSeconds = 300;
  std::size_t baselinePrinters = 200;
  std::optional<double> baselinePerPrinter;  // seconds, of the version being run
};

bool WaitForFile(const fs::path& path, platform::ChildProcess& process, std::chrono::seconds limit) {
  for (const auto end = Clock::now() + limit; Clock::now() < end; std::this_thread::sleep_for(50ms)) {
    if (fs::exists(path)) return true;
    if (!process.IsRunning()) return false;
  }
  return false;
}

std::optional<double> BaselinePerPrinter(bool v3, const std::vector<std::uint16_t>& ports, std::size_t printers) {
  std::size_t answered = 0;
  const auto start = Clock::now();
  for (std::size_t printer = 1; printer <= printers; ++printer) {
    if (snmp_bench::PollByTools(Endpoint(ports.front()), ToolCredentials(v3, printer))) ++answered;
  }
  if (answered != printers) return std::nullopt;
  return Seconds(Clock::now() - start) / static_cast<double>(printers);
}

bool Complete(const std::optional<Measure>& measure, std::size_t printers) {
  return measure && measure->printers == printers;
}

// A measure that ended within the cap with fewer printers than the row's
// tells how many it reached, and its CPU is per printer reached.
std::string SecondsCell(const std::optional<Measure>& measure, std::size_t printers, double cap) {
  char text[32];
  if (!measure || measure->seconds >= cap || measure->printers == 0) {
    std::snprintf(text, sizeof text, "over %.0f s", cap);
  } else if (measure->printers != printers) {
    std::snprintf(text, sizeof text, "%.2f (%zu)", measure->seconds, measure->printers);
  } else {
    std::snprintf(text, sizeof text, "%.2f", measure->seconds);
  }
  return text;
}

std::string CpuPerPrinterCell(const std::optional<Measure>& measure, double cap) {
  char text[32] = "-";
  if (measure && measure->seconds < cap && measure->printers != 0) {
    std::snprintf(text, sizeof text, "%.3f", measure->engineCpu * 1000 / static_cast<double>(measure->printers));
  }
  return text;
}

void PrintRow(const char* version, std::size_t printers, const Row& row, const Bench& bench) {
  char oneByOne[32] = "-";
  char speedUp[32] = "-";
  if (bench.baselinePerPrinter) {
    const double baseline = *bench.baselinePerPrinter * static_cast<double>(printers);
    std::snprintf(oneByOne, sizeof oneByOne, "%.1f", baseline);
    if (Complete(row.poll, printers)) std::snprintf(speedUp, sizeof speedUp, "%.1fx", baseline / row.poll->seconds);
  }
  const double rate = row.agentCpu > 0 ? static_cast<double>(row.agentRequests) / row.agentCpu : 0;
  std::printf("%-4s %8zu %14s %14s %10s %10s %8.1f %6zu %12.0f %12s %8s\n", version, printers,
              SecondsCell(row.probe, printers, bench.capSeconds).c_str(),
              SecondsCell(row.poll, printers, bench.capSeconds).c_str(), CpuPerPrinterCell(row.probe, bench.capSeconds).c_str(),
              CpuPerPrinterCell(row.poll, bench.capSeconds).c_str(), static_cast<double>(row.peakBytes) / 1e6, row.handles,
              rate, oneByOne, speedUp);
  std::fflush(stdout);
}

void RunSize(bool v3, std::size_t printers, Bench& bench) {
  const char* version = v3 ? "v3" : "v2c";
  const fs::path directory = bench.scratch / (std::string(version) + "-" + std::to_string(printers));
  fs::create_directories(directory);
  const fs::path portsFile = directory / "ports";
  std::vector<std::string> arguments = {std::to_string(printers), "--ports-file", portsFile.string()};
  if (v3) arguments.insert(arguments.end(), {"--v3", kUser, kAuthPassword, kPrivPassword});
  platform::ChildProcess agent;
  if (!agent.Start(bench.agentProgram.string(), arguments, (directory / "agent.out").string(),
                   (directory / "agent.err").string()) ||
      !WaitForFile(portsFile, agent, 120s)) {
    std::printf("%-4s %8zu  the agent did not start (see %s)\n", version, printers, (directory / "agent.err").c_str());
    return;
  }
  const double agentCpuBefore = platform::ProcessCpuSeconds(agent.ProcessId()).value_or(0);
  platform::ChildProcess rowProcess;
  Row row;
  const auto capText = std::to_string(static_cast<long>(bench.capSeconds));
  if (rowProcess.Start(bench.self.string(), {"--row", version, std::to_string(printers), portsFile.string(),
                                             directory.string(), capText},
                       (directory / "row.out").string(), (directory / "row.err").string())) {
    // the probe, then the poll round, each up to the cap
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(2 * bench.capSeconds + 30));
    while (Clock::now() < end && !rowProcess.Wait(1000)) {
    }
    if (rowProcess.IsRunning()) rowProcess.Kill();
    rowProcess.Wait(5000);
  }
  ReadRow(directory / "row.out", row);
  if (!bench.baselinePerPrinter) {
    bench.baselinePerPrinter = BaselinePerPrinter(v3, ReadPorts(portsFile), std::min(printers, bench.baselinePrinters));
  }
  // the baseline's requests are in the agent's count too
  row.agentCpu = platform::ProcessCpuSeconds(agent.ProcessId()).value_or(0) - agentCpuBefore;
  agent.Stop(10000);
  row.agentRequests = ReadRequests(directory / "agent.out");
  PrintRow(version, printers, row, bench);
}

std::vector<std::string> ListOption(int argc, char** argv, const std::string& name, const std::string& fallback) {
  std::string value = fallback;
  for (int i = 1; i + 1 < argc; ++i) {
    if (argv[i] == name) value = argv[i + 1];
  }
  std::vector<std::string> items;
  for (std::string_view item : common::SplitList(value, ',')) items.emplace_back(item);
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 7 && std::string(argv[1]) == "--row") {
    const auto printers = common::ParseDecimal(argv[3]);
    const auto cap = common::ParseDecimal(argv[6]);
    if (!printers || !cap) return 2;
    return RunRow(std::string(argv[2]) == "v3", *printers, argv[4], argv[5], *cap);
  }
  Bench bench;
  bench.self = platform::ProgramPath();
  bench.agentProgram = fs::path(platform::ProgramDirectory()) / "fast_snmp_agent";
  const auto cap = common::ParseDecimal(ListOption(argc, argv, "--cap", "300").front());
  const auto baseline = common::ParseDecimal(ListOption(argc, argv, "--baseline", "200").front());
  if (!cap || !baseline || *baseline == 0) {
    std::fprintf(stderr, "usage: snmp_scale_bench [--sizes 1000,10000,65534] [--versions v2c,v3] [--cap seconds] "
                         "[--baseline printers]\n");
    return 2;
  }
  bench.capSeconds = *cap;
  bench.baselinePrinters = *baseline;
  std::vector<std::size_t> sizes;
  for (const std::string& size : ListOption(argc, argv, "--sizes", "1000,10000,65534")) {
    if (const auto printers = common::ParseDecimal(size); printers && *printers >= 1 && *printers <= 65534) {
      sizes.push_back(*printers);
    }
  }
  std::sort(sizes.begin(), sizes.end());
  bench.scratch = fs::temp_directory_path() / ("korbce-snmp-scale-" + std::to_string(std::random_device()()));
  struct Cleanup {
    fs::path path;
    ~Cleanup() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  } cleanup{bench.scratch};

  std::printf("The engine against fast_snmp_agent on 127.0.0.1; probe and poll capped at %.0f s each. Engine CPU in ms per "
              "printer;\none by one: snmpget + snmpbulkwalk per printer, %zu printers timed and scaled to the row.\n\n",
              bench.capSeconds, bench.baselinePrinters);
  std::printf("%-4s %8s %14s %14s %10s %10s %8s %6s %12s %12s %8s\n", "", "printers", "probe s", "poll round s",
              "CPU/probe", "CPU/poll", "RSS MB", "fds", "agent req/s", "one by one s", "speed-up");
  std::fflush(stdout);
  for (const std::string& version : ListOption(argc, argv, "--versions", "v2c,v3")) {
    bench.baselinePerPrinter.reset();
    for (std::size_t printers : sizes) RunSize(version == "v3", printers, bench);
  }
  return 0;
}

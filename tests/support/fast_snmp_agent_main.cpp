// The fast test agent as a program of its own, for a benchmark that measures
// another process against it.
//
// Usage: fast_snmp_agent printers [--port-per-printer] [--v3 user authpass privpass]
//                        [--ports-file path]
// Once it listens it writes its ports to the file, one line per port (one
// line, or one per printer in order), and runs until asked to stop; it then
// prints "requests N", the number of datagrams it
// received. A SET of
// hrPrinterDetectedErrorState.1 switches a printer's jam (community "all":
// every printer), as FastSnmpAgent describes.

#include <cstdio>
#include <string>
#include <vector>

#include "common/decimal_text.h"
#include "platform/file_io.h"
#include "platform/readiness.h"
#include "platform/stop_signal.h"
#include "tests/support/fast_snmp_agent.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: fast_snmp_agent printers [--port-per-printer] [--v3 user authpass privpass] "
               "[--ports-file path]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const auto printers = arguments.empty() ? std::nullopt : common::ParseDecimal(arguments[0]);
  if (!printers || *printers == 0) return Usage();
  snmp_test::FastSnmpAgent::Options options;
  options.printers = *printers;
  std::string portsFile;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--port-per-printer") {
      options.portPerPrinter = true;
    } else if (arguments[i] == "--v3" && i + 3 < arguments.size()) {
      options.v3User = snmp_test::SnmpV3User{arguments[i + 1], "SHA", arguments[i + 2], "AES", arguments[i + 3]};
      i += 3;
    } else if (arguments[i] == "--ports-file" && i + 1 < arguments.size()) {
      portsFile = arguments[++i];
    } else {
      return Usage();
    }
  }
  const platform::NativeHandle stop = platform::StopSignalHandle();
  snmp_test::FastSnmpAgent agent;
  if (!agent.Start(options)) {
    std::fprintf(stderr, "fast_snmp_agent: %s\n", agent.Problem().c_str());
    return 1;
  }
  std::string ports;
  for (std::size_t printer = 1; printer <= (options.portPerPrinter ? options.printers : 1); ++printer) {
    ports += std::to_string(agent.Port(printer)) + "\n";
  }
  if (!portsFile.empty() && !platform::WriteFileAtomically(portsFile, ports).ok()) {
    std::fprintf(stderr, "fast_snmp_agent: cannot write %s\n", portsFile.c_str());
    return 1;
  }
  bool stopped = false;
  while (!stopped) platform::WaitReadable({&stop, 1}, {&stopped, 1}, -1);
  const auto requests = agent.Requests();
  agent.Stop();
  std::printf("requests %llu\n", static_cast<unsigned long long>(requests));
  return 0;
}

// tec-receiver: a TEC event server that writes every event it receives as one line.

#include <cstdio>
#include <string>

#include "common/byte_order.h"
#include "common/ipv4_text.h"
#include "eif/tec_network.h"
#include "platform/file_io.h"
#include "platform/host_lookup.h"
#include "platform/portmapper.h"
#include "platform/stop_signal.h"
#include "platform/tcp_socket.h"
#include "tools/tec-receiver/receiver_loop.h"
#include "tools/tec-receiver/receiver_options.h"

namespace {

int Fail(const std::string& message, int status) {
  std::fprintf(stderr, "tec-receiver: %s\n", message.c_str());
  return status;
}

// Registers the port with the local rpcbind, replacing a registration that a
// receiver killed without unregistering left behind.
bool RegisterWithPortmapper(std::uint16_t port) {
  platform::PortmapperUnset(TEC_RPC_PROGRAM, TEC_RPC_VERSION);
  return platform::PortmapperSet(TEC_RPC_PROGRAM, TEC_RPC_VERSION, platform::kProtocolTcp, port);
}

int Serve(const ReceiverOptions& options, std::uint32_t address, std::FILE* output) {
  std::uint16_t port = 0;
  platform::UniqueSocket listener =
      platform::BindTcp4(address, common::HostToNetwork16(options.port), !options.refuse, port);
  if (!listener.IsValid())
    return Fail("cannot listen on " + options.address + ":" + std::to_string(options.port), 1);
  platform::NativeHandle stopHandle = platform::StopSignalHandle();
  if (stopHandle == platform::kNoHandle) return Fail("cannot watch for stop signals", 1);
  if (options.portmapper && !RegisterWithPortmapper(port))
    return Fail("the local rpcbind did not take the registration of program 100033057", 1);
  unsigned hostPort = common::NetworkToHost16(port);
  if (!options.portFile.empty() &&
      !platform::WriteFileAtomically(options.portFile, std::to_string(hostPort) + "\n").ok()) {
    if (options.portmapper) platform::PortmapperUnset(TEC_RPC_PROGRAM, TEC_RPC_VERSION);
    return Fail("cannot write the port file " + options.portFile, 1);
  }
  std::fprintf(stderr, "tec-receiver: %s port %u\n", options.refuse ? "refusing connections on" : "listening on",
               hostPort);
  int status = RunReceiverLoop(options, listener.Get(), stopHandle, output);
  if (options.portmapper) platform::PortmapperUnset(TEC_RPC_PROGRAM, TEC_RPC_VERSION);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  ReceiverOptions options;
  std::string error;
  if (!ParseReceiverOptions(argc, argv, options, error))
    return Fail(error + "\nTry 'tec-receiver --help' for more information.", 2);
  if (options.help) {
    std::fputs(kReceiverUsage, stdout);
    return 0;
  }
  std::optional<std::uint32_t> address = common::ParseIPv4NetworkOrder(options.address);
  if (!address) return Fail("not an IPv4 address: " + options.address, 2);
  std::FILE* output = stdout;
  if (!options.outputPath.empty() && (output = std::fopen(options.outputPath.c_str(), "wb")) == nullptr)
    return Fail("cannot open the output file " + options.outputPath, 1);
  int status = Serve(options, *address, output);
  if (std::fflush(output) != 0) status = 1;
  if (output != stdout) std::fclose(output);
  return status;
}

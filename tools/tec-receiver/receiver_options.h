#pragma once
// The command line of tec-receiver.

#include <cstdint>
#include <string>

struct ReceiverOptions {
  std::uint16_t port = 0;           // host byte order; 0 picks a free port
  std::string address = "0.0.0.0";  // IPv4 address to listen on
  std::string outputPath;           // empty: standard output
  std::string portFile;             // where to write the port once listening
  bool portmapper = false;          // register with the local rpcbind
  bool refuse = false;              // hold the port, refuse connections
  long closeAfter = 0;              // close each connection after this many events; 0 never
  bool help = false;
};

// Fills options from argv; false with a message in error on bad usage.
bool ParseReceiverOptions(int argc, char** argv, ReceiverOptions& options, std::string& error);

extern const char* const kReceiverUsage;

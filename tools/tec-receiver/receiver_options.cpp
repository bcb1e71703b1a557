#include "tools/tec-receiver/receiver_options.h"

#include <charconv>
#include <string_view>

const char* const kReceiverUsage =
    "Usage: tec-receiver [OPTION]...\n"
    "A TEC event server: accepts connections from event adapters, checks each\n"
    "\"<START>>\" frame and writes every event on one line.\n"
    "\n"
    "  -p, --port PORT         listen on TCP port PORT (default: a free port)\n"
    "  -a, --address ADDRESS   listen on this IPv4 address (default 0.0.0.0)\n"
    "  -o, --output FILE       write events to FILE instead of standard output\n"
    "      --port-file FILE    write the port number to FILE once listening\n"
    "      --portmapper        register program 100033057 version 1 (TCP) for the\n"
    "                          port with the local rpcbind; unregister at exit\n"
    "      --refuse            hold the port but refuse every connection\n"
    "      --close-after N     close each connection after N events\n"
    "  -h, --help              show this help and exit\n"
    "\n"
    "The port is printed on standard error as \"tec-receiver: listening on port N\".\n"
    "Each event is one line: printable ASCII as it is, a backslash as \"\\\\\", a\n"
    "newline as \"\\n\" and every other byte as \"\\xHH\", so every byte can be\n"
    "recovered; the event's end byte 0x01 shows as \"\\x01\". A malformed frame is\n"
    "reported on standard error and its connection closed.\n"
    "SIGINT, SIGTERM or SIGHUP ends the program.\n";

namespace {

bool ParseNumber(std::string_view text, long minimum, long maximum, long& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= minimum && value <= maximum;
}

}  // namespace

bool ParseReceiverOptions(int argc, char** argv, ReceiverOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string_view option = argv[i];
    auto needValue = [&](std::string_view& value) {
      if (i + 1 >= argc) {
        error = "option " + std::string(option) + " needs a value";
        return false;
      }
      value = argv[++i];
      return true;
    };
    std::string_view value;
    long number = 0;
    if (option == "-h" || option == "--help") {
      options.help = true;
    } else if (option == "--portmapper") {
      options.portmapper = true;
    } else if (option == "--refuse") {
      options.refuse = true;
    } else if (option == "-p" || option == "--port") {
      if (!needValue(value)) return false;
      if (!ParseNumber(value, 0, 65535, number)) {
        error = "bad port: " + std::string(value);
        return false;
      }
      options.port = static_cast<std::uint16_t>(number);
    } else if (option == "--close-after") {
      if (!needValue(value)) return false;
      if (!ParseNumber(value, 1, 1L << 30, number)) {
        error = "bad event count: " + std::string(value);
        return false;
      }
      options.closeAfter = number;
    } else if (option == "-a" || option == "--address") {
      if (!needValue(value)) return false;
      options.address = value;
    } else if (option == "-o" || option == "--output") {
      if (!needValue(value)) return false;
      options.outputPath = value;
    } else if (option == "--port-file") {
      if (!needValue(value)) return false;
      options.portFile = value;
    } else {
      error = "unknown option: " + std::string(option);
      return false;
    }
  }
  return true;
}

#include "service/status_line.h"

std::string WithDigitGroups(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

std::string StatusLineOf(const AdapterCounts& counts) {
  std::string line = "Running: " + WithDigitGroups(counts.printers) + (counts.printers == 1 ? " printer" : " printers");
  line += " (" + WithDigitGroups(counts.printersNotAnswering) + " not answering); ";
  line += WithDigitGroups(counts.eventsSent) + (counts.eventsSent == 1 ? " event" : " events") + " sent, ";
  line += WithDigitGroups(counts.eventsCached) + " cached; ";
  line += "TEC server " + counts.tecServer + (counts.tecConnected ? " connected" : " not connected");
  return line;
}

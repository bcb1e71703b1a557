#pragma once
// What one poll of one printer asks, made by net-snmp's command-line tools,
// the baseline the engine is compared with: snmpget of the four status
// objects, then snmpbulkwalk of the alert table with 24 repetitions.

#include <string>
#include <vector>

namespace snmp_bench {

// credentials: the tools' options for the version and the community or the
// user, e.g. {"-v2c", "-c", "p00001"}. True when both tools succeeded.
bool PollByTools(const std::string& endpoint, const std::vector<std::string>& credentials);

// Runs program with its output discarded; true when it ended with status 0
// within 30 seconds.
bool RunQuietly(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace snmp_bench

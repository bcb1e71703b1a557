#include "bench/snmp/one_by_one.h"

#include "platform/child_process.h"

namespace snmp_bench {

bool RunQuietly(const std::string& program, const std::vector<std::string>& arguments) {
  platform::ChildProcess child;
  if (!child.Start(program, arguments, "/dev/null", "/dev/null")) return false;
  const auto status = child.Wait(30000);
  return status && *status == 0;
}

bool PollByTools(const std::string& endpoint, const std::vector<std::string>& credentials) {
  std::vector<std::string> common = {"-m", "", "-t", "10", "-r", "1", "-On"};
  common.insert(common.end(), credentials.begin(), credentials.end());
  auto get = common;
  get.insert(get.end(), {endpoint, "1.3.6.1.2.1.25.3.2.1.5.1", "1.3.6.1.2.1.25.3.5.1.1.1", "1.3.6.1.2.1.25.3.5.1.2.1",
                         "1.3.6.1.2.1.43.5.1.1.1.1"});
  auto walk = common;
  walk.insert(walk.end(), {"-Cr24", endpoint, "1.3.6.1.2.1.43.18.1.1"});
  return RunQuietly("snmpget", get) && RunQuietly("snmpbulkwalk", walk);
}

}  // namespace snmp_bench

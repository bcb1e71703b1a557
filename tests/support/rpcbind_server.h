#pragma once
// The local portmapper for tests: Debian's rpcbind, started when none answers
// on 127.0.0.1 (which needs root) and stopped again at the end.

#include <string>

#include "platform/child_process.h"

namespace test_support {

class RpcbindServer {
 public:
  // True when a portmapper answers, the one already running or one started
  // now; otherwise why not in *why. errorPath receives rpcbind's messages.
  bool EnsureRunning(const std::string& errorPath, std::string* why);

 private:
  platform::ChildProcess process_;
};

// True when the portmapper at 127.0.0.1 answers a GETPORT call.
bool PortmapperAnswers();

}  // namespace test_support

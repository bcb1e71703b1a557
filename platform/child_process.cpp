#include "platform/child_process.h"

namespace platform {

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& outputPath, const std::string& errorPath) {
  ChildSetup setup;
  setup.outputPath = outputPath;
  setup.errorPath = errorPath;
  return Start(program, arguments, setup);
}

bool ChildProcess::IsRunning() { return pid_ > 0 && !Wait(0); }

std::optional<int> ChildProcess::Stop(int timeoutMs) {
  if (pid_ <= 0 || status_) return status_;
  RequestStop();
  if (std::optional<int> status = Wait(timeoutMs)) return status;
  Kill();
  return Wait(5000);
}

}  // namespace platform

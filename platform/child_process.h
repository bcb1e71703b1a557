#pragma once
// Starting a program as a child process, stopping it and collecting its exit status.

#include <optional>
#include <string>
#include <vector>

namespace platform {

class ChildProcess {
 public:
  ChildProcess() = default;
  // A child still running is stopped (SIGTERM, then SIGKILL after 2 seconds).
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts program with arguments; standard output and error go to the files
  // named (created or emptied), or stay the caller's when a name is empty.
  bool Start(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& outputPath = "", const std::string& errorPath = "");
  bool IsRunning();
  // Waits up to timeoutMs for the child to end; its exit status (128 + the
  // signal number when a signal ended it), or nothing on time-out.
  std::optional<int> Wait(int timeoutMs);
  // Asks the child to end (SIGTERM) and waits; SIGKILL when it has not ended
  // within timeoutMs.
  std::optional<int> Stop(int timeoutMs = 2000);

 private:
  int pid_ = -1;
  std::optional<int> status_;
};

}  // namespace platform

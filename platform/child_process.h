#pragma once
// A program started as a child process, in a process group of its own so that
// a Ctrl-C at the terminal reaches only its parent.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class ChildProcess {
 public:
  using Environment = std::vector<std::pair<std::string, std::string>>;

  ChildProcess() = default;
  ~ChildProcess();  // waits for a child still running
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts program (found by PATH when it has no "/") with the arguments and
  // this process's environment plus the given variables. False and an errno
  // value in error when it cannot be started.
  bool Start(const std::string& program, const std::vector<std::string>& arguments,
             const Environment& extraEnvironment, int& error);
  int ProcessId() const { return pid_; }

  // The stop request of a service manager (SIGTERM).
  bool RequestStop() const;
  // User control code 128 + n (SIGRTMIN + n); false when n is out of range.
  bool SendUserControl(int n) const;
  static int UserControlCount();

  // The exit status once the child has ended (128 + the signal number when a
  // signal ended it), waiting up to timeoutMs; nothing while it runs.
  std::optional<int> Wait(std::uint32_t timeoutMs);

 private:
  int pid_ = -1;
  std::optional<int> status_;
};

}  // namespace platform

#pragma once
// Starting a program as a child process, sending it the controls of a service
// manager, stopping it and collecting its exit status.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/native_handle.h"

namespace platform {

struct ChildSetup {
  // Standard output and error go to the files named (created or emptied), or
  // stay the caller's when a name is empty.
  std::string outputPath;
  std::string errorPath;
  // Variables added to (or replacing those of) this process's environment.
  std::vector<std::pair<std::string, std::string>> environment;
  // A process group of its own, so that a Ctrl-C at the terminal reaches only
  // the parent.
  bool ownProcessGroup = false;
};

class ChildProcess {
 public:
  ChildProcess() = default;
  // A child still running is stopped, as Stop does with its default wait.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts program (found by PATH when it has no "/"; on Windows by the
  // system's search for programs, ".exe" added) with arguments. False, with
  // the errno value in *error when given, when it cannot be started.
  bool Start(const std::string& program, const std::vector<std::string>& arguments, const ChildSetup& setup,
             int* error = nullptr);
  bool Start(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& outputPath = "", const std::string& errorPath = "");
  bool IsRunning();
  int ProcessId() const { return pid_; }

  // Waits up to timeoutMs for the child to end; its exit status (128 + the
  // signal number when a signal ended it), or nothing on time-out.
  std::optional<int> Wait(int timeoutMs);
  // Asks the child to end (RequestStop) and waits; ends it as Kill does when
  // it has not ended within timeoutMs.
  std::optional<int> Stop(int timeoutMs = 2000);

  // Ends the child at once, as a crash would, without waiting: SIGKILL on
  // Linux; on Windows the process is terminated with status 137, the status
  // of a program killed on Linux.
  bool Kill();

  // The stop control of a service manager, without waiting. On Linux SIGTERM.
  // On Windows a stop request that the child sees once it catches console
  // interrupts or stop signals (a named event per process, watched without a
  // console too), and Ctrl-Break to the child's process group, which every
  // child has of its own there and which reaches a console program sharing
  // this process's console. False when neither could be delivered.
  bool RequestStop();
  // User control code 128 + n (SIGRTMIN + n on Linux); false when n is out of
  // range. Windows delivers user controls through its service control manager
  // only: there are none to send (UserControlCount is 0).
  bool SendUserControl(int n);
  static int UserControlCount();

 private:
  int pid_ = -1;
  // The process itself where the system names it by a handle, not by its id.
  NativeHandle process_ = kNoHandle;
  std::optional<int> status_;
};

}  // namespace platform

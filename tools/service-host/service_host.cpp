#include "service_host.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/child_process.h"
#include "platform/console_interrupt.h"
#include "platform/posix/notify_socket.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kPollMs = 20;

struct PendingControl {
  Clock::time_point due;
  int n;  // user control 128 + n; -1 for the stop control
};

void PrintLine(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

void PrintStatus(std::string message) {
  while (!message.empty() && message.back() == '\n') message.pop_back();
  for (std::size_t at = message.find('\n'); at != std::string::npos; at = message.find('\n', at)) {
    message.replace(at, 1, "; ");
  }
  PrintLine("status: " + message);
}

std::vector<PendingControl> ScheduleOf(const HostOptions& options, Clock::time_point start) {
  auto at = [start](double seconds) {
    return start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  };
  std::vector<PendingControl> schedule;
  for (const UserControlAt& control : options.controls) schedule.push_back({at(control.seconds), control.n});
  if (options.stopAfterSeconds) schedule.push_back({at(*options.stopAfterSeconds), -1});
  return schedule;
}

void SendControl(platform::ChildProcess& child, int n) {
  if (n < 0) {
    if (child.RequestStop()) PrintLine("control: stop");
  } else if (child.SendUserControl(n)) {
    PrintLine("control: " + std::to_string(128 + n));
  } else {
    PrintLine("service-host: cannot send user control " + std::to_string(128 + n));
  }
}

void SendDueControls(platform::ChildProcess& child, std::vector<PendingControl>& schedule) {
  const Clock::time_point now = Clock::now();
  for (auto it = schedule.begin(); it != schedule.end();) {
    if (it->due <= now) {
      SendControl(child, it->n);
      it = schedule.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace

int RunServiceHost(const HostOptions& options) {
  platform::NotifySocket notify;
  if (!notify.Open()) {
    PrintLine("service-host: cannot open a notify socket: " + std::string(std::strerror(errno)));
    return 127;
  }
  platform::CatchConsoleInterrupt();
  platform::ChildProcess child;
  platform::ChildSetup setup;
  setup.environment = {{"NOTIFY_SOCKET", notify.Address()}};
  setup.ownProcessGroup = true;
  int error = 0;
  if (!child.Start(options.program, options.arguments, setup, &error)) {
    PrintLine("service-host: cannot start " + options.program + ": " + std::strerror(error));
    return 127;
  }
  PrintLine("service-host: started " + options.program + " (process " + std::to_string(child.ProcessId()) + ")");
  std::vector<PendingControl> schedule = ScheduleOf(options, Clock::now());
  bool interruptForwarded = false;
  for (;;) {
    if (std::optional<std::string> message = notify.Receive(kPollMs)) PrintStatus(*message);
    if (platform::ConsoleInterruptRequested() && !interruptForwarded) {
      interruptForwarded = true;
      SendControl(child, -1);
    }
    SendDueControls(child, schedule);
    if (std::optional<int> status = child.Wait(0)) {
      while (std::optional<std::string> message = notify.Receive(0)) PrintStatus(*message);
      PrintLine("service-host: " + options.program + " exited with status " + std::to_string(*status));
      return *status;
    }
  }
}

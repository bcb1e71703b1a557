#include "platform/service_manager.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <systemd/sd-daemon.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "common/directories.h"
#include "platform/critical_section.h"
#include "platform/file_io.h"
#include "platform/last_error.h"
#include "common/ascii_text.h"
#include "platform/root.h"
#include "platform/posix/systemd_service.h"

namespace platform {

namespace {

// How long systemd lets an installed service start.
constexpr const char* kServiceStartTimeout = "5min";
// How long systemd waits for the running service's sign of health before it
// kills it, and restarts it.
constexpr const char* kServiceWatchdogTimeout = "3min";

// Codes in the control pipe besides the control codes themselves.
constexpr std::uint32_t kStateChanged = 0xFFFFFFFE;
constexpr std::uint32_t kServiceMainEnded = 0xFFFFFFFF;

// The running dispatcher's service, its handler, and the pipe through which
// signals and the service thread wake the dispatcher.
struct Dispatcher {
  CriticalSection mutex;
  bool active GUARDED_BY(mutex) = false;
  std::string name GUARDED_BY(mutex);
  ServiceHandlerFunction handler GUARDED_BY(mutex) = nullptr;
  std::uint32_t reportedState GUARDED_BY(mutex) = 0;  // 0 until the first status report
  ServiceStatusHandle handle GUARDED_BY(mutex) = 0;   // numbers the dispatcher's runs from 1
  std::string runningText GUARDED_BY(mutex);          // the last SetServiceStatusText
  // Read in signal context, where no lock may be taken: set up once.
  int pipeRead = -1;
  int pipeWrite = -1;
};

Dispatcher& TheDispatcher() {
  static Dispatcher dispatcher;
  return dispatcher;
}

// Called in signal context: only async-signal-safe work.
void WriteControlCode(std::uint32_t code) {
  const int savedErrno = errno;
  const int fd = TheDispatcher().pipeWrite;
  if (fd >= 0) {
    [[maybe_unused]] ssize_t written = write(fd, &code, sizeof code);
  }
  errno = savedErrno;
}

void OnControlSignal(int signal) {
  if (signal == SIGTERM || signal == SIGINT) {
    WriteControlCode(SERVICE_CONTROL_STOP);
  } else {
    WriteControlCode(SERVICE_CONTROL_USER + static_cast<std::uint32_t>(signal - SIGRTMIN));
  }
}

// Creates the control pipe and routes the control signals into it, once per
// process; the handlers stay in place, so that a late signal never kills a
// service that is ending.
bool InstallControlSignals() {
  static int error = [] {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return errno;
    TheDispatcher().pipeRead = fds[0];
    TheDispatcher().pipeWrite = fds[1];
    struct sigaction action {};
    action.sa_handler = OnControlSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    int signals[] = {SIGTERM, SIGINT};
    for (int signal : signals) sigaction(signal, &action, nullptr);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaction(signal, &action, nullptr);
    return 0;
  }();
  SetLastError(error);
  return error == 0;
}

void DrainControlPipe(int fd) {
  std::array<std::uint32_t, 64> codes;
  while (read(fd, codes.data(), sizeof codes) > 0) {
  }
}

// Waits for the next codes of the control pipe; empty after a failed wait.
std::vector<std::uint32_t> ReadControlCodes(int fd) {
  pollfd readable{fd, POLLIN, 0};
  if (poll(&readable, 1, -1) < 0 && errno != EINTR) return {};
  std::array<std::uint32_t, 64> codes;
  const ssize_t got = read(fd, codes.data(), sizeof codes);
  if (got <= 0) return {};
  return {codes.begin(), codes.begin() + got / static_cast<ssize_t>(sizeof(std::uint32_t))};
}

// The codes that the service takes in its state: none before its first
// report, only the stop control while its start is pending (so that a long
// start can be given up), all of them later.
bool TakesControl(std::uint32_t state, std::uint32_t code) {
  if (state == 0) return false;
  return state != SERVICE_START_PENDING || code == SERVICE_CONTROL_STOP;
}

// Delivers the waiting control codes that the service can take; the others
// wait for a later state.
void DeliverWaiting(Dispatcher& dispatcher, std::vector<std::uint32_t>& waiting) {
  ServiceHandlerFunction handler;
  std::uint32_t state;
  {
    ScopedLock lock(dispatcher.mutex);
    handler = dispatcher.handler;
    state = dispatcher.reportedState;
  }
  if (state == SERVICE_STOPPED) {
    waiting.clear();
    return;
  }
  if (handler == nullptr) return;
  std::vector<std::uint32_t> codes;
  codes.swap(waiting);
  for (std::uint32_t code : codes) {
    if (TakesControl(state, code)) {
      handler(code);
    } else {
      waiting.push_back(code);
    }
  }
}

// Delivers control codes until the service thread reports its end.
void DeliverControls(Dispatcher& dispatcher) {
  std::vector<std::uint32_t> waiting;
  for (;;) {
    for (std::uint32_t code : ReadControlCodes(dispatcher.pipeRead)) {
      if (code == kServiceMainEnded) return;
      if (code != kStateChanged) waiting.push_back(code);
    }
    DeliverWaiting(dispatcher, waiting);
  }
}

std::string UnitNameOf(const std::string& service) {
  if (common::EqualsIgnoreCase(service, "Spooler")) return "cups.service";
  return service + ".service";
}

// ExecStart takes a C-style quoted word, so that any path survives.
std::string QuotedCommand(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

bool UserExists(const std::string& account) {
  passwd entry{};
  passwd* found = nullptr;
  std::array<char, 4096> buffer;
  return getpwnam_r(account.c_str(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr;
}

std::string UnitFileText(const ServiceDefinition& service) {
  std::string after;
  for (const std::string& dependency : service.dependencies) after += (after.empty() ? "" : " ") + UnitNameOf(dependency);
  std::string text = "[Unit]\nDescription=" + service.displayName + "\n";
  if (!after.empty()) text += "After=" + after + "\n";
  text += "\n[Service]\nType=notify\nExecStart=" + QuotedCommand(service.programPath) + "\n";
  // A start may wait for slow networks longer than systemd's default 90 s;
  // a stop is taken during the start, so waiting long delays no shutdown.
  text += "TimeoutStartSec=" + std::string(kServiceStartTimeout) + "\n";
  text += "WatchdogSec=" + std::string(kServiceWatchdogTimeout) + "\nRestart=on-watchdog\n";
  if (!service.account.empty() && UserExists(service.account)) text += "User=" + service.account + "\n";
  text += "\n[Install]\nWantedBy=multi-user.target\n";
  return text;
}

std::string ParentOf(const std::string& path) { return path.substr(0, path.find_last_of('/')); }

}  // namespace

std::string ServiceUnitPath(const std::string& name) { return RootPath("etc/systemd/system/" + name + ".service"); }

bool IsServiceInstalled(const std::string& name) {
  if (access(ServiceUnitPath(name).c_str(), F_OK) == 0) return true;
  SetLastError(errno);
  return false;
}

bool InstallService(const ServiceDefinition& service) {
  const std::string unitPath = ServiceUnitPath(service.name);
  if (IsServiceInstalled(service.name)) {
    SetLastError(EEXIST);
    return false;
  }
  if (const std::error_code error = common::CreateDirectories(ParentOf(unitPath))) {
    SetLastError(error.value());
    return false;
  }
  const FileResult result = WriteFileAtomically(unitPath, UnitFileText(service));
  SetLastError(result.systemError);
  return result.ok();
}

bool RemoveService(const std::string& name) {
  if (unlink(ServiceUnitPath(name).c_str()) == 0) return true;
  SetLastError(errno);
  return false;
}

bool StartServiceCtrlDispatcher(const std::string& name, ServiceMainFunction serviceMain) {
  const char* notifySocket = std::getenv("NOTIFY_SOCKET");
  if (notifySocket == nullptr || *notifySocket == '\0' || serviceMain == nullptr) {
    SetLastError(ENOTCONN);
    return false;
  }
  if (!InstallControlSignals()) return false;
  Dispatcher& dispatcher = TheDispatcher();
  {
    ScopedLock lock(dispatcher.mutex);
    if (dispatcher.active) {
      SetLastError(EALREADY);
      return false;
    }
    dispatcher.active = true;
    dispatcher.name = name;
    dispatcher.handler = nullptr;
    dispatcher.reportedState = 0;
    dispatcher.runningText.clear();
    ++dispatcher.handle;
  }
  DrainControlPipe(dispatcher.pipeRead);
  std::string argument = name;
  char* argv[] = {argument.data(), nullptr};
  std::thread serviceThread([&] {
    serviceMain(1, argv);
    WriteControlCode(kServiceMainEnded);
  });
  DeliverControls(dispatcher);
  serviceThread.join();
  ScopedLock lock(dispatcher.mutex);
  dispatcher.active = false;
  dispatcher.handler = nullptr;
  return true;
}

ServiceStatusHandle RegisterServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler) {
  Dispatcher& dispatcher = TheDispatcher();
  {
    ScopedLock lock(dispatcher.mutex);
    if (!dispatcher.active || dispatcher.name != name || handler == nullptr) {
      SetLastError(ENOENT);
      return 0;
    }
    dispatcher.handler = handler;
    return dispatcher.handle;
  }
}

namespace {

bool IsCurrentHandle(const Dispatcher& dispatcher, ServiceStatusHandle handle) REQUIRES(dispatcher.mutex) {
  return handle != 0 && handle == dispatcher.handle && dispatcher.handler != nullptr;
}

bool Notify(const std::string& message) {
  const int result = sd_notify(0, message.c_str());
  if (result > 0) return true;
  SetLastError(result < 0 ? -result : ENOTCONN);
  return false;
}

}  // namespace

bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatus& status) {
  Dispatcher& dispatcher = TheDispatcher();
  std::string runningText;
  {
    ScopedLock lock(dispatcher.mutex);
    if (!IsCurrentHandle(dispatcher, handle)) {
      SetLastError(EINVAL);
      return false;
    }
    dispatcher.reportedState = status.currentState;
    runningText = dispatcher.runningText;
  }
  WriteControlCode(kStateChanged);
  return Notify(NotifyMessageOf(status, runningText));
}

bool SetServiceStatusText(ServiceStatusHandle handle, const std::string& text) {
  Dispatcher& dispatcher = TheDispatcher();
  {
    ScopedLock lock(dispatcher.mutex);
    if (!IsCurrentHandle(dispatcher, handle) || dispatcher.reportedState != SERVICE_RUNNING) {
      SetLastError(EINVAL);
      return false;
    }
    dispatcher.runningText = text;
  }
  return Notify("STATUS=" + text);
}

std::uint64_t ServiceWatchdogIntervalMs() {
  std::uint64_t microseconds = 0;
  if (sd_watchdog_enabled(0, &microseconds) <= 0) return 0;
  return std::max<std::uint64_t>(microseconds / 1000, 1);
}

bool NotifyServiceWatchdog() { return Notify("WATCHDOG=1"); }

std::string NotifyMessageOf(const ServiceStatus& status, const std::string& runningText) {
  std::string message;
  const bool running = status.currentState == SERVICE_RUNNING;
  if (running) message += "READY=1\n";
  if (status.currentState == SERVICE_STOP_PENDING || status.currentState == SERVICE_STOPPED) message += "STOPPING=1\n";
  message += "STATUS=" + (running && !runningText.empty() ? runningText : ServiceStateName(status.currentState));
  if (status.currentState == SERVICE_STOPPED && status.win32ExitCode != 0) {
    message += "\nERRNO=" + std::to_string(status.win32ExitCode);
  }
  return message;
}

}  // namespace platform

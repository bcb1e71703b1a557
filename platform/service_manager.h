#pragma once
// The service control manager: installing and removing a service, and the
// calls of a program that the service manager runs as a service: handing a
// thread to the manager, receiving its control codes (stop, and user control
// codes from 128) and reporting the service's status.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr std::uint32_t SERVICE_WIN32_OWN_PROCESS = 0x10;
constexpr std::uint32_t SERVICE_INTERACTIVE_PROCESS = 0x100;

constexpr std::uint32_t SERVICE_STOPPED = 1;
constexpr std::uint32_t SERVICE_START_PENDING = 2;
constexpr std::uint32_t SERVICE_STOP_PENDING = 3;
constexpr std::uint32_t SERVICE_RUNNING = 4;
constexpr std::uint32_t SERVICE_CONTINUE_PENDING = 5;
constexpr std::uint32_t SERVICE_PAUSE_PENDING = 6;
constexpr std::uint32_t SERVICE_PAUSED = 7;

constexpr std::uint32_t SERVICE_ACCEPT_STOP = 1;

constexpr std::uint32_t SERVICE_CONTROL_STOP = 1;
constexpr std::uint32_t SERVICE_CONTROL_PAUSE = 2;
constexpr std::uint32_t SERVICE_CONTROL_CONTINUE = 3;
constexpr std::uint32_t SERVICE_CONTROL_INTERROGATE = 4;
constexpr std::uint32_t SERVICE_CONTROL_SHUTDOWN = 5;
constexpr std::uint32_t SERVICE_CONTROL_USER = 128;

struct ServiceStatus {
  std::uint32_t serviceType = 0;
  std::uint32_t currentState = 0;
  std::uint32_t controlsAccepted = 0;
  std::uint32_t win32ExitCode = 0;
  std::uint32_t serviceSpecificExitCode = 0;
  std::uint32_t checkPoint = 0;
  std::uint32_t waitHint = 0;
};

// Non-zero once a control handler is registered.
using ServiceStatusHandle = std::uintptr_t;
using ServiceMainFunction = void (*)(std::uint32_t argc, char** argv);
using ServiceHandlerFunction = void (*)(std::uint32_t control);

struct ServiceDefinition {
  std::string name;
  std::string displayName;
  std::string programPath;                // absolute path of the program
  std::vector<std::string> dependencies;  // services started before this one
  // The system user the service runs as, so that it holds no more rights than
  // its own files give it. On systemd the unit names the user when it exists
  // (a unit naming a missing user never starts); otherwise, and on Windows,
  // the service runs as the service manager's own account.
  std::string account = {};
};

// The failing calls below return false and leave an errno value for
// GetLastError (platform/last_error.h).

bool IsServiceInstalled(const std::string& name);
// Installs the service to start automatically with the system, in a process
// of its own, after its dependencies, running the program named by its
// absolute path (blanks included). Fails with EEXIST when a service of that
// name is installed, and leaves that one as it is.
bool InstallService(const ServiceDefinition& service);
// Fails with ENOENT when the service is not installed.
bool RemoveService(const std::string& name);

// Hands the calling thread to the service manager. When the service manager
// did not start the program, it fails at once with ENOTCONN. Otherwise it
// runs serviceMain on a new thread, delivers the control codes to the
// registered handler on the calling thread, and returns true once the service
// has ended: its last acts are to report itself stopped and to return from
// serviceMain. It holds control codes back while the service has not yet
// reported a state past start pending, the stop control aside, which reaches
// a service whose start is pending; it drops the codes that arrive once the
// service has reported itself stopped.
bool StartServiceCtrlDispatcher(const std::string& name, ServiceMainFunction serviceMain);

// Called by serviceMain: the handler receives the control codes, user control
// codes (128 and up) as they were sent. Returns 0 when no dispatcher runs a
// service of that name.
ServiceStatusHandle RegisterServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler);

// Tells the service manager the service's status.
bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatus& status);

// Tells the service manager, while the service runs, one line of text on how
// it is doing; later reports of the running state keep it. False, with
// nothing sent, when the service is not running. On Windows, whose service
// manager shows no such text, it does nothing.
bool SetServiceStatusText(ServiceStatusHandle handle, const std::string& text);

// How often the service manager wants to hear that the service is healthy,
// in milliseconds; 0 when it watches for no such sign (always on Windows).
std::uint64_t ServiceWatchdogIntervalMs();
// The sign that the service is healthy, due within each watchdog interval.
bool NotifyServiceWatchdog();

// "Stopped", "Start pending", "Stop pending", "Running", ... or "State <n>".
std::string ServiceStateName(std::uint32_t state);

}  // namespace platform

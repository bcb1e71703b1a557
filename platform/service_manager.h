#pragma once
// The service control manager on systemd. A service is installed as the unit
// file root/etc/systemd/system/<name>.service; a program that systemd starts
// finds NOTIFY_SOCKET in its environment, receives SIGTERM or SIGINT as the
// stop control and SIGRTMIN+n as user control code 128+n, and reports its
// status changes with the notify protocol.

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
};

// The unit file of the service: root/etc/systemd/system/<name>.service.
std::string ServiceUnitPath(const std::string& name);

// The failing calls below return false and leave an errno value for
// GetLastError (platform/last_error.h).

bool IsServiceInstalled(const std::string& name);
// Writes the unit file; fails with EEXIST when the service is installed.
bool InstallService(const ServiceDefinition& service);
// Deletes the unit file; fails with ENOENT when the service is not installed.
bool RemoveService(const std::string& name);

// Hands the calling thread to the service manager. Without NOTIFY_SOCKET in
// the environment it fails at once. Otherwise it runs serviceMain on a new
// thread, delivers the control codes to the registered handler on the calling
// thread, and returns true once serviceMain has returned. As the service
// control manager does, it holds control codes back while the service has
// not yet reported a state past start pending, and drops those that arrive
// once it has reported itself stopped.
bool StartServiceCtrlDispatcher(const std::string& name, ServiceMainFunction serviceMain);

// Called by serviceMain: the handler receives the control codes. Returns 0
// when no dispatcher runs a service of that name.
ServiceStatusHandle RegisterServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler);

// Sends the status to the service manager as a notify message (see
// NotifyMessageOf).
bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatus& status);

// The notify message for a status: "READY=1" when running, "STOPPING=1" when
// stopping or stopped, "STATUS=" with the state's name, and "ERRNO=" with a
// non-zero exit code of a stopped service; lines separated by newlines.
std::string NotifyMessageOf(const ServiceStatus& status);
// "Stopped", "Start pending", "Stop pending", "Running", ... or "State <n>".
std::string ServiceStateName(std::uint32_t state);

}  // namespace platform

#include "platform/service_manager.h"

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/last_error.h"
#include "platform/win32/error_number.h"

// <windows.h> names these after their ANSI or wide versions; here they are ours.
#undef StartServiceCtrlDispatcher
#undef RegisterServiceCtrlHandler

// The header's SERVICE_* constants carry the Win32 values; after <windows.h>
// the names are the Win32 macros.

namespace platform {

namespace {

// The service is installed in a process of its own that may show windows on
// the desktop (0x110), started with the system.
constexpr DWORD kServiceType = SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS;

// The one service of the process: the dispatcher's entry points reach the
// caller's functions through these.
std::atomic<ServiceMainFunction> serviceMainFunction{nullptr};
std::atomic<ServiceHandlerFunction> serviceHandlerFunction{nullptr};

void WINAPI ServiceMainEntry(DWORD argc, LPSTR* argv) {
  if (ServiceMainFunction serviceMain = serviceMainFunction.load()) serviceMain(argc, argv);
}

void WINAPI HandlerEntry(DWORD control) {
  if (ServiceHandlerFunction handler = serviceHandlerFunction.load()) handler(control);
}

bool FailWithSystemError() {
  SetLastError(ErrorNumberOf(::GetLastError()));
  return false;
}

// Closes a service control manager or service handle when it goes.
class ScHandle {
 public:
  explicit ScHandle(SC_HANDLE handle) : handle_(handle) {}
  ~ScHandle() {
    if (handle_ != nullptr) CloseServiceHandle(handle_);
  }
  ScHandle(const ScHandle&) = delete;
  ScHandle& operator=(const ScHandle&) = delete;
  explicit operator bool() const { return handle_ != nullptr; }
  SC_HANDLE Get() const { return handle_; }

 private:
  SC_HANDLE handle_;
};

// The text in the ANSI code page as UTF-16, terminators included.
std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

// The names, each with its terminator, and an empty one after the last.
std::wstring DoubleTerminatedList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  return Wide(list + '\0');
}

// Quoted, so that a path with blanks names the program and not the program
// of its first word.
std::string QuotedCommand(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

bool IsServiceInstalled(const std::string& name) {
  ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return FailWithSystemError();
  ScHandle service(OpenServiceA(manager.Get(), name.c_str(), SERVICE_QUERY_CONFIG));
  if (!service) return FailWithSystemError();
  return true;
}

bool InstallService(const ServiceDefinition& definition) {
  ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
  if (!manager) return FailWithSystemError();
  // What CreateServiceA does, done here: Wine's CreateServiceA stores a list
  // of dependencies with bytes from beyond its end.
  const std::wstring name = Wide(definition.name), displayName = Wide(definition.displayName);
  const std::wstring command = Wide(QuotedCommand(definition.programPath));
  const std::wstring dependencies = DoubleTerminatedList(definition.dependencies);
  ScHandle service(CreateServiceW(manager.Get(), name.c_str(), displayName.c_str(), SERVICE_ALL_ACCESS, kServiceType,
                                  SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr,
                                  dependencies.c_str(), nullptr, nullptr));
  if (!service) return FailWithSystemError();
  return true;
}

bool RemoveService(const std::string& name) {
  ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return FailWithSystemError();
  ScHandle service(OpenServiceA(manager.Get(), name.c_str(), DELETE));
  if (!service) return FailWithSystemError();
  if (!DeleteService(service.Get())) return FailWithSystemError();
  return true;
}

bool StartServiceCtrlDispatcher(const std::string& name, ServiceMainFunction serviceMain) {
  if (serviceMain == nullptr) {
    SetLastError(EINVAL);
    return false;
  }
  ServiceMainFunction none = nullptr;
  if (!serviceMainFunction.compare_exchange_strong(none, serviceMain)) {
    SetLastError(EALREADY);
    return false;
  }
  std::string serviceName = name;
  SERVICE_TABLE_ENTRYA table[] = {{serviceName.data(), ServiceMainEntry}, {nullptr, nullptr}};
  // Fails with ERROR_FAILED_SERVICE_CONTROLLER_CONNECT (ENOTCONN) in a program
  // that the manager did not start: at once on Windows, after 10 seconds
  // under Wine.
  const bool dispatched = StartServiceCtrlDispatcherA(table) != FALSE;
  if (!dispatched) FailWithSystemError();
  serviceMainFunction = nullptr;
  serviceHandlerFunction = nullptr;
  return dispatched;
}

ServiceStatusHandle RegisterServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler) {
  if (handler == nullptr) {
    SetLastError(EINVAL);
    return 0;
  }
  // In place before the manager may call it; the handler of an earlier
  // registration stays when this one fails.
  const ServiceHandlerFunction previous = serviceHandlerFunction.exchange(handler);
  SERVICE_STATUS_HANDLE handle = RegisterServiceCtrlHandlerA(name.c_str(), HandlerEntry);
  if (handle == nullptr) {
    FailWithSystemError();
    serviceHandlerFunction = previous;
    return 0;
  }
  return reinterpret_cast<ServiceStatusHandle>(handle);
}

bool SetServiceStatus(ServiceStatusHandle handle, const ServiceStatus& status) {
  SERVICE_STATUS report{};
  report.dwServiceType = status.serviceType;
  report.dwCurrentState = status.currentState;
  report.dwControlsAccepted = status.controlsAccepted;
  report.dwWin32ExitCode = status.win32ExitCode;
  report.dwServiceSpecificExitCode = status.serviceSpecificExitCode;
  report.dwCheckPoint = status.checkPoint;
  report.dwWaitHint = status.waitHint;
  if (handle == 0) {
    SetLastError(EINVAL);
    return false;
  }
  if (!::SetServiceStatus(reinterpret_cast<SERVICE_STATUS_HANDLE>(handle), &report)) return FailWithSystemError();
  return true;
}

// The service control manager shows no text of a service and watches for no
// sign of health.
bool SetServiceStatusText(ServiceStatusHandle /*handle*/, const std::string& /*text*/) { return true; }

std::uint64_t ServiceWatchdogIntervalMs() { return 0; }

bool NotifyServiceWatchdog() { return true; }

}  // namespace platform

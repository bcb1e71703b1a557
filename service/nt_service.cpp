#include "service/nt_service.h"

#include <chrono>
#include <thread>

#include "platform/last_error.h"
#include "platform/path_search.h"
#include "platform/registry.h"
#include "service/service_messages.h"
#include "service/service_trace.h"

namespace {

constexpr std::size_t kServiceNameSize = 64;  // 63 characters and the terminator
char serviceName[kServiceNameSize] = "";
CNTService* instance = nullptr;

constexpr const char* kEventSourceKeyPrefix = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";
constexpr std::uint32_t kTypesSupported = 7;  // error, warning and information

unsigned long AsUnsigned(std::uintptr_t value) { return static_cast<unsigned long>(value); }

}  // namespace

CNTService::CNTService(const char* name) {
  std::snprintf(serviceName, sizeof serviceName, "%s", name ? name : "");
  instance = this;
  status.serviceType = platform::SERVICE_WIN32_OWN_PROCESS;
  status.currentState = platform::SERVICE_STOPPED;
  status.controlsAccepted = platform::SERVICE_ACCEPT_STOP;
}

CNTService::~CNTService() {
  Trace("CNTService::~CNTService()");
  if (eventSource_ != nullptr) platform::DeregisterEventSource(eventSource_);
  if (instance == this) instance = nullptr;
}

const char* CNTService::ServiceName() { return serviceName; }
CNTService* CNTService::Instance() { return instance; }

void CNTService::Run() {
  Trace("Entering CNTService::Run()");
  while (IsRunning()) {
    Trace("Sleeping...");
    std::this_thread::sleep_for(std::chrono::milliseconds(5000));
  }
  Trace("Leaving CNTService::Run()");
}

bool CNTService::OnInit() {
  Trace("CNTService::OnInit()");
  return true;
}

void CNTService::OnStop() { Trace("CNTService::OnStop()"); }
void CNTService::OnInterrogate() { Trace("CNTService::OnInterrogate()"); }
void CNTService::OnPause() { Trace("CNTService::OnPause()"); }
void CNTService::OnContinue() { Trace("CNTService::OnContinue()"); }
void CNTService::OnShutdown() { Trace("CNTService::OnShutdown()"); }

bool CNTService::OnUserControl(std::uint32_t control) {
  Trace("CNTService::OnUserControl(%8.8lXH)", static_cast<unsigned long>(control));
  return false;
}

bool CNTService::HandleCommandLine(const std::string& commandLine) {
  if (commandLine == "-v") {
    Trace("%s Version %d.%d\n", serviceName, majorVersion, minorVersion);
    Trace("The service is %s installed\n", IsServiceInstalled() ? "currently" : "not");
    return true;
  }
  if (commandLine == "-i") {
    if (IsServiceInstalled()) {
      Trace("%s is already installed\n", serviceName);
    } else if (InstallService()) {
      Trace("%s installed\n", serviceName);
    } else {
      Trace("%s failed to install. Error %d\n", serviceName, platform::GetLastError());
    }
    return true;
  }
  if (commandLine == "-u") {
    if (!IsServiceInstalled()) {
      Trace("%s is not installed\n", serviceName);
    } else if (RemoveService()) {
      Trace("%s removed. (You must delete the file (%s) yourself.)\n", serviceName, platform::ProgramPath().c_str());
    } else {
      Trace("Could not remove %s. Error %d\n", serviceName, platform::GetLastError());
    }
    return true;
  }
  return false;
}

bool CNTService::IsServiceInstalled() { return platform::IsServiceInstalled(serviceName); }

bool CNTService::InstallService() {
  const std::string programPath = platform::ProgramPath();
  if (!platform::InstallService({serviceName, kDisplayName, programPath, {"Spooler"}, kServiceAccount})) return false;
  // The event log finds the message texts in the program file.
  platform::RegistryKey key;
  int error = platform::RegistryKey::Create(platform::HKEY_LOCAL_MACHINE, kEventSourceKeyPrefix + std::string(serviceName), key);
  if (error == 0) error = key.SetString("EventMessageFile", programPath, platform::RegistryType::ExpandString);
  if (error == 0) error = key.SetDword("TypesSupported", kTypesSupported);
  if (error != 0) {
    platform::SetLastError(error);
    return false;
  }
  ReportEventMessage(platform::EVENTLOG_INFORMATION_TYPE, MSG_SERVICE_INSTALLED, serviceName);
  return true;
}

bool CNTService::RemoveService() {
  if (!IsServiceInstalled()) return false;
  if (platform::RemoveService(serviceName)) {
    ReportEventMessage(platform::EVENTLOG_INFORMATION_TYPE, MSG_SERVICE_REMOVED, serviceName);
    return true;
  }
  const int error = platform::GetLastError();
  ReportEventMessage(platform::EVENTLOG_ERROR_TYPE, MSG_SERVICE_NOT_REMOVED, serviceName);
  platform::SetLastError(error);
  return false;
}

bool CNTService::RunDispatcher() {
  Trace("Calling StartServiceCtrlDispatcher()");
  const bool result = platform::StartServiceCtrlDispatcher(serviceName, ServiceMain);
  Trace("Returned from StartServiceCtrlDispatcher()");
  return result;
}

void CNTService::ServiceMain(std::uint32_t /*argc*/, char** /*argv*/) {
  CNTService* service = instance;
  Trace("Entering CNTService::ServiceMain()");
  {
    platform::ScopedLock lock(service->statusLock_);
    service->status.currentState = platform::SERVICE_START_PENDING;
  }
  service->statusHandle = platform::RegisterServiceCtrlHandler(serviceName, Handler);
  if (service->statusHandle == 0) {
    service->ReportEventMessage(platform::EVENTLOG_ERROR_TYPE, MSG_HANDLER_NOT_INSTALLED);
    return;
  }
  // Running is set before Initialize reports the running state, so that a
  // stop control that follows that report at once is never overwritten.
  service->running = 1;
  if (service->Initialize()) {
    {
      platform::ScopedLock lock(service->statusLock_);
      service->status.win32ExitCode = 0;
      service->status.checkPoint = 0;
      service->status.waitHint = 0;
    }
    service->Run();
  }
  service->running = 0;
  service->SetStatus(platform::SERVICE_STOPPED);
  Trace("Leaving CNTService::ServiceMain()");
}

bool CNTService::Initialize() {
  Trace("Entering CNTService::Initialize()");
  SetStatus(platform::SERVICE_START_PENDING);
  const bool initialized = OnInit();
  {
    platform::ScopedLock lock(statusLock_);
    status.win32ExitCode = static_cast<std::uint32_t>(platform::GetLastError());
    status.checkPoint = 0;
    status.waitHint = 0;
  }
  if (!initialized) {
    ReportEventMessage(platform::EVENTLOG_ERROR_TYPE, MSG_SERVICE_INIT_FAILED, serviceName);
    SetStatus(platform::SERVICE_STOPPED);
    return false;
  }
  // A stop control during the start ends the service without its running
  // ever being reported; the stop has been reported already.
  if (stopRequested_.IsSignalled()) {
    Trace("Stopped while starting");
    return false;
  }
  ReportEventMessage(platform::EVENTLOG_INFORMATION_TYPE, MSG_SERVICE_STARTED, serviceName);
  SetStatus(platform::SERVICE_RUNNING);
  Trace("Leaving CNTService::Initialize()");
  return true;
}

void CNTService::SetStatus(std::uint32_t state) {
  Trace("CNTService::SetStatus(%lu, %lu)", AsUnsigned(statusHandle), static_cast<unsigned long>(state));
  // Sent under the lock, so that the manager gets the reports in the order
  // the states were set, whoever sets them.
  platform::ScopedLock lock(statusLock_);
  status.currentState = state;
  platform::SetServiceStatus(statusHandle, status);
  if (state == platform::SERVICE_STOPPED) stopReported_ = true;
}

void CNTService::SetStatusText(const std::string& text) {
  platform::ScopedLock lock(statusLock_);
  if (stopReported_ || status.currentState != platform::SERVICE_RUNNING) return;
  platform::SetServiceStatusText(statusHandle, text);
}

platform::ServiceStatus CNTService::CurrentStatus() const {
  platform::ScopedLock lock(statusLock_);
  return status;
}

void CNTService::Handler(std::uint32_t control) {
  CNTService* service = instance;
  Trace("CNTService::Handler(%lu)", static_cast<unsigned long>(control));
  switch (control) {
    case platform::SERVICE_CONTROL_STOP:
      service->SetStatus(platform::SERVICE_STOP_PENDING);
      service->OnStop();
      service->running = 0;
      service->stopRequested_.Set();
      service->ReportEventMessage(platform::EVENTLOG_INFORMATION_TYPE, MSG_SERVICE_STOPPED, serviceName);
      break;
    case platform::SERVICE_CONTROL_PAUSE: service->OnPause(); break;
    case platform::SERVICE_CONTROL_CONTINUE: service->OnContinue(); break;
    case platform::SERVICE_CONTROL_INTERROGATE: service->OnInterrogate(); break;
    case platform::SERVICE_CONTROL_SHUTDOWN: service->OnShutdown(); break;
    default:
      if (control < platform::SERVICE_CONTROL_USER || !service->OnUserControl(control)) {
        service->ReportEventMessage(platform::EVENTLOG_ERROR_TYPE, MSG_INVALID_REQUEST, serviceName);
      }
  }
  service->ReportCurrentStatus();
}

// A service reported stopped (its thread can end as soon as a stop control
// is taken) is never reported as anything else afterwards.
void CNTService::ReportCurrentStatus() {
  platform::ScopedLock lock(statusLock_);
  if (stopReported_) return;
  Trace("Updating status (%lu, %lu)", AsUnsigned(statusHandle), static_cast<unsigned long>(status.currentState));
  platform::SetServiceStatus(statusHandle, status);
}

void CNTService::ReportEventMessage(std::uint16_t type, std::uint32_t eventId, const char* string1,
                                    const char* string2, const char* string3) {
  const char* strings[] = {string1, string2, string3};
  std::size_t count = 0;
  for (const char* text : strings) count += text != nullptr ? 1 : 0;
  platform::ScopedLock lock(eventSourceLock_);
  if (eventSource_ == nullptr) eventSource_ = platform::RegisterEventSource(serviceName, ServiceMessageTable());
  if (eventSource_ != nullptr) {
    platform::ReportEvent(eventSource_, type, 0, eventId, std::span<const char* const>(strings, count));
  }
}

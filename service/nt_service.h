#pragma once
// CNTService: a reusable service class. It carries out the command line that
// installs, removes and queries the service, hands the process to the service
// control manager, answers its control codes, reports the service's status,
// writes the service's event-log messages and its debug trace. A program
// derives one class from it and replaces Run, OnInit and OnUserControl.

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/event_log.h"
#include "platform/service_manager.h"

class CNTService {
 public:
  explicit CNTService(const char* serviceName);
  virtual ~CNTService();
  CNTService(const CNTService&) = delete;
  CNTService& operator=(const CNTService&) = delete;

  virtual void Run();
  virtual bool OnInit();
  virtual void OnStop();
  virtual void OnInterrogate();
  virtual void OnPause();
  virtual void OnContinue();
  virtual void OnShutdown();
  virtual bool OnUserControl(std::uint32_t control);

  // True when the text was "-v", "-i" or "-u" and has been carried out; false
  // when the program shall run as a service.
  bool HandleCommandLine(const std::string& commandLine);
  bool IsServiceInstalled();
  bool InstallService();
  bool RemoveService();

  // Hands the calling thread to the service control manager until the service
  // has stopped; false at once when the manager did not start the program.
  bool RunDispatcher();
  static void ServiceMain(std::uint32_t argc, char** argv);
  static void Handler(std::uint32_t control);

  bool Initialize();
  void SetStatus(std::uint32_t state) EXCLUDES(statusLock_);
  // Tells the service control manager how the running service is doing; no
  // text goes out before it runs or once it is stopping.
  void SetStatusText(const std::string& text) EXCLUDES(statusLock_);
  // Strings may be null; the non-null ones come first.
  void ReportEventMessage(std::uint16_t type, std::uint32_t eventId, const char* string1 = nullptr,
                          const char* string2 = nullptr, const char* string3 = nullptr);

  static const char* ServiceName();
  static CNTService* Instance();

  static constexpr const char* kDisplayName = "Korvane Event Adapter for Tivoli";
  // The system user that the package makes and that owns the service's state.
  static constexpr const char* kServiceAccount = "korevnts";

  std::int32_t majorVersion = 1;
  std::int32_t minorVersion = 0;
  platform::ServiceStatusHandle statusHandle = 0;
  // Written by the service thread and the control handler.
  platform::ServiceStatus status GUARDED_BY(statusLock_);
  bool stopReported_ GUARDED_BY(statusLock_) = false;
  // 1 while the work loop shall run; cleared by the stop control.
  std::atomic<std::int32_t> running{0};

  platform::ServiceStatus CurrentStatus() const EXCLUDES(statusLock_);

  // Signalled by the stop control and never reset, so that a start that is
  // still under way can see the stop and give up.
  platform::Event& StopRequestedEvent() { return stopRequested_; }

 protected:
  bool IsRunning() const { return running.load() != 0; }

 private:
  void ReportCurrentStatus() EXCLUDES(statusLock_);

  platform::Event stopRequested_{true, false};
  mutable platform::CriticalSection statusLock_;
  platform::CriticalSection eventSourceLock_;
  platform::EventSourceHandle eventSource_ GUARDED_BY(eventSourceLock_) = nullptr;
};

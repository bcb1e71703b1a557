#include "service/adapter_app.h"

#include <optional>

#include "platform/event_log.h"
#include "platform/path_search.h"
#include "platform/process_exit.h"
#include "platform/socket_startup.h"
#include "service/service_messages.h"
#include "service/service_trace.h"

namespace {
constexpr std::size_t kSettingsPathSize = 255;
constexpr std::uint32_t kHighestExitStatus = 255;
}  // namespace

int StartFailedExitStatus(std::uint32_t statusExitCode) {
  if (statusExitCode == 0 || statusExitCode > kHighestExitStatus) return kStartFailedExitStatus;
  return static_cast<int>(statusExitCode);
}

AdapterApp::AdapterApp(AdapterService& service, Startup startAdapter, platform::Event& startFailedEvent,
                       platform::Event& stopEvent)
    : service_(service),
      startAdapter_(std::move(startAdapter)),
      startSockets_([] { return platform::StartSockets(1, 1); }),
      startFailedEvent_(startFailedEvent),
      stopEvent_(stopEvent) {}

bool AdapterApp::InitInstance(const std::string& commandLine) {
  commandLine_ = commandLine;
  if (service_.HandleCommandLine(commandLine_)) return false;
  mainThreadId_ = platform::CurrentThreadId();
  // The dispatcher thread's message must find the queue, even when it comes
  // before the message loop runs.
  platform::EnsureMessageQueue();
  if (!startSockets_()) {
    service_.ReportEventMessage(platform::EVENTLOG_INFORMATION_TYPE, MSG_SOCKETS_FAILED, CNTService::ServiceName());
    startFailedEvent_.Set();
    startFinishedEvent_.Set();
    exitStatus_ = 1;
    return false;
  }
  service_.SetStartEvents(&startFailedEvent_, &startFinishedEvent_);
  if (!dispatcherThread_.Start([this] { return DispatcherMain(); })) {
    // Without a dispatcher the service has ended before it began.
    platform::PostThreadMessage(mainThreadId_, ServiceEndedMessage, 0, 0);
  }
  StartUp();
  startFinishedEvent_.Set();
  return true;
}

void AdapterApp::StartUp() {
  const std::optional<std::string> settingsPath = platform::SearchPath(kSettingsFileName, kSettingsPathSize);
  if (!settingsPath) {
    service_.ReportEventMessage(platform::EVENTLOG_INFORMATION_TYPE, MSG_SETTINGS_NOT_FOUND, CNTService::ServiceName(),
                                kSettingsFileName);
    FailStart();
    return;
  }
  if (!startAdapter_ || !startAdapter_(*settingsPath, stopEvent_)) {
    if (stopEvent_.IsSignalled()) {
      Trace("The start-up was given up: the service has stopped");
      return;
    }
    service_.ReportEventMessage(platform::EVENTLOG_INFORMATION_TYPE, MSG_TEC_HANDLER_FAILED, CNTService::ServiceName());
    FailStart();
  }
}

void AdapterApp::FailStart() {
  startFailed_ = true;
  startFailedEvent_.Set();
}

std::uint32_t AdapterApp::DispatcherMain() {
  service_.RunDispatcher();
  // Signalled here as well as on the main thread, so that a start-up still
  // running there sees that the service has ended.
  stopEvent_.Set();
  platform::PostThreadMessage(mainThreadId_, ServiceEndedMessage, 0, 0);
  EndAStartThatDoesNotGiveUp();
  return service_.CurrentStatus().win32ExitCode;
}

// A start-up held inside a call that does not return (an engine waiting for
// printers that do not answer) would keep the stopped service's process
// alive; it is ended without the start-up once that has had its time.
void AdapterApp::EndAStartThatDoesNotGiveUp() {
  if (startFinishedEvent_.Wait(kStartGiveUpMs)) return;
  Trace("The start-up has not ended %lu ms after the service stopped; ending the process",
        static_cast<unsigned long>(kStartGiveUpMs));
  platform::EndProcessNow(exitStatus_);
}

int AdapterApp::MessageLoop() {
  platform::Message message;
  while (platform::GetMessage(message)) {
    if (message.window == nullptr && message.message == ServiceEndedMessage) OnServiceEnded();
    platform::DispatchMessage(message);
  }
  return static_cast<int>(message.wParam);
}

void AdapterApp::OnServiceEnded() {
  // The dispatcher thread ends right after posting the message; joined, it
  // leaves nothing behind when the process exits from this thread.
  dispatcherThread_.Join();
  stopEvent_.Set();
  // A service that never started its work ends the process with a failure, so
  // that the service manager and its monitors can tell it from a stop.
  if (startFailed_) exitStatus_ = StartFailedExitStatus(service_.CurrentStatus().win32ExitCode);
  platform::SetProcessExitStatus(exitStatus_);
  platform::ExitCurrentThread(kMainThreadExitCode);
}

#pragma once
// AdapterApp: the program's process start. It carries out a command, or hands
// a thread to the service control manager, finds the settings file, runs the
// adapter's start-up on the main thread and serves the main thread's messages
// until the service control manager lets go of the service.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/event.h"
#include "platform/thread.h"
#include "messages/window.h"
#include "service/adapter_service.h"

// Posted to the main thread when the dispatcher has returned.
constexpr platform::MessageId ServiceEndedMessage = 0x84C;
constexpr std::uint32_t kMainThreadExitCode = 797;
constexpr const char* kSettingsFileName = "KorEvntS.ini";
// The process's exit status after a failed start whose status record holds
// no exit code that fits an exit status (1 to 255).
constexpr int kStartFailedExitStatus = 1;
// How long a start-up still under way when the service has stopped may take
// to give up by itself before the process ends without it.
constexpr std::uint32_t kStartGiveUpMs = 3000;

// The exit status of a process whose service stopped without having started:
// the status record's exit code when it is 1 to 255, else
// kStartFailedExitStatus.
int StartFailedExitStatus(std::uint32_t statusExitCode);

class AdapterApp {
 public:
  // The adapter's start-up: the settings file's full path and the stop event;
  // true when everything has started.
  using Startup = std::function<bool(const std::string& settingsPath, platform::Event& stopEvent)>;
  using SocketStartup = std::function<bool()>;

  AdapterApp(AdapterService& service, Startup startAdapter, platform::Event& startFailedEvent,
             platform::Event& stopEvent);
  AdapterApp(const AdapterApp&) = delete;
  AdapterApp& operator=(const AdapterApp&) = delete;

  // The process start: false when the process shall end at once (a command
  // was carried out, or sockets could not be started), true when the calling
  // thread shall run MessageLoop.
  bool InitInstance(const std::string& commandLine);

  // The process's exit status when InitInstance returned false: 0 after a
  // command, 1 when sockets could not be started. Once the service has ended:
  // 0 after a start that succeeded, StartFailedExitStatus after one that failed.
  int ExitStatus() const { return exitStatus_; }

  // The main thread's message loop. On ServiceEndedMessage it signals the stop
  // event, sets the process's exit status to ExitStatus and ends the thread
  // with exit code 797; returns only on WM_QUIT.
  int MessageLoop();

  // Sockets start-up; replaceable so that its failure can be tried.
  void SetSocketStartup(SocketStartup startup) { startSockets_ = std::move(startup); }

  // The dispatcher thread, once started.
  platform::Thread& DispatcherThread() { return dispatcherThread_; }

 private:
  void StartUp();
  void FailStart();
  std::uint32_t DispatcherMain();
  void EndAStartThatDoesNotGiveUp();
  [[noreturn]] void OnServiceEnded();

  AdapterService& service_;
  Startup startAdapter_;
  SocketStartup startSockets_;
  platform::Event& startFailedEvent_;
  platform::Event& stopEvent_;
  // Signalled once the start-up has ended, whether it failed, gave up or not.
  platform::Event startFinishedEvent_{true, false};
  std::string commandLine_;
  std::atomic<int> exitStatus_{0};
  bool startFailed_ = false;  // the start-up failed (main thread only)
  platform::ThreadId mainThreadId_ = 0;
  platform::Thread dispatcherThread_;
};

// AdapterService and AdapterApp: the status values under the registry key,
// the process start, the start-up messages and the end of the main thread.

#include "service/adapter_app.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "platform/registry.h"
#include "platform/thread.h"
#include "service/status_line.h"
#include "tests/service/service_test_environment.h"

namespace {

using namespace service_test;
using Lines = std::vector<std::string>;

constexpr const char* kParametersKey = "SYSTEM\\CurrentControlSet\\Services\\KorEvntS\\Parameters";
constexpr const char* kStatusKey = "SYSTEM\\CurrentControlSet\\Services\\KorEvntS\\Status";

void WriteParameters(std::uint32_t start, std::uint32_t increment) {
  platform::RegistryKey key;
  ASSERT_EQ(platform::RegistryKey::Create(platform::HKEY_LOCAL_MACHINE, kParametersKey, key), 0);
  ASSERT_EQ(key.SetDword("Start", start), 0);
  ASSERT_EQ(key.SetDword("Inc", increment), 0);
}

std::int64_t SavedCurrent() {
  platform::RegistryKey key;
  std::uint32_t value = 0;
  if (platform::RegistryKey::Open(platform::HKEY_LOCAL_MACHINE, kStatusKey, key) != 0) return -1;
  if (key.QueryDword("Current", value) != 0) return -2;
  return value;
}

TEST(AdapterServiceTest, StatusValuesComeFromParametersAndGoToStatus) {
  TemporaryRoot root;
  WriteParameters(5, 2);
  AdapterService service;
  platform::Event startFailed(false, false), startFinished(true, true);
  service.SetStartEvents(&startFailed, &startFinished);
  ASSERT_TRUE(service.OnInit());
  EXPECT_EQ(service.currentValue.load(), 5);
  {
    TraceCapture trace;
    EXPECT_TRUE(service.OnUserControl(128));
    EXPECT_EQ(trace.Messages(), (Lines{"Saving current status\n", std::string("Creating key: ") + kStatusKey + "\n",
                                       "Saving 'Current' as 5\n"}));
  }
  EXPECT_EQ(SavedCurrent(), 5);
  EXPECT_FALSE(service.OnUserControl(129));
  service.Run();  // not running: adds the increment once and returns
  EXPECT_EQ(service.currentValue.load(), 7);
  service.SaveStatus();
  EXPECT_EQ(SavedCurrent(), 7);
}

TEST(AdapterServiceTest, MissingParametersKeepTheDefaults) {
  TemporaryRoot root;
  AdapterService service;
  platform::Event startFailed(false, false), startFinished(true, true);
  service.SetStartEvents(&startFailed, &startFinished);
  ASSERT_TRUE(service.OnInit());
  service.Run();
  EXPECT_EQ(service.startValue, 0);
  EXPECT_EQ(service.increment, 1);
  EXPECT_EQ(service.currentValue.load(), 1);
}

TEST(AdapterServiceTest, InitialisationWaitsForTheStartUpAndFailsWithIt) {
  TemporaryRoot root;
  AdapterService service;
  platform::Event startFailed(false, false), startFinished(true, false);
  service.SetStartEvents(&startFailed, &startFinished);
  bool result = true;
  platform::Thread init;
  ASSERT_TRUE(init.Start([&] {
    result = service.OnInit();
    return 0u;
  }));
  EXPECT_FALSE(init.Wait(100));  // the start-up has not ended yet
  startFailed.Set();
  startFinished.Set();
  EXPECT_TRUE(init.Wait(10000));
  EXPECT_FALSE(result);
}

TEST(AdapterServiceTest, SaveStatusFailureIsOnlyTraced) {
  TemporaryRoot root;
  root.WriteFile("var/lib", "a file where the directory belongs");
  AdapterService service;
  TraceCapture trace;
  EXPECT_TRUE(service.OnUserControl(128));
  EXPECT_EQ(trace.Messages().back(), "Failed to create Status key (20)\n");
}

// Runs AdapterApp's process start and message loop on a thread of its own,
// which plays the main thread.
class AdapterAppTest : public ::testing::Test {
 protected:
  void StartMainThread(const std::string& commandLine) {
    ASSERT_TRUE(mainThread_.Start([this, commandLine]() -> std::uint32_t {
      if (!app_.InitInstance(commandLine)) return 1000 + app_.ExitStatus();
      return static_cast<std::uint32_t>(app_.MessageLoop());
    }));
  }
  std::uint32_t MainThreadExitCode() {
    EXPECT_TRUE(mainThread_.Wait(20000));
    return mainThread_.ExitCode().value_or(9999);
  }

  TemporaryRoot root_;
  AdapterService service_;
  platform::Event startFailed_{false, false};
  platform::Event stopEvent_{true, false};
  std::string settingsPath_;
  bool startUpResult_ = true;
  platform::Event* startUpStopEvent_ = nullptr;
  AdapterApp app_{service_,
                  [this](const std::string& path, platform::Event& stop) {
                    settingsPath_ = path;
                    startUpStopEvent_ = &stop;
                    return startUpResult_;
                  },
                  startFailed_, stopEvent_};
  platform::Thread mainThread_;
};

TEST(StartFailedExitStatusTest, IsTheStatusRecordsExitCodeWhenItFitsElseAFixedFailure) {
  EXPECT_EQ(StartFailedExitStatus(0), kStartFailedExitStatus);
  EXPECT_NE(kStartFailedExitStatus, 0);
  EXPECT_EQ(StartFailedExitStatus(2), 2);
  EXPECT_EQ(StartFailedExitStatus(255), 255);
  EXPECT_EQ(StartFailedExitStatus(256), kStartFailedExitStatus);
  EXPECT_EQ(StartFailedExitStatus(797), kStartFailedExitStatus);
}

TEST_F(AdapterAppTest, CommandEndsTheProcessAtOnce) {
  TraceCapture trace;
  StartMainThread("-v");
  EXPECT_EQ(MainThreadExitCode(), 1000u);
  EXPECT_FALSE(app_.DispatcherThread().IsStarted());
  EXPECT_EQ(trace.Messages().front(), "KorEvntS Version 1.0\n\n");
  EXPECT_TRUE(settingsPath_.empty());
}

TEST_F(AdapterAppTest, SocketsFailureReports108AndEndsWithAFailure) {
  app_.SetSocketStartup([] { return false; });
  StartMainThread("");
  EXPECT_EQ(MainThreadExitCode(), 1001u);
  EXPECT_FALSE(app_.DispatcherThread().IsStarted());
  EXPECT_TRUE(startFailed_.IsSignalled());
  EXPECT_EQ(EventLogEntries(), (Lines{"KorEvntS Information 108 The service KorEvntS could not start because "
                                      "Windows Sockets failed to initialize."}));
}

TEST_F(AdapterAppTest, OutsideTheServiceManagerTheMainThreadEndsWith797) {
  ScopedEnvironment noSocket("NOTIFY_SOCKET", std::nullopt);
  root_.WriteFile("etc/korevnts/KorEvntS.ini", "[Settings]\n");
  StartMainThread("");
  EXPECT_EQ(MainThreadExitCode(), 797u);
  EXPECT_TRUE(stopEvent_.IsSignalled());
  EXPECT_EQ(settingsPath_, root_.Path() + "/etc/korevnts/KorEvntS.ini");
  EXPECT_EQ(startUpStopEvent_, &stopEvent_);
  EXPECT_FALSE(startFailed_.IsSignalled());
  EXPECT_TRUE(app_.DispatcherThread().Wait(10000));
  EXPECT_TRUE(EventLogEntries().empty());
  EXPECT_EQ(app_.ExitStatus(), 0);
}

TEST_F(AdapterAppTest, MissingSettingsReport109AndTheServiceFailsToStart) {
  NotifyListener notify;
  StartMainThread("");
  EXPECT_EQ(notify.Next(), "STATUS=Start pending");
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stopped");
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stopped");
  EXPECT_EQ(MainThreadExitCode(), 797u);
  EXPECT_EQ(app_.ExitStatus(), kStartFailedExitStatus);
  EXPECT_TRUE(settingsPath_.empty());
  EXPECT_EQ(EventLogEntries(), (Lines{"KorEvntS Information 109 The service KorEvntS could not start because the "
                                      "initialization file: KorEvntS.ini was not found.",
                                      "KorEvntS Error 105 The KorEvntS service failed intialization."}));
}

TEST_F(AdapterAppTest, FailedStartUpReports110AndTheServiceFailsToStart) {
  NotifyListener notify;
  root_.WriteFile("etc/KorEvntS.ini", "[Settings]\n");
  startUpResult_ = false;
  StartMainThread("");
  EXPECT_EQ(notify.Next(), "STATUS=Start pending");
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stopped");
  EXPECT_EQ(MainThreadExitCode(), 797u);
  EXPECT_EQ(app_.ExitStatus(), kStartFailedExitStatus);
  EXPECT_EQ(settingsPath_, root_.Path() + "/etc/KorEvntS.ini");
  EXPECT_EQ(EventLogEntries(), (Lines{"KorEvntS Information 110 The service KorEvntS could not start because the "
                                      "TEC Handler failed to initialize.",
                                      "KorEvntS Error 105 The KorEvntS service failed intialization."}));
}

TEST_F(AdapterAppTest, ServiceRunsTakesUserControlsAndStops) {
  NotifyListener notify;
  root_.WriteFile("etc/korevnts/KorEvntS.ini", "[Settings]\n");
  WriteParameters(5, 2);
  StartMainThread("");
  EXPECT_EQ(notify.Next(), "STATUS=Start pending");
  EXPECT_EQ(notify.Next(), "READY=1\nSTATUS=Running");
  std::raise(SIGRTMIN + 0);
  EXPECT_EQ(notify.Next(), "READY=1\nSTATUS=Running");
  EXPECT_EQ(SavedCurrent(), 5);
  std::raise(SIGRTMIN + 1);
  EXPECT_EQ(notify.Next(), "READY=1\nSTATUS=Running");
  EXPECT_FALSE(stopEvent_.IsSignalled());
  std::raise(SIGTERM);
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stop pending");
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stop pending");
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stopped");
  EXPECT_EQ(MainThreadExitCode(), 797u);
  EXPECT_TRUE(stopEvent_.IsSignalled());
  EXPECT_TRUE(app_.DispatcherThread().Wait(10000));
  EXPECT_EQ(app_.DispatcherThread().ExitCode(), 0u);
  EXPECT_EQ(app_.ExitStatus(), 0);
  EXPECT_EQ(service_.currentValue.load(), 7);
  EXPECT_EQ(EventLogEntries(),
            (Lines{"KorEvntS Information 103 The KorEvntS service was started.",
                   "KorEvntS Error 106 The service control manager sent an invalid request to KorEvntS.",
                   "KorEvntS Information 104 The KorEvntS service was stopped."}));
}

// While the service runs, systemd's status text is the adapter's status line,
// later reports of the running state included; and the watchdog's sign goes
// out only while every watched thread makes progress.
TEST_F(AdapterAppTest, TheRunningServiceShowsItsStatusLineAndFeedsTheWatchdogOnlyWhileItsThreadsProgress) {
  ScopedEnvironment watchdogInterval("WATCHDOG_USEC", "400000");
  ScopedEnvironment watchdogProcess("WATCHDOG_PID", std::to_string(getpid()));
  NotifyListener notify;
  root_.WriteFile("etc/korevnts/KorEvntS.ini", "[Settings]\n");
  const std::string line = StatusLineOf({1204, 3, 5310, 0, "10.1.2.3:5529", true});
  EXPECT_EQ(line, "Running: 1,204 printers (3 not answering); 5,310 events sent, 0 cached; TEC server 10.1.2.3:5529 connected");
  EXPECT_EQ(StatusLineOf({1, 0, 1, 1000000, "localhost", false}),
            "Running: 1 printer (0 not answering); 1 event sent, 1,000,000 cached; TEC server localhost not connected");
  service_.SetStatusLineSource([&] { return line; });
  std::atomic<std::uint64_t> sender{0}, engine{0};
  std::atomic<bool> engineStuck{false}, beating{true};
  service_.WatchProgress([&] { return sender.load(); });
  service_.WatchProgress([&] { return engine.load(); });
  platform::Thread beats;
  ASSERT_TRUE(beats.Start([&] {
    for (; beating; std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
      ++sender;
      if (!engineStuck) ++engine;
    }
    return 0u;
  }));
  auto nextButWatchdog = [&] {
    std::string message;
    do message = notify.Next(); while (message == "WATCHDOG=1");
    return message;
  };

  StartMainThread("");
  EXPECT_EQ(notify.Next(), "STATUS=Start pending");
  EXPECT_EQ(notify.Next(), "READY=1\nSTATUS=Running");
  EXPECT_EQ(notify.Next(), "STATUS=" + line);
  EXPECT_EQ(notify.Next(), "WATCHDOG=1");

  // A thread that stops is given one watchdog interval, then no sign goes out.
  engineStuck = true;
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  while (notify.Next(0) != "(none)") {
  }
  EXPECT_EQ(notify.Next(800), "(none)");
  engineStuck = false;
  EXPECT_EQ(notify.Next(), "WATCHDOG=1");

  std::raise(SIGRTMIN + 1);
  EXPECT_EQ(nextButWatchdog(), "READY=1\nSTATUS=" + line);
  std::raise(SIGTERM);
  EXPECT_EQ(nextButWatchdog(), "STOPPING=1\nSTATUS=Stop pending");
  EXPECT_EQ(MainThreadExitCode(), 797u);
  beating = false;
  EXPECT_TRUE(beats.Wait(10000));
}

}  // namespace

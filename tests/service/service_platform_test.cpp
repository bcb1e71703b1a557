// The platform pieces under the service: the service manager on systemd, the
// registry file, the event log file and this computer's name.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/computer_name.h"
#include "platform/event.h"
#include "platform/event_log.h"
#include "platform/file_io.h"
#include "platform/last_error.h"
#include "platform/registry.h"
#include "platform/service_manager.h"
#include "platform/posix/event_log_file.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/systemd_service.h"
#include "tests/service/service_test_environment.h"

namespace {

using namespace service_test;

std::string ReadText(const std::string& path) { return platform::ReadWholeFile(path).value_or("(missing)"); }

TEST(ServiceManagerTest, InstallWritesTheUnitFileAndRemoveDeletesIt) {
  TemporaryRoot root;
  EXPECT_FALSE(platform::IsServiceInstalled("KorEvntS"));
  ASSERT_TRUE(platform::InstallService({"KorEvntS", "Korvane Event Adapter", "/opt/kor \"x\"/KorEventSvc", {"Spooler"}}));
  EXPECT_EQ(platform::ServiceUnitPath("KorEvntS"), root.Path() + "/etc/systemd/system/KorEvntS.service");
  EXPECT_TRUE(platform::IsServiceInstalled("KorEvntS"));
  EXPECT_EQ(ReadText(platform::ServiceUnitPath("KorEvntS")),
            "[Unit]\nDescription=Korvane Event Adapter\nAfter=cups.service\n\n"
            "[Service]\nType=notify\nExecStart=\"/opt/kor \\\"x\\\"/KorEventSvc\"\nTimeoutStartSec=5min\n"
            "WatchdogSec=3min\nRestart=on-watchdog\n\n"
            "[Install]\nWantedBy=multi-user.target\n");

  EXPECT_FALSE(platform::InstallService({"KorEvntS", "Other", "/bin/true", {}}));
  EXPECT_EQ(platform::GetLastError(), EEXIST);
  EXPECT_NE(ReadText(platform::ServiceUnitPath("KorEvntS")).find("Korvane"), std::string::npos);

  // The service runs as its account where that user exists, and as root
  // where it does not, since systemd never starts a unit naming a missing user.
  ASSERT_TRUE(platform::RemoveService("KorEvntS"));
  ASSERT_TRUE(platform::InstallService({"KorEvntS", "Korvane", "/usr/sbin/KorEventSvc", {}, "nobody"}));
  EXPECT_NE(ReadText(platform::ServiceUnitPath("KorEvntS")).find("\nUser=nobody\n"), std::string::npos);
  ASSERT_TRUE(platform::RemoveService("KorEvntS"));
  ASSERT_TRUE(platform::InstallService({"KorEvntS", "Korvane", "/usr/sbin/KorEventSvc", {}, "korevnts-nobody-has"}));
  EXPECT_EQ(ReadText(platform::ServiceUnitPath("KorEvntS")).find("User="), std::string::npos);

  EXPECT_TRUE(platform::RemoveService("KorEvntS"));
  EXPECT_FALSE(platform::IsServiceInstalled("KorEvntS"));
  EXPECT_FALSE(platform::RemoveService("KorEvntS"));
  EXPECT_EQ(platform::GetLastError(), ENOENT);
}

TEST(ServiceManagerTest, NotifyMessagesTellTheState) {
  platform::ServiceStatus status;
  status.currentState = platform::SERVICE_START_PENDING;
  EXPECT_EQ(platform::NotifyMessageOf(status), "STATUS=Start pending");
  status.currentState = platform::SERVICE_RUNNING;
  EXPECT_EQ(platform::NotifyMessageOf(status), "READY=1\nSTATUS=Running");
  status.currentState = platform::SERVICE_STOP_PENDING;
  EXPECT_EQ(platform::NotifyMessageOf(status), "STOPPING=1\nSTATUS=Stop pending");
  status.currentState = platform::SERVICE_STOPPED;
  EXPECT_EQ(platform::NotifyMessageOf(status), "STOPPING=1\nSTATUS=Stopped");
  status.win32ExitCode = 5;
  EXPECT_EQ(platform::NotifyMessageOf(status), "STOPPING=1\nSTATUS=Stopped\nERRNO=5");
  status.currentState = 42;
  EXPECT_EQ(platform::NotifyMessageOf(status), "STATUS=State 42");
}

TEST(ServiceManagerTest, DispatcherFailsAtOnceWithoutNotifySocket) {
  ScopedEnvironment noSocket("NOTIFY_SOCKET", std::nullopt);
  static bool ran = false;
  EXPECT_FALSE(platform::StartServiceCtrlDispatcher("KorEvntS", [](std::uint32_t, char**) { ran = true; }));
  EXPECT_EQ(platform::GetLastError(), ENOTCONN);
  EXPECT_FALSE(ran);
  EXPECT_EQ(platform::RegisterServiceCtrlHandler("KorEvntS", [](std::uint32_t) {}), 0u);
  EXPECT_FALSE(platform::SetServiceStatus(1, {}));
}

// A service that reports start pending, waits to be let through, reports
// running and stops on the stop control.
struct ScriptedService {
  static inline platform::Event letThrough{true, false};
  static inline platform::Event stopReceived{true, false};
  static inline std::mutex mutex;
  static inline std::vector<std::uint32_t> controls;
  static inline platform::ServiceStatusHandle handle = 0;
  static inline std::string serviceArgument;

  static void Report(std::uint32_t state) {
    platform::ServiceStatus status;
    status.currentState = state;
    platform::SetServiceStatus(handle, status);
  }
  static void Handler(std::uint32_t control) {
    {
      std::lock_guard lock(mutex);
      controls.push_back(control);
    }
    if (control == platform::SERVICE_CONTROL_STOP) stopReceived.Set();
  }
  static void Main(std::uint32_t argc, char** argv) {
    serviceArgument = argc == 1 ? argv[0] : "";
    EXPECT_EQ(platform::RegisterServiceCtrlHandler("Other", Handler), 0u);
    handle = platform::RegisterServiceCtrlHandler("Scripted", Handler);
    Report(platform::SERVICE_START_PENDING);
    letThrough.Wait();
    Report(platform::SERVICE_RUNNING);
    stopReceived.Wait();
    Report(platform::SERVICE_STOPPED);
  }
  static std::vector<std::uint32_t> Controls() {
    std::lock_guard lock(mutex);
    return controls;
  }
};

TEST(ServiceManagerTest, SignalsBecomeControlsAndOnlyTheStopReachesAStartingService) {
  NotifyListener notify;
  bool dispatched = false;
  std::thread dispatcher([&] { dispatched = platform::StartServiceCtrlDispatcher("Scripted", ScriptedService::Main); });
  ASSERT_EQ(notify.Next(), "STATUS=Start pending");
  std::raise(SIGRTMIN + 2);
  std::raise(SIGINT);
  // While the service starts, the stop reaches it and the user control waits.
  ASSERT_TRUE(ScriptedService::stopReceived.Wait(10000));
  EXPECT_EQ(notify.Next(200), "(none)");
  EXPECT_EQ(ScriptedService::Controls(), (std::vector<std::uint32_t>{platform::SERVICE_CONTROL_STOP}));
  ScriptedService::letThrough.Set();
  EXPECT_EQ(notify.Next(), "READY=1\nSTATUS=Running");
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stopped");
  dispatcher.join();
  EXPECT_TRUE(dispatched);
  EXPECT_EQ(ScriptedService::serviceArgument, "Scripted");
  EXPECT_EQ(ScriptedService::Controls().front(), platform::SERVICE_CONTROL_STOP);
  // The handler is gone once the dispatcher has returned.
  EXPECT_FALSE(platform::SetServiceStatus(ScriptedService::handle, {}));
}

TEST(RegistryTest, ValuesSurviveInTheFileWithoutRegardToCase) {
  TemporaryRoot root;
  platform::RegistryKey key;
  EXPECT_EQ(platform::RegistryKey::Open(platform::HKEY_LOCAL_MACHINE, "SYSTEM\\A", key), ENOENT);
  ASSERT_EQ(platform::RegistryKey::Create(platform::HKEY_LOCAL_MACHINE, "SYSTEM\\A", key), 0);
  EXPECT_EQ(key.SetDword("Start", 5), 0);
  EXPECT_EQ(key.SetString("Path", "C:\\dir \"q\"\nline"), 0);
  EXPECT_EQ(key.SetString("Expand", "%root%", platform::RegistryType::ExpandString), 0);
  EXPECT_EQ(key.SetDword("START", 0xFFFFFFFF), 0);

  platform::RegistryKey reopened;
  ASSERT_EQ(platform::RegistryKey::Open(platform::HKEY_LOCAL_MACHINE, "system\\a", reopened), 0);
  std::uint32_t start = 0;
  EXPECT_EQ(reopened.QueryDword("start", start), 0);
  EXPECT_EQ(start, 0xFFFFFFFFu);
  platform::RegistryValue value;
  ASSERT_EQ(reopened.Query("path", value), 0);
  EXPECT_EQ(value.type, platform::RegistryType::String);
  EXPECT_EQ(value.text, "C:\\dir \"q\"\nline");
  EXPECT_EQ(reopened.QueryDword("Path", start), EINVAL);
  EXPECT_EQ(reopened.Query("Missing", value), ENOENT);

  EXPECT_EQ(ReadText(platform::RegistryFilePath()),
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\A]\n"
            "\"Start\"=dword:ffffffff\n"
            "\"Path\"=\"C:\\\\dir \\\"q\\\"\\nline\"\n"
            "\"Expand\"=expand:\"%root%\"\n");
}

TEST(RegistryTest, ReadsAHandWrittenFileAndRefusesADamagedOne) {
  TemporaryRoot root;
  root.WriteFile("var/lib/korevnts/registry",
                 "; written by hand\n\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\KorEvntS\\Parameters]\n"
                 "\"Start\"=dword:00000005\r\n  \"Inc\"=dword:2\n");
  platform::RegistryKey key;
  ASSERT_EQ(platform::RegistryKey::Open(platform::HKEY_LOCAL_MACHINE,
                                        "SYSTEM\\CurrentControlSet\\Services\\KorEvntS\\Parameters", key),
            0);
  std::uint32_t start = 0, increment = 0;
  EXPECT_EQ(key.QueryDword("Start", start), 0);
  EXPECT_EQ(key.QueryDword("Inc", increment), 0);
  EXPECT_EQ(start, 5u);
  EXPECT_EQ(increment, 2u);

  const std::string damaged = "[HKEY_LOCAL_MACHINE\\SYSTEM\\A]\n\"Start\"=dword:zz\n";
  root.WriteFile("var/lib/korevnts/registry", damaged);
  EXPECT_EQ(platform::RegistryKey::Open(platform::HKEY_LOCAL_MACHINE, "SYSTEM\\A", key), EINVAL);
  EXPECT_EQ(platform::RegistryKey::Create(platform::HKEY_LOCAL_MACHINE, "SYSTEM\\B", key), EINVAL);
  EXPECT_EQ(ReadText(platform::RegistryFilePath()), damaged);
}

TEST(RegistryTest, ConcurrentWritersLoseNoValue) {
  TemporaryRoot root;
  platform::RegistryKey key;
  ASSERT_EQ(platform::RegistryKey::Create(platform::HKEY_LOCAL_MACHINE, "SYSTEM\\A", key), 0);
  std::vector<std::thread> writers;
  for (int i = 0; i < 4; ++i) {
    writers.emplace_back([&key, i] {
      for (int j = 0; j < 10; ++j) EXPECT_EQ(key.SetDword("V" + std::to_string(i * 10 + j), j), 0);
    });
  }
  for (std::thread& writer : writers) writer.join();
  for (int v = 0; v < 40; ++v) {
    std::uint32_t value = 99;
    EXPECT_EQ(key.QueryDword("V" + std::to_string(v), value), 0);
    EXPECT_EQ(value, static_cast<std::uint32_t>(v % 10));
  }
}

constexpr platform::MessageTableEntry kMessages[] = {
    {7, "The %1 service read %2 (%3).\r\n"},
    {8, "Two\r\nlines\r\n"},
};

TEST(EventLogTest, OneLinePerMessageWithItsStrings) {
  TemporaryRoot root;
  platform::EventSourceHandle source = platform::RegisterEventSource("KorEvntS", kMessages);
  ASSERT_NE(source, nullptr);
  const char* strings[] = {"KorEvntS", "KorEvntS.ini"};
  EXPECT_TRUE(platform::ReportEvent(source, platform::EVENTLOG_ERROR_TYPE, 0, 7, strings));
  EXPECT_TRUE(platform::ReportEvent(source, platform::EVENTLOG_WARNING_TYPE, 0, 8, {}));
  EXPECT_TRUE(platform::ReportEvent(source, platform::EVENTLOG_INFORMATION_TYPE, 0, 9, strings));
  EXPECT_TRUE(platform::DeregisterEventSource(source));

  EXPECT_EQ(platform::EventLogFilePath(), root.Path() + "/var/log/korevnts/eventlog");
  EXPECT_EQ(EventLogEntries(), (std::vector<std::string>{
                                   "KorEvntS Error 7 The KorEvntS service read KorEvntS.ini (%3).",
                                   "KorEvntS Warning 8 Two  lines",
                                   "KorEvntS Information 9 The description for event id 9 cannot be found.",
                               }));
  const std::string log = ReadText(platform::EventLogFilePath());
  ASSERT_GE(log.size(), 21u);
  EXPECT_EQ(log[4], '-');
  EXPECT_EQ(log[10], 'T');
  EXPECT_EQ(log.substr(19, 2), "Z ");
}

TEST(EventLogTest, InsertionStringsCannotBreakTheLine) {
  const char* strings[] = {"a\nb\x01", nullptr, "c"};
  EXPECT_EQ(platform::FormatEventText("%1|%2|%3|%4|100%", strings), "a b |%2|c|%4|100%");
  EXPECT_EQ(platform::EventTypeName(16), "16");
}

TEST(EventLogTest, SourceCannotOpenWhereTheLogCannotBe) {
  TemporaryRoot root;
  root.WriteFile("var/log", "a file where the directory belongs");
  EXPECT_EQ(platform::RegisterEventSource("KorEvntS", kMessages), nullptr);
  EXPECT_FALSE(platform::ReportEvent(nullptr, platform::EVENTLOG_ERROR_TYPE, 0, 7, {}));
}

TEST(ComputerNameTest, IsTheHostName) {
  const std::string name = platform::ComputerName().value_or("");
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name.find('\0'), std::string::npos);
}

}  // namespace

// CNTService: the command line, the control handler, status reporting, the
// event-log messages and the trace texts.

#include "service/nt_service.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include "platform/path_search.h"
#include "platform/thread.h"
#include "platform/registry.h"
#include "service/service_trace.h"
#include "tests/service/service_test_environment.h"

namespace {

using namespace service_test;
using Lines = std::vector<std::string>;

// Records which virtual operations ran.
class RecordingService : public CNTService {
 public:
  RecordingService() : CNTService("KorEvntS") {}
  bool OnInit() override {
    calls.push_back("OnInit");
    return initResult;
  }
  void Run() override {
    calls.push_back("Run");
    CNTService::Run();
  }
  std::vector<std::string> calls;
  bool initResult = true;
};

TEST(CommandLineTest, VersionInstallAndRemove) {
  TemporaryRoot root;
  RecordingService service;
  {
    TraceCapture trace;
    EXPECT_TRUE(service.HandleCommandLine("-v"));
    EXPECT_EQ(trace.Messages(), (Lines{"KorEvntS Version 1.0\n\n", "The service is not installed\n\n"}));
  }
  {
    TraceCapture trace;
    EXPECT_TRUE(service.HandleCommandLine("-i"));
    EXPECT_EQ(trace.Messages(), (Lines{"KorEvntS installed\n\n"}));
  }
  EXPECT_TRUE(root.Exists("etc/systemd/system/KorEvntS.service"));
  platform::RegistryKey source;
  ASSERT_EQ(platform::RegistryKey::Open(platform::HKEY_LOCAL_MACHINE,
                                        "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\KorEvntS", source),
            0);
  platform::RegistryValue file;
  ASSERT_EQ(source.Query("EventMessageFile", file), 0);
  EXPECT_EQ(file.type, platform::RegistryType::ExpandString);
  EXPECT_EQ(file.text, platform::ProgramPath());
  std::uint32_t types = 0;
  EXPECT_EQ(source.QueryDword("TypesSupported", types), 0);
  EXPECT_EQ(types, 7u);
  {
    TraceCapture trace;
    EXPECT_TRUE(service.HandleCommandLine("-i"));
    EXPECT_TRUE(service.HandleCommandLine("-v"));
    EXPECT_EQ(trace.Messages(), (Lines{"KorEvntS is already installed\n\n", "KorEvntS Version 1.0\n\n",
                                       "The service is currently installed\n\n"}));
  }
  {
    TraceCapture trace;
    EXPECT_TRUE(service.HandleCommandLine("-u"));
    EXPECT_TRUE(service.HandleCommandLine("-u"));
    EXPECT_EQ(trace.Messages(),
              (Lines{"KorEvntS removed. (You must delete the file (" + platform::ProgramPath() + ") yourself.)\n\n",
                     "KorEvntS is not installed\n\n"}));
  }
  EXPECT_FALSE(root.Exists("etc/systemd/system/KorEvntS.service"));
  EXPECT_EQ(EventLogEntries(), (Lines{"KorEvntS Information 100 The KorEvntS service was installed.",
                                      "KorEvntS Information 101 The KorEvntS service was removed."}));
}

TEST(CommandLineTest, AnyOtherTextRunsTheService) {
  TemporaryRoot root;
  RecordingService service;
  TraceCapture trace;
  for (const char* text : {"", "-V", "-i ", " -u", "-v -i", "/i", "-x"}) {
    EXPECT_FALSE(service.HandleCommandLine(text)) << '"' << text << '"';
  }
  EXPECT_TRUE(trace.Lines().empty());
  EXPECT_FALSE(root.Exists("etc/systemd/system/KorEvntS.service"));
}

TEST(CommandLineTest, InstallFailureTellsTheError) {
  TemporaryRoot root;
  root.WriteFile("etc/systemd", "a file where the directory belongs");
  RecordingService service;
  TraceCapture trace;
  EXPECT_TRUE(service.HandleCommandLine("-i"));
  EXPECT_EQ(trace.Messages(), (Lines{"KorEvntS failed to install. Error 20\n\n"}));
  EXPECT_TRUE(EventLogEntries().empty());
}

TEST(ControlHandlerTest, EachCodeReachesItsOperationOrReportsAnInvalidRequest) {
  TemporaryRoot root;
  RecordingService service;
  service.running = 1;
  TraceCapture trace;
  for (std::uint32_t code : {2u, 3u, 4u, 5u, 0u, 6u, 127u, 128u, 200u}) CNTService::Handler(code);
  EXPECT_EQ(service.running.load(), 1);
  CNTService::Handler(platform::SERVICE_CONTROL_STOP);
  EXPECT_EQ(service.running.load(), 0);
  EXPECT_EQ(service.CurrentStatus().currentState, platform::SERVICE_STOP_PENDING);

  EXPECT_EQ(trace.Messages(), (Lines{
                                  "CNTService::Handler(2)\n", "CNTService::OnPause()\n", "Updating status (0, 1)\n",
                                  "CNTService::Handler(3)\n", "CNTService::OnContinue()\n", "Updating status (0, 1)\n",
                                  "CNTService::Handler(4)\n", "CNTService::OnInterrogate()\n", "Updating status (0, 1)\n",
                                  "CNTService::Handler(5)\n", "CNTService::OnShutdown()\n", "Updating status (0, 1)\n",
                                  "CNTService::Handler(0)\n", "Updating status (0, 1)\n",
                                  "CNTService::Handler(6)\n", "Updating status (0, 1)\n",
                                  "CNTService::Handler(127)\n", "Updating status (0, 1)\n",
                                  "CNTService::Handler(128)\n", "CNTService::OnUserControl(00000080H)\n",
                                  "Updating status (0, 1)\n",
                                  "CNTService::Handler(200)\n", "CNTService::OnUserControl(000000C8H)\n",
                                  "Updating status (0, 1)\n",
                                  "CNTService::Handler(1)\n", "CNTService::SetStatus(0, 3)\n", "CNTService::OnStop()\n",
                                  "Updating status (0, 3)\n",
                              }));
  const std::string invalid = "KorEvntS Error 106 The service control manager sent an invalid request to KorEvntS.";
  EXPECT_EQ(EventLogEntries(), (Lines{invalid, invalid, invalid, invalid, invalid,
                                      "KorEvntS Information 104 The KorEvntS service was stopped."}));
}

TEST(ServiceMainTest, FailedInitialisationReportsStoppedTwice) {
  TemporaryRoot root;
  NotifyListener notify;
  RecordingService service;
  service.initResult = false;
  TraceCapture trace;
  EXPECT_TRUE(service.RunDispatcher());
  EXPECT_EQ(notify.Next(), "STATUS=Start pending");
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stopped");
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stopped");
  EXPECT_EQ(notify.Next(100), "(none)");
  EXPECT_EQ(service.calls, (Lines{"OnInit"}));
  EXPECT_EQ(trace.Messages(), (Lines{
                                  "Calling StartServiceCtrlDispatcher()\n",
                                  "Entering CNTService::ServiceMain()\n",
                                  "Entering CNTService::Initialize()\n",
                                  "CNTService::SetStatus(" + std::to_string(service.statusHandle) + ", 2)\n",
                                  "CNTService::SetStatus(" + std::to_string(service.statusHandle) + ", 1)\n",
                                  "CNTService::SetStatus(" + std::to_string(service.statusHandle) + ", 1)\n",
                                  "Leaving CNTService::ServiceMain()\n",
                                  "Returned from StartServiceCtrlDispatcher()\n",
                              }));
  EXPECT_NE(service.statusHandle, 0u);
  EXPECT_EQ(EventLogEntries(), (Lines{"KorEvntS Error 105 The KorEvntS service failed intialization."}));
}

TEST(ServiceMainTest, RunsUntilTheStopControl) {
  TemporaryRoot root;
  NotifyListener notify;
  RecordingService service;
  std::thread dispatcher([&] { EXPECT_TRUE(service.RunDispatcher()); });
  EXPECT_EQ(notify.Next(), "STATUS=Start pending");
  EXPECT_EQ(notify.Next(), "READY=1\nSTATUS=Running");
  EXPECT_EQ(service.running.load(), 1);
  // The base Run sleeps 5 s between looks at the running flag.
  std::raise(SIGTERM);
  EXPECT_EQ(notify.Next(), "STOPPING=1\nSTATUS=Stop pending");
  // The control's own report after its work, unless the service thread saw
  // the stop and reported itself stopped first: nothing may follow that.
  std::string next = notify.Next();
  if (next == "STOPPING=1\nSTATUS=Stop pending") next = notify.Next();
  EXPECT_EQ(next, "STOPPING=1\nSTATUS=Stopped");
  dispatcher.join();
  EXPECT_EQ(notify.Next(200), "(none)");
  EXPECT_EQ(service.calls, (Lines{"OnInit", "Run"}));
  EXPECT_EQ(EventLogEntries(), (Lines{"KorEvntS Information 103 The KorEvntS service was started.",
                                      "KorEvntS Information 104 The KorEvntS service was stopped."}));
}

TEST(ServiceMainTest, DispatcherFailsOutsideTheServiceManager) {
  ScopedEnvironment noSocket("NOTIFY_SOCKET", std::nullopt);
  RecordingService service;
  TraceCapture trace;
  EXPECT_FALSE(service.RunDispatcher());
  EXPECT_TRUE(service.calls.empty());
  EXPECT_EQ(trace.Messages(), (Lines{"Calling StartServiceCtrlDispatcher()\n", "Returned from StartServiceCtrlDispatcher()\n"}));
}

TEST(ServiceTraceTest, LinesCarryNameAndThreadAndFitTheBuffer) {
  RecordingService service;
  TraceCapture trace;
  Trace("%s=%d", "x", 5);
  Trace("%s", std::string(3000, 'y').c_str());
  const Lines lines = trace.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "[KorEvntS](" + std::to_string(platform::CurrentThreadId()) + "): x=5\n");
  EXPECT_EQ(lines[1].size(), 1023u);
  EXPECT_EQ(lines[1].back(), '\n');
  EXPECT_EQ(lines[1][lines[1].size() - 2], 'y');
}

TEST(ServiceTraceTest, BaseOperationsTraceTheirNames) {
  CNTService* service = new CNTService("A service name longer than sixty-three characters, which is cut there");
  EXPECT_STREQ(CNTService::ServiceName(), "A service name longer than sixty-three characters, which is cut");
  TraceCapture trace;
  EXPECT_TRUE(service->OnInit());
  service->OnStop();
  service->Run();  // not running: no sleep
  EXPECT_FALSE(service->OnUserControl(0x1234ABCD));
  delete service;
  EXPECT_EQ(trace.Messages(), (Lines{"CNTService::OnInit()\n", "CNTService::OnStop()\n", "Entering CNTService::Run()\n",
                                     "Leaving CNTService::Run()\n", "CNTService::OnUserControl(1234ABCDH)\n",
                                     "CNTService::~CNTService()\n"}));
  EXPECT_EQ(CNTService::Instance(), nullptr);
}

}  // namespace

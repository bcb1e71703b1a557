// KorEventSvc run for real: its commands inside a temporary KOREVNTS_ROOT, and
// its start and stop under service-host as under systemd.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2e_support.h"
#include "service/adapter_app.h"

namespace {

namespace fs = std::filesystem;
using namespace e2e;

const std::string kBin = kBinDir;
const int kStartFailed = kStartFailedExitStatus;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// A temporary KOREVNTS_ROOT in which programs run as the current directory.
class ServiceEndToEndTest : public ::testing::Test {
 protected:
  // Runs the shell command line in the root with KOREVNTS_ROOT set to it.
  Outcome Run(const std::string& commandLine) {
    const fs::path out = root_ / "run.out", err = root_ / "run.err", status = root_ / "run.status";
    const std::string script = "cd " + Quoted(root_.string()) + " && KOREVNTS_ROOT=" + Quoted(root_.string()) + " " +
                               commandLine + " >" + Quoted(out.string()) + " 2>" + Quoted(err.string()) +
                               "; echo $? >" + Quoted(status.string());
    EXPECT_EQ(std::system(script.c_str()), 0);
    return {std::stoi(ReadText(status)), ReadText(out), ReadText(err)};
  }

  // Trace lines without their "[KorEvntS](thread): " prefix.
  static Lines TraceMessages(const std::string& err) {
    Lines messages;
    for (const std::string& line : SplitLines(err)) {
      const std::size_t end = line.find("): ");
      messages.push_back(end == std::string::npos ? line : line.substr(end + 3));
    }
    return messages;
  }

  Lines EventLog() { return EventLogEntries(root_); }

  ScratchDirectory scratch_{"korevnts-e2e"};
  const fs::path root_ = scratch_.Root();
  const std::string service_ = kBin + "/KorEventSvc";
  const std::string host_ = kBin + "/service-host";
};

TEST_F(ServiceEndToEndTest, CommandsInstallQueryAndRemoveTheService) {
  Outcome version = Run(Quoted(service_) + " -v");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(TraceMessages(version.err),
            (Lines{"KorEvntS Version 1.0", "", "The service is not installed", "", "CNTService::~CNTService()"}));

  Outcome install = Run(Quoted(service_) + " -i");
  EXPECT_EQ(install.status, 0);
  EXPECT_EQ(TraceMessages(install.err), (Lines{"KorEvntS installed", "", "CNTService::~CNTService()"}));
  const std::string unit = ReadText(root_ / "etc/systemd/system/KorEvntS.service");
  EXPECT_NE(unit.find("Type=notify\n"), std::string::npos) << unit;
  EXPECT_NE(unit.find("ExecStart=\"" + fs::canonical(service_).string() + "\"\n"), std::string::npos) << unit;
  EXPECT_NE(unit.find("After=cups.service\n"), std::string::npos) << unit;
  EXPECT_NE(unit.find("WantedBy=multi-user.target\n"), std::string::npos) << unit;
  const std::string registry = ReadText(root_ / "var/lib/korevnts/registry");
  EXPECT_NE(registry.find("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\KorEvntS]"),
            std::string::npos);
  EXPECT_NE(registry.find("\"TypesSupported\"=dword:00000007"), std::string::npos);

  EXPECT_EQ(TraceMessages(Run(Quoted(service_) + " -i").err),
            (Lines{"KorEvntS is already installed", "", "CNTService::~CNTService()"}));
  EXPECT_EQ(TraceMessages(Run(Quoted(service_) + " -v").err)[2], "The service is currently installed");

  Outcome remove = Run(Quoted(service_) + " -u");
  EXPECT_EQ(remove.status, 0);
  EXPECT_EQ(TraceMessages(remove.err)[0],
            "KorEvntS removed. (You must delete the file (" + fs::canonical(service_).string() + ") yourself.)");
  EXPECT_FALSE(fs::exists(root_ / "etc/systemd/system/KorEvntS.service"));
  EXPECT_EQ(TraceMessages(Run(Quoted(service_) + " -u").err)[0], "KorEvntS is not installed");

  EXPECT_EQ(EventLog(), (Lines{"KorEvntS Information 100 The KorEvntS service was installed.",
                               "KorEvntS Information 101 The KorEvntS service was removed."}));
}

TEST_F(ServiceEndToEndTest, WithoutSettingsTheServiceFailsToStartWithMessage109AndAFailureStatus) {
  Outcome run = Run(Quoted(host_) + " --stop-after 30 " + Quoted(service_));
  EXPECT_EQ(run.status, kStartFailed) << run.out << run.err;
  const Lines out = SplitLines(run.out);
  ASSERT_EQ(out.size(), 5u) << run.out;
  EXPECT_EQ(out[0].rfind("service-host: started " + service_ + " (process ", 0), 0u);
  EXPECT_EQ(Lines(out.begin() + 1, out.end()),
            (Lines{"status: STATUS=Start pending", "status: STOPPING=1; STATUS=Stopped",
                   "status: STOPPING=1; STATUS=Stopped",
                   "service-host: " + service_ + " exited with status " + std::to_string(kStartFailed)}));
  EXPECT_EQ(EventLog(), (Lines{"KorEvntS Information 109 The service KorEvntS could not start because the "
                               "initialization file: KorEvntS.ini was not found.",
                               "KorEvntS Error 105 The KorEvntS service failed intialization."}));
  const Lines trace = TraceMessages(run.err);
  EXPECT_EQ(trace.front(), "Calling StartServiceCtrlDispatcher()");
  EXPECT_NE(std::find(trace.begin(), trace.end(), "Returned from StartServiceCtrlDispatcher()"), trace.end());
  EXPECT_EQ(trace.back(), "CNTService::~CNTService()");
}

TEST_F(ServiceEndToEndTest, WithoutAServiceManagerTheProgramEndsByItself) {
  Outcome run = Run("env -u NOTIFY_SOCKET " + Quoted(service_));
  EXPECT_EQ(run.status, kStartFailed);
  EXPECT_EQ(TraceMessages(run.err).front(), "Calling StartServiceCtrlDispatcher()");
  EXPECT_EQ(EventLog().front().substr(0, 25), "KorEvntS Information 109 ");
}

TEST_F(ServiceEndToEndTest, HostSendsControlsPassesStatusAndTellsBadUse) {
  Outcome notify = Run(Quoted(host_) + " /bin/sh -c 'systemd-notify --ready --status=Working; exit 3'");
  EXPECT_EQ(notify.status, 3);
  EXPECT_NE(notify.out.find("\nstatus: READY=1; STATUS=Working\n"), std::string::npos) << notify.out;
  EXPECT_NE(notify.out.find("exited with status 3\n"), std::string::npos) << notify.out;

  Outcome stop = Run(Quoted(host_) + " --stop-after 0.2 --control 1@0.1 /bin/sh -c 'trap \"\" RTMIN+1; sleep 5 & wait'");
  EXPECT_EQ(stop.status, 128 + 15) << stop.out;
  EXPECT_NE(stop.out.find("\ncontrol: 129\ncontrol: stop\n"), std::string::npos) << stop.out;

  EXPECT_EQ(Run(Quoted(host_) + " --stop-after soon /bin/true").status, 2);
  EXPECT_EQ(Run(Quoted(host_) + " --control 1 /bin/true").status, 2);
  EXPECT_EQ(Run(Quoted(host_)).status, 2);
  Outcome missing = Run(Quoted(host_) + " ./no-such-program");
  EXPECT_EQ(missing.status, 127);
  EXPECT_NE(missing.out.find("cannot start ./no-such-program"), std::string::npos) << missing.out;
}

}  // namespace

// The Debian package outside the build tree: unpacked into a temporary root,
// its KorEventSvc runs under its service-host, finds the shipped KorEvntS.ini,
// VXPrtDb.ini and korbce.ini below KOREVNTS_ROOT, and its tec-receiver takes
// the events of one simulated printer.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/file_io.h"
#include "tests/packaging/tool_run.h"
#include "tests/packaging/unpacked_package.h"

namespace {

using namespace e2e;
namespace fs = std::filesystem;

// The one value of key in the settings text replaced, or nothing when the
// text does not hold exactly one line of that key.
std::optional<std::string> ReplaceValue(const std::string& text, const std::string& key, const std::string& value) {
  std::string replaced;
  int found = 0;
  for (const std::string& line : SplitLines(text)) {
    const bool matches = line.starts_with(key + "=");
    found += matches ? 1 : 0;
    replaced += (matches ? key + "=" + value : line) + "\n";
  }
  if (found != 1) return std::nullopt;
  return replaced;
}

// Whether a line of the text, blanks aside, starts a section.
bool HoldsASection(const std::string& text) {
  for (const std::string& line : SplitLines(text)) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '[') return true;
  }
  return false;
}

const std::string kPrinter =
    "[Printer Reception]\nId = 1\nMac = 0020004A1B0C\nProtocols = 0x2\nAdapter = 129\nIp = 127.0.0.1\n"
    "Classes = 0x2\nClass = 1\nModel = Korvane LaserLine 4000\nInputs = 1:Upper Tray;2:Lower Tray\n"
    "Outputs = 1:Top Bin\nPaper Jam = 05:010001\n";
const std::string kJamEvent =
    "Korvane_Printer_Alert;source=Korvane_Printers;severity=CRITICAL;msg='Paper Jam At Input - Upper Tray';"
    "printer_address='0020004A1B0C';printer_model='Korvane LaserLine 4000';origin='127.0.0.1';";

using InstalledPackageTest = UnpackedPackageTest;

TEST_F(InstalledPackageTest, HoldsTheInstalledLayout) {
  for (const char* path :
       {"usr/sbin/KorEventSvc", "usr/bin/tec-receiver", "usr/bin/service-host", "usr/bin/control-panel",
        "etc/korevnts/KorEvntS.ini", "etc/korevnts/VXPrtDb.ini", "etc/korevnts/korbce.ini",
        "usr/lib/systemd/system/KorEvntS.service", "usr/lib/systemd/system/KorEvntS.socket",
        "usr/share/korevnts/tec/Korvane_Printer_Alert.baroc",
        "usr/share/man/man8/KorEventSvc.8.gz", "usr/share/man/man1/tec-receiver.1.gz",
        "usr/share/man/man1/service-host.1.gz", "usr/share/man/man1/control-panel.1.gz",
        "usr/share/man/man5/KorEvntS.ini.5.gz", "usr/share/man/man5/VXPrtDb.ini.5.gz",
        "usr/share/man/man5/korbce.ini.5.gz", "usr/share/doc/korevnts/copyright"}) {
    EXPECT_TRUE(fs::is_regular_file(Installed(path))) << path;
  }
  const fs::path libraries = PrivateLibraryDirectory();
  ASSERT_FALSE(libraries.empty());
  for (const char* library : {"libvigilix.so", "libkorbce.so", "libkorplatform.so", "libkorprofile.so", "libkormessages.so",
                              "libkordialogs.so", "KorEvntC.cpl"}) {
    EXPECT_TRUE(fs::is_regular_file(libraries / library)) << library;
  }

  // The engine's sample names no printer and leaves SNMP off.
  const std::string engineFile = ReadText(Installed("etc/korevnts/korbce.ini"));
  EXPECT_FALSE(HoldsASection(engineFile)) << engineFile;
  EXPECT_NE(engineFile.find(";[SNMP]"), std::string::npos);
  EXPECT_NE(ReadText(Installed("etc/korevnts/KorEvntS.ini")).find("\nBufEvtPath=/var/spool/korevnts/cache.dat\n"),
            std::string::npos);

  // The installed control-panel finds the applet in the private directory.
  const ToolRun applets = RunTool(Installed("usr/bin/control-panel"), {}, dir_);
  EXPECT_EQ(applets.status, 0) << applets.errors;
  EXPECT_EQ(applets.output.rfind("0: ", 0), 0u) << applets.output;
}

TEST_F(InstalledPackageTest, ServiceRunsFromTheUnpackedRootAndDeliversEvents) {
  platform::ChildProcess receiverProcess;
  const std::string portFile = dir_.Path("receiver.port");
  ASSERT_TRUE(receiverProcess.Start(Installed("usr/bin/tec-receiver"),
                                    {"--address", "127.0.0.1", "--port", "0", "--output", dir_.Path("events.txt"),
                                     "--port-file", portFile},
                                    "", dir_.Path("receiver.err")));
  ASSERT_TRUE(Eventually([&] { return !ReadText(portFile).empty(); })) << ReadText(dir_.Path("receiver.err"));
  const std::string port = ReadText(portFile);

  // The shipped settings, pointed at the receiver and at a cache inside the root.
  const fs::path settingsPath = Installed("etc/korevnts/KorEvntS.ini");
  std::optional<std::string> settings = ReadText(settingsPath);
  settings = ReplaceValue(*settings, "ServerLocation", "127.0.0.1");
  if (settings) settings = ReplaceValue(*settings, "ServerPort", port);
  if (settings) settings = ReplaceValue(*settings, "BufEvtPath", Installed("var/spool/korevnts/cache.dat").string());
  ASSERT_TRUE(settings) << "the shipped KorEvntS.ini lacks a server or cache key";
  ASSERT_TRUE(platform::WriteFileAtomically(settingsPath.string(), *settings).ok());
  ASSERT_TRUE(platform::WriteFileAtomically(Installed("etc/korevnts/korbce.ini").string(), kPrinter).ok());

  platform::ChildSetup setup;
  setup.outputPath = dir_.Path("host.out");
  setup.errorPath = dir_.Path("service.err");
  setup.environment = {{"KOREVNTS_ROOT", Root().string()}, {"KORBCE_FLEET", ""}, {"KORBCE_LOG", ""}};
  platform::ChildProcess host;
  ASSERT_TRUE(host.Start(Installed("usr/bin/service-host"), {"--", Installed("usr/sbin/KorEventSvc").string()}, setup));
  auto diagnostics = [&] {
    return "service-host:\n" + ReadText(dir_.Path("host.out")) + "trace:\n" + ReadText(dir_.Path("service.err"));
  };

  const std::string eventsPath = dir_.Path("events.txt");
  EXPECT_TRUE(Eventually([&] { return ReadText(eventsPath).find('\n') != std::string::npos; })) << diagnostics();
  const Lines events = SplitLines(ReadText(eventsPath));
  ASSERT_FALSE(events.empty()) << diagnostics();
  EXPECT_EQ(UnescapeEventLine(events.front()).rfind(kJamEvent, 0), 0u) << events.front();

  host.RequestStop();
  EXPECT_EQ(host.Wait(10000), 0) << diagnostics();
  const Lines log = EventLogEntries(Root());
  EXPECT_NE(std::find(log.begin(), log.end(), "KorEvntS Information 103 The KorEvntS service was started."),
            log.end());
  receiverProcess.Stop();
}

}  // namespace

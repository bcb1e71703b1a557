// The built .deb as Debian's tools see it: its dependencies and conffiles,
// lintian, and systemd-analyze on the unit it ships.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/packaging/tool_run.h"
#include "tests/packaging/unpacked_package.h"

namespace {

using namespace e2e;
using PackageChecksTest = UnpackedPackageTest;

// The lines of lintian's output that report an error or a warning.
Lines ErrorsAndWarnings(const std::string& output) {
  Lines found;
  for (const std::string& line : SplitLines(output)) {
    if (line.starts_with("E: ") || line.starts_with("W: ")) found.push_back(line);
  }
  return found;
}

TEST_F(PackageChecksTest, DependsOnTheSystemLibrariesAndKeepsTheSettingsAsConffiles) {
  const ToolRun depends = RunTool("dpkg-deb", {"-f", Package().string(), "Depends"}, dir_);
  ASSERT_EQ(depends.status, 0) << depends.errors;
  for (const char* library : {"libcups2", "libsystemd0", "libfltk1.3", "libtirpc3", "libstdc++6", "libc6"}) {
    EXPECT_NE(depends.output.find(library), std::string::npos) << library << " missing in " << depends.output;
  }
  EXPECT_EQ(depends.output.find("korevnts"), std::string::npos) << depends.output;

  const ToolRun control = RunTool("dpkg-deb", {"-e", Package().string(), dir_.Path("control")}, dir_);
  ASSERT_EQ(control.status, 0) << control.errors;
  EXPECT_EQ(SplitLines(ReadText(dir_.Path("control/conffiles"))),
            (Lines{"/etc/korevnts/KorEvntS.ini", "/etc/korevnts/VXPrtDb.ini", "/etc/korevnts/korbce.ini"}));
  // The maintainer scripts make the state directories; none starts the service.
  const std::string postinst = ReadText(dir_.Path("control/postinst"));
  for (const char* directory : {"/var/lib/korevnts", "/var/log/korevnts", "/var/spool/korevnts"}) {
    EXPECT_NE(postinst.find(directory), std::string::npos) << directory;
    EXPECT_NE(ReadText(dir_.Path("control/postrm")).find(directory), std::string::npos) << directory;
  }
  EXPECT_EQ(postinst.find(" start "), std::string::npos) << postinst;
}

// The mode column of dpkg-deb's listing for a file of the package.
std::string ModeInPackage(const std::string& listing, const std::string& path) {
  for (const std::string& line : SplitLines(listing)) {
    if (line.ends_with(" ./" + path)) return line.substr(0, line.find(' '));
  }
  return "(missing)";
}

TEST_F(PackageChecksTest, RunsTheServiceAsItsOwnUserWhomAloneTheSecretsAreReadable) {
  EXPECT_NE(ReadText(Installed("usr/lib/sysusers.d/korevnts.conf")).find("\nu korevnts - "), std::string::npos);
  const std::string unit = ReadText(Installed("usr/lib/systemd/system/KorEvntS.service"));
  EXPECT_NE(unit.find("\nUser=korevnts\nGroup=korevnts\n"), std::string::npos) << unit;
  // systemd kills and restarts a service whose threads stop making progress.
  EXPECT_NE(unit.find("\nWatchdogSec=3min\n"), std::string::npos) << unit;
  EXPECT_NE(unit.find("\nRestart=on-abnormal\n"), std::string::npos) << unit;
  const ToolRun depends = RunTool("dpkg-deb", {"-f", Package().string(), "Depends"}, dir_);
  EXPECT_NE(depends.output.find("systemd-sysusers"), std::string::npos) << depends.output;

  // Never readable by all, not even before the maintainer scripts ran.
  const ToolRun contents = RunTool("dpkg-deb", {"-c", Package().string()}, dir_);
  ASSERT_EQ(contents.status, 0) << contents.errors;
  EXPECT_EQ(ModeInPackage(contents.output, "etc/korevnts/KorEvntS.ini"), "-rw-r-----");
  EXPECT_EQ(ModeInPackage(contents.output, "etc/korevnts/korbce.ini"), "-rw-r-----");
  EXPECT_EQ(ModeInPackage(contents.output, "etc/korevnts/VXPrtDb.ini"), "-rw-r--r--");

  // The user is made before the files become the service's.
  const ToolRun control = RunTool("dpkg-deb", {"-e", Package().string(), dir_.Path("control")}, dir_);
  ASSERT_EQ(control.status, 0) << control.errors;
  const std::string postinst = ReadText(dir_.Path("control/postinst"));
  const std::size_t userMade = postinst.find("systemd-sysusers ${DPKG_ROOT:+--root=\"$DPKG_ROOT\"} korevnts.conf");
  ASSERT_NE(userMade, std::string::npos) << postinst;
  EXPECT_GT(postinst.find("chown korevnts:korevnts \"$file\""), userMade) << postinst;
  EXPECT_GT(postinst.find("dpkg-statoverride --update --add root korevnts 0640 \"$settings\""), userMade) << postinst;
  EXPECT_NE(postinst.find("for settings in /etc/korevnts/KorEvntS.ini /etc/korevnts/korbce.ini; do"), std::string::npos);
  EXPECT_NE(ReadText(dir_.Path("control/postrm")).find("dpkg-statoverride --remove \"$settings\""), std::string::npos);
}

TEST_F(PackageChecksTest, LintianReportsNoErrorsAndNoWarnings) {
  const ToolRun lintian = RunTool("lintian", {"--fail-on", "error,warning", Package().string()}, dir_, {}, 300000);
  if (!lintian.started) GTEST_SKIP() << "lintian is missing (scripts/install-deps.sh installs it)";
  EXPECT_EQ(lintian.status, 0) << lintian.output << lintian.errors;
  EXPECT_EQ(ErrorsAndWarnings(lintian.output), Lines{}) << lintian.output;
}

TEST_F(PackageChecksTest, SystemdAcceptsTheShippedUnit) {
  const std::filesystem::path unitDirectory = Installed("usr/lib/systemd/system");
  const std::string unit = (unitDirectory / "KorEvntS.service").string();
  // The unit's ExecStart and its man pages are looked up below the root, and
  // so are the targets it names: this machine's units are copied beside it.
  std::error_code copyError;
  std::filesystem::copy("/usr/lib/systemd/system", unitDirectory,
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing |
                            std::filesystem::copy_options::copy_symlinks,
                        copyError);
  if (copyError) GTEST_SKIP() << "this machine has no systemd units to verify against (" << copyError.message() << ")";
  const std::string socket = (unitDirectory / "KorEvntS.socket").string();
  const ToolRun verify = RunTool("systemd-analyze", {"verify", "--root=" + Root().string(), unit, socket}, dir_,
                                 {{"MANPATH", Installed("usr/share/man").string()}});
  if (!verify.started) GTEST_SKIP() << "systemd-analyze is missing (scripts/install-deps.sh installs systemd)";
  EXPECT_EQ(verify.status, 0) << verify.output << verify.errors;
  EXPECT_EQ(verify.output + verify.errors, "");

  const ToolRun security = RunTool("systemd-analyze", {"security", "--offline=true", "--root=" + Root().string(), unit}, dir_);
  EXPECT_EQ(security.status, 0) << security.output << security.errors;
  // The README gives the score (1.5 with systemd 252, running as the
  // service's own user); a hardening option dropped from the unit raises it.
  const std::string scoreLabel = "Overall exposure level for KorEvntS.service: ";
  const std::size_t scoreAt = security.output.find(scoreLabel);
  ASSERT_NE(scoreAt, std::string::npos) << security.output;
  EXPECT_LE(std::stod(security.output.substr(scoreAt + scoreLabel.size())), 1.8) << security.output;
}

}  // namespace

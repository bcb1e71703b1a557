#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

struct Outcome {
  std::string output;
  int status = -1;
};

// Runs a shell command line and takes its standard output and error.
Outcome RunCommand(const std::string& command) {
  Outcome outcome;
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return outcome;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) outcome.output += buffer;
  const int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

const std::string kControlPanel = std::string(KOR_BIN_DIR) + "/control-panel";

TEST(ControlPanelE2eTest, ListsTheAppletOfKorEvntC) {
  const Outcome listed = RunCommand(kControlPanel);
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.output, "0: KorEvntS Configuration - Korvane Event Adapter for Tivoli Configuration\n");

  const Outcome named = RunCommand(kControlPanel + " " + KOR_BIN_DIR + "/KorEvntC.cpl");
  EXPECT_EQ(named.output, listed.output);
}

TEST(ControlPanelE2eTest, OpeningWithoutADisplaySaysSoAndFails) {
  const Outcome outcome = RunCommand("env -u DISPLAY " + kControlPanel + " --open 0");
  EXPECT_EQ(outcome.status, 3);
  EXPECT_NE(outcome.output.find("no display"), std::string::npos) << outcome.output;
}

TEST(ControlPanelE2eTest, RefusesWhatIsNotAnAppletLibrary) {
  Outcome outcome = RunCommand(kControlPanel + " /nonexistent/KorEvntC.cpl");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.output.find("cannot load /nonexistent/KorEvntC.cpl"), std::string::npos) << outcome.output;

  outcome = RunCommand(kControlPanel + " " + KOR_BIN_DIR + "/libkorplatform.so");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.output.find("is not an applet library"), std::string::npos) << outcome.output;

  outcome = RunCommand(kControlPanel + " --open");
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.output.find("Usage: control-panel"), std::string::npos);
}

bool HasCommand(const std::string& name) { return RunCommand("command -v " + name).status == 0; }

// A person's session in the FLTK window under Xvfb: the configuration dialog,
// Tab to Add, the add-subnet dialog, a subnet typed and added, a port out of
// range refused with its message box, then Escape.
TEST(ControlPanelE2eTest, ScreenshotScriptDrivesTheWindows) {
  for (const char* tool : {"xvfb-run", "xdotool", "import"}) {
    if (!HasCommand(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  const std::filesystem::path out = std::filesystem::temp_directory_path() /
                                      ("control-panel-e2e-" + std::to_string(std::random_device{}()));
  std::filesystem::remove_all(out);
  const std::string leakSuppressions = std::string(KOR_SOURCE_DIR) + "/tests/e2e/fltk_leaks.supp";
  const Outcome outcome = RunCommand("LSAN_OPTIONS=suppressions=" + leakSuppressions + ":print_suppressions=0 " +
                                     std::string(KOR_SOURCE_DIR) +
                                     "/tools/control-panel/screenshots.sh " + KOR_BIN_DIR + " " + out.string());
  EXPECT_EQ(outcome.status, 0) << outcome.output;
  EXPECT_NE(outcome.output.find("port-out-of-range.png: window \"KorEvntC\""), std::string::npos) << outcome.output;
  for (const char* shot : {"config.png", "add-subnet.png", "config-after-add.png", "port-out-of-range.png"}) {
    EXPECT_TRUE(std::filesystem::exists(out / shot)) << shot;
  }
  std::filesystem::remove_all(out);
}

}  // namespace

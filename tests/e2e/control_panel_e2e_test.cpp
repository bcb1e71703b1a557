#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
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

}  // namespace

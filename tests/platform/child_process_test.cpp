#include "platform/child_process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/environment.h"
#include "tests/platform/child_helper_path.h"

namespace platform {
namespace {

constexpr int kStopped = 3;  // the helper's status when the request arrived

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class ChildProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("child_process_test_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Waits until the child has written its first line to the file.
  bool WaitUntilReady(const std::string& outputPath) {
    for (int i = 0; i < 500; ++i) {
      if (ReadFile(outputPath).find("ready") != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  std::filesystem::path dir_;
};

TEST_F(ChildProcessTest, OutputErrorsEnvironmentAndExitStatusComeThrough) {
  ChildProcess printer;
  ASSERT_TRUE(printer.Start(ChildHelperPath(), {"print", "to output", "to \"errors\" \\"}, Path("out"), Path("err")));
  EXPECT_EQ(printer.Wait(10000), 0);
  EXPECT_EQ(ReadFile(Path("out")), "to output");
  EXPECT_EQ(ReadFile(Path("err")), "to \"errors\" \\");

  // Work registered for the process's exit runs, last first, while the
  // process's other threads still run.
  ChildProcess ending;
  ASSERT_TRUE(ending.Start(ChildHelperPath(), {"at-exit"}, Path("at-exit"), ""));
  EXPECT_EQ(ending.Wait(10000), 5);
  std::string said = ReadFile(Path("at-exit"));
  std::erase(said, '\r');  // a Windows program's text lines end in CR LF
  EXPECT_EQ(said, "the last registered runs first\nthe thread saw the stop\njoined\n");

  ChildProcess exiting;
  ASSERT_TRUE(exiting.Start(ChildHelperPath(), {"exit", "42"}));
  EXPECT_EQ(exiting.Wait(10000), 42);
  EXPECT_FALSE(exiting.IsRunning());

  ASSERT_TRUE(SetEnvironmentVariable("CHILD_TEST_REPLACED", "old"));
  for (const auto& [name, expected] : {std::pair{"CHILD_TEST_ADDED", "added value"},
                                       std::pair{"CHILD_TEST_REPLACED", "new"}}) {
    ChildSetup setup;
    setup.outputPath = Path("env");
    setup.environment = {{"CHILD_TEST_ADDED", "added value"}, {"CHILD_TEST_REPLACED", "new"}};
    ChildProcess child;
    int error = -1;
    ASSERT_TRUE(child.Start(ChildHelperPath(), {"env", name}, setup, &error));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(child.Wait(10000), 0);
    EXPECT_EQ(ReadFile(Path("env")), expected);
  }
  SetEnvironmentVariable("CHILD_TEST_REPLACED", std::nullopt);
}

TEST_F(ChildProcessTest, AMissingProgramFailsWithItsErrorAndNothingRuns) {
  ChildProcess child;
  int error = 0;
  EXPECT_FALSE(child.Start(Path("no_such_program"), {}, ChildSetup{}, &error));
  EXPECT_EQ(error, ENOENT);
  EXPECT_FALSE(child.IsRunning());
  EXPECT_EQ(child.Wait(0), std::nullopt);
}

TEST_F(ChildProcessTest, AStopRequestReachesTheChildsStopSignalHandle) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(ChildHelperPath(), {"wait-stop", "20000"}, Path("out"), ""));
  ASSERT_TRUE(WaitUntilReady(Path("out")));
  EXPECT_TRUE(child.IsRunning());
  EXPECT_EQ(child.Wait(50), std::nullopt);
  ASSERT_TRUE(child.RequestStop());
  EXPECT_EQ(child.Wait(10000), kStopped);
  EXPECT_FALSE(child.RequestStop()) << "nothing left to stop";
}

TEST_F(ChildProcessTest, StopEndsAChildThatCatchesTheRequestGracefully) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(ChildHelperPath(), {"wait-interrupt", "20000"}, Path("out"), ""));
  ASSERT_TRUE(WaitUntilReady(Path("out")));
  EXPECT_EQ(child.Stop(10000), kStopped);
}

TEST_F(ChildProcessTest, KillEndsTheChildAtOnceAsASignalWould) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(ChildHelperPath(), {"wait-stop", "20000"}, Path("out"), ""));
  ASSERT_TRUE(WaitUntilReady(Path("out")));
  ASSERT_TRUE(child.Kill());
  EXPECT_EQ(child.Wait(10000), 128 + 9);
  EXPECT_FALSE(child.Kill());
}

}  // namespace
}  // namespace platform

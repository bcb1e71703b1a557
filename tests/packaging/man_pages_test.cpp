// The man pages the build writes render at 80 columns without a warning from
// man or groff.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/packaging/tool_run.h"

namespace {

namespace fs = std::filesystem;

const fs::path kManDir = KOR_MAN_DIR;

TEST(ManPagesTest, EveryPageRendersWithoutWarnings) {
  if (!fs::is_directory(kManDir)) GTEST_SKIP() << "no man pages were built: scdoc is missing (scripts/install-deps.sh installs it)";
  e2e::ScratchDirectory scratch("man-pages");
  const std::vector<std::pair<std::string, std::string>> environment = {
      {"MANWIDTH", "80"}, {"MANPAGER", "cat"}, {"PAGER", "cat"}, {"LC_ALL", "C.UTF-8"}};
  for (const char* page : {"KorEventSvc.8", "tec-receiver.1", "service-host.1", "control-panel.1", "KorEvntS.ini.5",
                           "VXPrtDb.ini.5", "korbce.ini.5"}) {
    const fs::path source = kManDir / page;
    ASSERT_TRUE(fs::is_regular_file(source)) << source << " was not built";
    const ToolRun man = RunTool("man", {"--warnings", "-l", source.string()}, scratch, environment);
    if (!man.started) GTEST_SKIP() << "man is missing (scripts/install-deps.sh installs man-db)";
    EXPECT_EQ(man.status, 0) << page << ": " << man.errors;
    EXPECT_EQ(man.errors, "") << page;
    EXPECT_NE(man.output.find("SYNOPSIS"), std::string::npos) << page << ":\n" << man.output;
    EXPECT_NE(man.output.find("DESCRIPTION"), std::string::npos) << page << ":\n" << man.output;
  }
}

}  // namespace

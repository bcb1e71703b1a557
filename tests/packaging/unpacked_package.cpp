#include "tests/packaging/unpacked_package.h"

#include "tests/packaging/tool_run.h"

namespace {

namespace fs = std::filesystem;

fs::path PackageFile() {
  std::error_code ignored;
  for (const fs::directory_entry& entry : fs::directory_iterator(KOR_PACKAGE_DIR, ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("korevnts_") && name.ends_with(".deb")) return entry.path();
  }
  return {};
}

}  // namespace

void UnpackedPackageTest::SetUp() {
  if (const std::string reason = KOR_PACKAGE_SKIP_REASON; !reason.empty()) GTEST_SKIP() << reason;
  package_ = PackageFile();
  if (package_.empty()) {
    GTEST_SKIP() << "no korevnts_*.deb in " KOR_PACKAGE_DIR ": the test package_build makes it, and skips when "
                    "debhelper or dpkg-dev is missing (scripts/install-deps.sh installs them)";
  }
  const ToolRun unpack = RunTool("dpkg-deb", {"-x", package_.string(), Root().string()}, dir_);
  ASSERT_EQ(unpack.status, 0) << package_ << ": " << unpack.errors;
}

fs::path UnpackedPackageTest::PrivateLibraryDirectory() const {
  std::error_code ignored;
  for (const fs::directory_entry& entry : fs::directory_iterator(Installed("usr/lib"), ignored)) {
    if (fs::is_directory(entry.path() / "korevnts")) return entry.path() / "korevnts";
  }
  return {};
}

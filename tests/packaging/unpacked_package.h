#pragma once
// The Debian package that the test package_build made, unpacked with
// dpkg-deb -x into a temporary root for each test.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/e2e_support.h"

class UnpackedPackageTest : public testing::Test {
 protected:
  // Skips the test when this build makes no package or no package was built.
  void SetUp() override;

  const std::filesystem::path& Package() const { return package_; }
  std::filesystem::path Root() const { return dir_.Root() / "root"; }
  std::filesystem::path Installed(const std::string& path) const { return Root() / path; }
  // /usr/lib/<multiarch>/korevnts below the root, or empty when there is none.
  std::filesystem::path PrivateLibraryDirectory() const;

  e2e::ScratchDirectory dir_{"installed-package"};

 private:
  std::filesystem::path package_;
};

#pragma once
// A fresh directory per test for settings files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes content to a new file of the test's directory and returns its path.
  std::string WriteFile(std::string_view content);
  static std::string ReadBytes(const std::string& path);

  std::filesystem::path directory_;

 private:
  int fileCount_ = 0;
};

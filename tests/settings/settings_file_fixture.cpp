#include "tests/settings/settings_file_fixture.h"

#include <fstream>
#include <iterator>
#include <random>

void SettingsFileTest::SetUp() {
  std::random_device random;
  directory_ = std::filesystem::temp_directory_path() / ("korsettings-" + std::to_string(random()));
  std::filesystem::create_directories(directory_);
}

void SettingsFileTest::TearDown() { std::filesystem::remove_all(directory_); }

std::string SettingsFileTest::WriteFile(std::string_view content) {
  std::filesystem::path path = directory_ / ("KorEvntS-" + std::to_string(++fileCount_) + ".ini");
  std::ofstream out(path, std::ios::binary);
  out << content;
  return path.string();
}

std::string SettingsFileTest::ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

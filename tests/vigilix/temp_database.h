#pragma once
// A printer database file written by a test, removed when it ends.

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/path_search.h"

class TempDatabase {
 public:
  explicit TempDatabase(const std::string& content) {
    static std::atomic<int> counter{0};
    directory_ = std::filesystem::temp_directory_path() /
                 ("vigilix_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(directory_);
    path_ = (directory_ / "VXPrtDb.ini").string();
    Write(content);
  }
  ~TempDatabase() { std::filesystem::remove_all(directory_); }
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;

  void Write(const std::string& content) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << content;
  }
  const std::string& Path() const { return path_; }

 private:
  std::filesystem::path directory_;
  std::string path_;
};

// The shipped printer database, as the build copies it beside the tests.
inline std::string ShippedDatabasePath() { return platform::ProgramDirectory() + "/VXPrtDb.ini"; }

#include "tests/service/service_test_environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "common/directories.h"
#include "platform/posix/event_log_file.h"
#include "platform/file_io.h"
#include "platform/trace.h"

namespace service_test {

TemporaryRoot::TemporaryRoot() {
  std::random_device random;
  path_ = (std::filesystem::temp_directory_path() / ("korevnts-service-" + std::to_string(random()))).string();
  std::filesystem::create_directories(path_);
  environment_ = std::make_unique<ScopedEnvironment>("KOREVNTS_ROOT", path_);
}

TemporaryRoot::~TemporaryRoot() {
  environment_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TemporaryRoot::WriteFile(const std::string& relative, const std::string& content) const {
  const std::string path = path_ + "/" + relative;
  ASSERT_FALSE(common::CreateDirectories(path.substr(0, path.rfind('/'))));
  ASSERT_TRUE(platform::WriteFileAtomically(path, content).ok());
}

bool TemporaryRoot::Exists(const std::string& relative) const { return std::filesystem::exists(path_ + "/" + relative); }

TraceCapture::TraceCapture() {
  platform::SetDebugOutputSink([this](std::string_view text) {
    std::lock_guard lock(mutex_);
    lines_.emplace_back(text);
  });
}

TraceCapture::~TraceCapture() { platform::SetDebugOutputSink({}); }

std::vector<std::string> TraceCapture::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

std::vector<std::string> TraceCapture::Messages() const {
  std::vector<std::string> messages;
  for (const std::string& line : Lines()) {
    const std::size_t end = line.find("): ");
    messages.push_back(end == std::string::npos ? line : line.substr(end + 3));
  }
  return messages;
}

std::vector<std::string> EventLogEntries() {
  std::vector<std::string> entries;
  std::ifstream log(platform::EventLogFilePath());
  for (std::string line; std::getline(log, line);) entries.push_back(line.substr(line.find(' ') + 1));
  return entries;
}

NotifyListener::NotifyListener() {
  EXPECT_TRUE(socket_.Open());
  environment_ = std::make_unique<ScopedEnvironment>("NOTIFY_SOCKET", socket_.Address());
}

std::string NotifyListener::Next(std::uint32_t timeoutMs) {
  return socket_.Receive(timeoutMs).value_or("(none)");
}

}  // namespace service_test

#pragma once
// What the service's tests share: a temporary KOREVNTS_ROOT, environment
// variables set for a scope, the captured debug trace, the event log's lines
// and the messages of a notify socket.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/posix/notify_socket.h"
#include "tests/support/scratch.h"

namespace service_test {

using test_support::ScopedEnvironment;

// A fresh directory as KOREVNTS_ROOT, removed with everything in it.
class TemporaryRoot {
 public:
  TemporaryRoot();
  ~TemporaryRoot();
  const std::string& Path() const { return path_; }
  // Writes the file below the root, making its directories.
  void WriteFile(const std::string& relative, const std::string& content) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string path_;
  std::unique_ptr<ScopedEnvironment> environment_;
};

// Collects the debug trace while it lives.
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  std::vector<std::string> Lines() const;
  // The lines with the "[name](thread): " prefix removed.
  std::vector<std::string> Messages() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

// The event log's lines without their time stamps, e.g.
// "KorEvntS Information 103 The KorEvntS service was started.".
std::vector<std::string> EventLogEntries();

// A notify socket named by NOTIFY_SOCKET while it lives.
class NotifyListener {
 public:
  NotifyListener();
  // The next message, or "(none)" after timeoutMs.
  std::string Next(std::uint32_t timeoutMs = 10000);

 private:
  platform::NotifySocket socket_;
  std::unique_ptr<ScopedEnvironment> environment_;
};

}  // namespace service_test

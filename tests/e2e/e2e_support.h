#pragma once
// What the end-to-end tests share: scratch folders, file reading, waiting for
// a condition with a deadline, and tec-receiver processes with their output.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/child_process.h"

namespace e2e {

using Lines = std::vector<std::string>;

const std::string kBinDir = KOR_BIN_DIR;

// The file's bytes; empty when it cannot be read.
std::string ReadText(const std::filesystem::path& path);
Lines SplitLines(const std::string& text);

// Waits until condition holds or the deadline passes; whether it holds then.
// The deadline leaves room for the slow sanitizer builds.
template <class Condition>
bool Eventually(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
  using namespace std::chrono_literals;
  for (auto end = std::chrono::steady_clock::now() + deadline; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(10ms))
    if (condition()) return true;
  return condition();
}

// The lines of the event log kept under a KOREVNTS_ROOT, without their time
// stamps: "KorEvntS Information 103 The KorEvntS service was started."
Lines EventLogEntries(const std::filesystem::path& root);

// Undoes tec-receiver's escaping of one output line.
std::string UnescapeEventLine(const std::string& line);

// A temporary folder, removed with everything in it.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& prefix);
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::string Path(const std::string& name) const { return (root_ / name).string(); }

 private:
  std::filesystem::path root_;
};

// One tec-receiver process on 127.0.0.1 with its output files.
class Receiver {
 public:
  Receiver(const ScratchDirectory& dir, const std::string& name);

  // Starts it with the options on the port (0: a free one) and waits until it
  // listens.
  bool Start(std::vector<std::string> options, std::uint16_t port = 0);
  std::optional<int> Stop() { return process_.Stop(); }

  std::uint16_t Port() const { return port_; }
  // The events received so far, each with every byte as sent.
  std::vector<std::string> Events() const;
  bool WaitForEvents(std::size_t count) const;
  std::string Errors() const { return ReadText(errors_); }

 private:
  platform::ChildProcess process_;
  std::string output_, errors_, portFile_;
  std::uint16_t port_ = 0;
};

}  // namespace e2e

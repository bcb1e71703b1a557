#pragma once
// A fleet file in a fresh directory, an engine serving it, the trace it writes,
// and a window that collects the engine's notifications.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <string>
#include <vector>

#include "korbce/engine.h"
#include "platform/file_io.h"
#include "platform/trace.h"
#include "messages/window.h"

namespace korbce {

struct Notification {
  platform::MessageId message = 0;
  platform::WParam printer = 0;
  platform::LParam mask = 0;
  bool operator==(const Notification&) const = default;
};

inline void PrintTo(const Notification& n, std::ostream* out) {
  *out << "{message " << n.message << ", printer " << n.printer << ", mask 0x" << std::hex << n.mask << "}";
}

// A hidden window of the test thread that records what is posted to it.
class NotificationWindow {
 public:
  NotificationWindow() {
    DiscardWaitingMessages();
    window_ = platform::CreateHiddenWindow("korbce test", 0, [this](platform::WindowHandle, platform::MessageId id,
                                                                    platform::WParam w, platform::LParam l) {
      if (id != platform::WM_DESTROY) received_.push_back({id, w, l});
      return platform::LResult{1};
    });
  }
  ~NotificationWindow() {
    if (platform::IsWindow(window_)) platform::DestroyWindow(window_);
    DiscardWaitingMessages();
  }

  platform::WindowHandle Handle() const { return window_; }

  // Dispatches what is waiting and hands back everything received since the last call.
  std::vector<Notification> Take() {
    platform::Message message;
    while (platform::PeekMessage(message)) platform::DispatchMessage(message);
    return std::exchange(received_, {});
  }

  // Messages still queued for a window that is gone would reach a later window
  // made at the same address.
  static void DiscardWaitingMessages() {
    platform::Message message;
    while (platform::PeekMessage(message)) {
    }
  }

  // Waits until at least count notifications arrived, or the time is up.
  std::vector<Notification> WaitFor(std::size_t count, std::chrono::milliseconds limit) {
    std::vector<Notification> all;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (all.size() < count && std::chrono::steady_clock::now() < deadline) {
      auto more = Take();
      all.insert(all.end(), more.begin(), more.end());
      if (all.size() < count) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return all;
  }

 private:
  platform::WindowHandle window_ = nullptr;
  std::vector<Notification> received_;
};

class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    directory_ = std::filesystem::temp_directory_path() / ("korbce-test-" + std::to_string(random()));
    std::filesystem::create_directories(directory_);
    fleetPath_ = (directory_ / "korbce.ini").string();
    logPath_ = (directory_ / "calls.log").string();
    platform::SetDebugOutputSink([this](std::string_view text) {
      std::lock_guard lock(traceMutex_);
      trace_ += text;
    });
  }

  void TearDown() override {
    engine_.reset();
    platform::SetDebugOutputSink({});
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

  void WriteFleet(std::string_view content) {
    ASSERT_TRUE(platform::WriteFileAtomically(fleetPath_, content).ok());
  }

  // An engine whose fleet is checked only by CheckFleet, unless an interval is given.
  Engine& StartEngine(std::uint32_t checkIntervalMs = 0, bool withLog = false) {
    engine_ = std::make_unique<Engine>(
        EngineOptions{fleetPath_, withLog ? logPath_ : "", checkIntervalMs, (directory_ / "snmp-printers").string()});
    return *engine_;
  }

  std::string Trace() {
    std::lock_guard lock(traceMutex_);
    return trace_;
  }

  std::string Log() const { return platform::ReadWholeFile(logPath_).value_or(""); }

  std::filesystem::path directory_;
  std::string fleetPath_;
  std::string logPath_;
  std::unique_ptr<Engine> engine_;
  std::mutex traceMutex_;
  std::string trace_;
};

}  // namespace korbce

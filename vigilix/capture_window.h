#pragma once
// The hidden window that receives the engine's notifications. Its handlers
// only note each notification in the pending list and wake the worker.

#include <atomic>
#include <cstdint>
#include <memory>

#include "messages/window.h"
#include "vigilix/alert_engine.h"

namespace vigilix {

constexpr const char* kCaptureWindowTitle = "Vigilix Window";
// WS_MINIMIZE | WS_DISABLED, never visible.
constexpr std::uint32_t kCaptureWindowStyle = 0x28000000;

class CaptureWindow {
 public:
  explicit CaptureWindow(std::shared_ptr<AlertEngine> engine);
  // Destroys the window if it still exists.
  ~CaptureWindow();
  CaptureWindow(const CaptureWindow&) = delete;
  CaptureWindow& operator=(const CaptureWindow&) = delete;

  // Creates the window on the calling thread, unless it exists already;
  // returns its handle, or null when it cannot be created. The worker that
  // served an earlier window has ended by then; VXInit starts a new one.
  platform::WindowHandle Create();
  // The window, or null before Create and after it is destroyed.
  platform::WindowHandle Handle() const { return handle_->load(); }

 private:
  std::shared_ptr<AlertEngine> engine_;
  bool created_ = false;
  // Shared with the window's handler, which clears it on the destroy message.
  std::shared_ptr<std::atomic<platform::WindowHandle>> handle_;
};

// The handler of the capture window's messages.
platform::LResult HandleCaptureMessage(AlertEngine& engine, platform::MessageId message, platform::WParam wParam,
                                       platform::LParam lParam);

}  // namespace vigilix

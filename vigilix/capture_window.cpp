#include "vigilix/capture_window.h"

#include "bce/bce_messages.h"

namespace vigilix {

platform::LResult HandleCaptureMessage(AlertEngine& engine, platform::MessageId message, platform::WParam wParam,
                                       platform::LParam lParam) {
  const auto printer = static_cast<std::uint16_t>(wParam);
  switch (message) {
    case WM_VX_ALERTS:
      engine.pendingList.SetMask(printer, static_cast<std::uint32_t>(lParam));
      break;
    case WM_VX_COMM_LOST:
      engine.pendingList.SetCommState(printer, kCommLost);
      break;
    case WM_VX_COMM_RESTORED:
      engine.pendingList.SetCommState(printer, kCommRestored);
      break;
    case platform::WM_DESTROY:
      engine.quitEvent.Set();
      return 0;
    default:
      return 0;
  }
  engine.workEvent.Set();
  return 1;
}

CaptureWindow::CaptureWindow(std::shared_ptr<AlertEngine> engine)
    : engine_(std::move(engine)), handle_(std::make_shared<std::atomic<platform::WindowHandle>>(nullptr)) {}

CaptureWindow::~CaptureWindow() {
  // The worker ends even when the window's owner no longer dispatches.
  engine_->quitEvent.Set();
  const platform::WindowHandle window = Handle();
  if (window != nullptr && platform::IsWindow(window)) platform::DestroyWindow(window);
}

platform::WindowHandle CaptureWindow::Create() {
  const platform::WindowHandle existing = Handle();
  if (existing != nullptr && platform::IsWindow(existing)) return existing;
  if (created_) engine_->StopWorker();
  engine_->quitEvent.Reset();
  const platform::WindowHandle window = platform::CreateHiddenWindow(
      kCaptureWindowTitle, kCaptureWindowStyle,
      [engine = engine_, handle = handle_](platform::WindowHandle self, platform::MessageId message,
                                           platform::WParam wParam, platform::LParam lParam) {
        if (message == platform::WM_DESTROY) {
          platform::WindowHandle expected = self;
          handle->compare_exchange_strong(expected, nullptr);
        }
        return HandleCaptureMessage(*engine, message, wParam, lParam);
      });
  handle_->store(window);
  created_ = created_ || window != nullptr;
  return window;
}

}  // namespace vigilix

#include "platform/dialog_backend.h"

#include <atomic>

#include "platform/fltk_dialog_backend.h"

namespace platform {

namespace {
std::atomic<DialogBackend*> installedBackend{nullptr};
}  // namespace

DialogBackend& CurrentDialogBackend() {
  if (DialogBackend* backend = installedBackend.load()) return *backend;
  static FltkDialogBackend windowBackend;
  return windowBackend;
}

void SetDialogBackend(DialogBackend* backend) { installedBackend.store(backend); }

}  // namespace platform

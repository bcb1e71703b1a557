#include "dialogs/dialog_backend.h"

#include <atomic>


namespace platform {

namespace {
std::atomic<DialogBackend*> installedBackend{nullptr};
}  // namespace

DialogBackend& CurrentDialogBackend() {
  if (DialogBackend* backend = installedBackend.load()) return *backend;
  return WindowDialogBackend();
}

void SetDialogBackend(DialogBackend* backend) { installedBackend.store(backend); }

}  // namespace platform

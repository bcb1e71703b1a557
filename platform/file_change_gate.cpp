#include "platform/file_change_gate.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<FileChangeGate*> currentGate{nullptr};
}

void SetFileChangeGate(FileChangeGate* gate) { currentGate.store(gate); }

bool FileOperationAllowed(FileOperation operation) {
  FileChangeGate* gate = currentGate.load();
  return gate == nullptr || gate->Allow(operation);
}

}  // namespace platform

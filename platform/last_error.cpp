#include "platform/last_error.h"

namespace platform {

namespace {
thread_local int lastError = 0;
}

int GetLastError() { return lastError; }
void SetLastError(int error) { lastError = error; }

}  // namespace platform

#include "platform/process_exit.h"

#include <cstdlib>

namespace platform {

bool RunAtProcessExit(void (*function)()) { return std::atexit(function) == 0; }

void EndProcessNow(int status) { std::_Exit(status); }

}  // namespace platform

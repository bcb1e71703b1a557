#include "platform/process_exit.h"

#include <cstdlib>

namespace platform {

bool RunAtProcessExit(void (*function)()) { return std::atexit(function) == 0; }

}  // namespace platform

#pragma once
// Where the platform tests find their child process program: beside them.

#include <string>

#include "platform/path_search.h"

namespace platform {

inline std::string ChildHelperPath() { return ProgramDirectory() + "/platform_child_helper"; }

}  // namespace platform

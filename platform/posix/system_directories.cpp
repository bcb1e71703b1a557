#include "platform/root.h"

namespace platform {

std::string SystemDirectory() { return RootPath("etc/korevnts"); }

std::string WindowsDirectory() { return RootPath("etc"); }

}  // namespace platform

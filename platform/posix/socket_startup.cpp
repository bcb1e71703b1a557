#include "platform/socket_startup.h"

namespace platform {

bool StartSockets(int /*majorVersion*/, int /*minorVersion*/) { return true; }

}  // namespace platform

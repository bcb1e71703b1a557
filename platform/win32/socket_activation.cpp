#include "platform/socket_activation.h"

namespace platform {

// Windows starts services without sockets: the service binds its ports itself.
UniqueSocket ActivatedDatagramSocket(std::uint16_t) { return UniqueSocket(); }

}  // namespace platform

#pragma once
// The receiving end of the notify protocol, as a service manager holds it: a
// datagram socket whose address a service finds in NOTIFY_SOCKET.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/posix/unique_fd.h"

namespace platform {

class NotifySocket {
 public:
  // Binds a socket at a fresh abstract address; false when that fails.
  bool Open();
  bool IsOpen() const { return fd_.IsValid(); }
  // The address as NOTIFY_SOCKET carries it ("@name" for an abstract one).
  const std::string& Address() const { return address_; }

  // The next message, waiting up to timeoutMs; nothing when none came.
  std::optional<std::string> Receive(std::uint32_t timeoutMs);

 private:
  UniqueFd fd_;
  std::string address_;
};

}  // namespace platform

#pragma once
// Makes a socket look passed by the service manager to this process (socket
// activation): at descriptor 3, with LISTEN_FDS and LISTEN_PID set. What the
// process held at descriptor 3, and the environment, come back at the end.

#include "platform/native_handle.h"
#include "tests/support/scratch.h"

namespace test_support {

class PassedSocket {
 public:
  explicit PassedSocket(platform::NativeHandle socket);
  ~PassedSocket();
  PassedSocket(const PassedSocket&) = delete;
  PassedSocket& operator=(const PassedSocket&) = delete;

  bool Ok() const { return ok_; }

 private:
  int saved_ = -1;
  bool ok_ = false;
  ScopedEnvironment count_;
  ScopedEnvironment process_;
};

}  // namespace test_support

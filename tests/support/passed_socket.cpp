#include "tests/support/passed_socket.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace test_support {

constexpr int kFirstPassed = 3;

PassedSocket::PassedSocket(platform::NativeHandle socket) : saved_(fcntl(kFirstPassed, F_DUPFD_CLOEXEC, 10)) {
  ok_ = dup2(static_cast<int>(socket), kFirstPassed) == kFirstPassed;
  setenv("LISTEN_FDS", "1", 1);
  setenv("LISTEN_PID", std::to_string(getpid()).c_str(), 1);
}

PassedSocket::~PassedSocket() {
  unsetenv("LISTEN_FDS");
  unsetenv("LISTEN_PID");
  if (saved_ >= 0) {
    dup2(saved_, kFirstPassed);
    close(saved_);
  } else {
    close(kFirstPassed);
  }
}

}  // namespace test_support

#include "tests/support/passed_socket.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace test_support {

constexpr int kFirstPassed = 3;

PassedSocket::PassedSocket(platform::NativeHandle socket)
    : saved_(fcntl(kFirstPassed, F_DUPFD_CLOEXEC, 10)),
      ok_(dup2(static_cast<int>(socket), kFirstPassed) == kFirstPassed),
      count_("LISTEN_FDS", "1"),
      process_("LISTEN_PID", std::to_string(getpid())) {}

PassedSocket::~PassedSocket() {
  if (saved_ >= 0) {
    dup2(saved_, kFirstPassed);
    close(saved_);
  } else {
    close(kFirstPassed);
  }
}

}  // namespace test_support

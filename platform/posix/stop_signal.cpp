#include "platform/stop_signal.h"

#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace platform {

namespace {

int stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
  char byte = 1;
  [[maybe_unused]] ssize_t ignored = ::write(stopPipe[1], &byte, 1);
}

}  // namespace

NativeHandle StopSignalHandle() {
  if (stopPipe[0] >= 0) return stopPipe[0];
  if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return kNoHandle;
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
  return stopPipe[0];
}

}  // namespace platform

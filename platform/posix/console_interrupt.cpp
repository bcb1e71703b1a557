#include "platform/console_interrupt.h"

#include <signal.h>

namespace platform {

namespace {
volatile sig_atomic_t interrupted = 0;
void OnInterrupt(int) { interrupted = 1; }
}  // namespace

void CatchConsoleInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool ConsoleInterruptRequested() { return interrupted != 0; }

}  // namespace platform

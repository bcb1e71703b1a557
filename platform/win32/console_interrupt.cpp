#include "platform/console_interrupt.h"

#include <windows.h>

#include <atomic>

#include "platform/win32/stop_request.h"

namespace platform {

namespace {

std::atomic<bool> interrupted{false};

// Ctrl-C, Ctrl-Break and the console's close are the requests to end that a
// console program receives; they are noted and the program goes on.
BOOL WINAPI OnControl(DWORD control) {
  switch (control) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      interrupted = true;
      return TRUE;
    default:
      return FALSE;
  }
}

void OnStopRequest() { interrupted = true; }

}  // namespace

// The stop requests of ChildProcess count as well, which reach a process
// without a console too.
void CatchConsoleInterrupt() {
  static const bool watching = (WatchStopRequests(OnStopRequest), true);
  (void)watching;
  // A process started in a process group of its own ignores Ctrl-C until it
  // asks for it again.
  SetConsoleCtrlHandler(nullptr, FALSE);
  SetConsoleCtrlHandler(OnControl, TRUE);
}

bool ConsoleInterruptRequested() { return interrupted; }

}  // namespace platform

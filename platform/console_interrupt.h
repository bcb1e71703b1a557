#pragma once
// Ctrl-C (SIGINT) and termination requests (SIGTERM) to a console program,
// caught instead of ending the program. On Windows: Ctrl-C, Ctrl-Break, the
// console's close, and ChildProcess::RequestStop.

namespace platform {

// From now on the two requests are only noted.
void CatchConsoleInterrupt();
// True once a request has arrived.
bool ConsoleInterruptRequested();

}  // namespace platform

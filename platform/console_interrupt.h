#pragma once
// Ctrl-C (SIGINT) and termination requests (SIGTERM) to a console program,
// caught instead of ending the program.

namespace platform {

// From now on the two requests are only noted.
void CatchConsoleInterrupt();
// True once a request has arrived.
bool ConsoleInterruptRequested();

}  // namespace platform

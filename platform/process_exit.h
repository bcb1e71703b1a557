#pragma once
// Work for the end of the process.

namespace platform {

// Runs function when the process ends normally (exit, or a return from main),
// while its other threads still run and before the static objects of the
// libraries loaded so far are destroyed; the functions run last registered
// first. False when it cannot be registered.
bool RunAtProcessExit(void (*function)());

// Ends the process at once with the status (0 to 255), running none of the
// work registered for its end: for a process whose other threads may be in
// the middle of calls that cannot be left.
[[noreturn]] void EndProcessNow(int status);

}  // namespace platform

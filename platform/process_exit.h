#pragma once
// Work for the end of the process.

namespace platform {

// Runs function when the process ends normally (exit, or a return from main),
// while its other threads still run and before the static objects of the
// libraries loaded so far are destroyed; the functions run last registered
// first. False when it cannot be registered.
bool RunAtProcessExit(void (*function)());

}  // namespace platform

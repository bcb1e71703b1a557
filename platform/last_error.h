#pragma once
// The calling thread's last error, as the platform calls that fail leave it.

namespace platform {

// An errno value; 0 when the last failing call left none.
int GetLastError();
void SetLastError(int error);

}  // namespace platform

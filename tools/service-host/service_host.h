#pragma once
// Runs one service program under a notify socket of its own, sends the
// controls that the options ask for, and reports on standard output:
//   service-host: started PROGRAM (process PID)
//   status: READY=1; STATUS=Running          (one line per notify message)
//   control: stop | control: 128             (each control sent)
//   service-host: PROGRAM exited with status N

#include "host_options.h"

// The program's exit status, or 127 when it could not be started.
int RunServiceHost(const HostOptions& options);

#pragma once
// The server loop of tec-receiver: accepts connections, reads their frames and
// writes each event as one line, until a stop signal arrives.

#include <cstdio>

#include "tools/tec-receiver/receiver_options.h"

// Serves on the bound listener until stopDescriptor turns readable. Returns
// the exit status.
int RunReceiverLoop(const ReceiverOptions& options, int listener, int stopDescriptor, std::FILE* output);

#pragma once
// The server loop of tec-receiver: accepts connections, reads their frames and
// writes each event as one line, until a stop signal arrives.

#include <cstdio>

#include "platform/native_handle.h"
#include "tools/tec-receiver/receiver_options.h"

// Serves on the bound listener until stopHandle turns readable. Returns
// the exit status.
int RunReceiverLoop(const ReceiverOptions& options, platform::NativeHandle listener, platform::NativeHandle stopHandle,
                    std::FILE* output);

#pragma once
// The operating system's handle of a file, socket, event or pipe, kept as an
// integer wide enough for any of them, so that headers name no OS type.

#include <cstdint>

namespace platform {

using NativeHandle = std::intptr_t;
constexpr NativeHandle kNoHandle = -1;

}  // namespace platform

#pragma once
// What a NativeHandle holds on Windows: a kernel object's HANDLE or a Winsock
// SOCKET. Both fit an intptr_t, and kNoHandle (-1) is INVALID_HANDLE_VALUE and
// INVALID_SOCKET alike.

#include <winsock2.h>
#include <windows.h>

#include "platform/native_handle.h"

namespace platform {

inline HANDLE HandleOf(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }
inline SOCKET SocketOf(NativeHandle handle) { return static_cast<SOCKET>(handle); }

inline NativeHandle ToNativeHandle(HANDLE handle) {
  return handle == nullptr ? kNoHandle : reinterpret_cast<NativeHandle>(handle);
}
inline NativeHandle ToNativeHandle(SOCKET socket) {
  return socket == INVALID_SOCKET ? kNoHandle : static_cast<NativeHandle>(socket);
}

}  // namespace platform

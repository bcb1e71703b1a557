#pragma once
// A socket that closes itself.

#include <utility>

#include "platform/native_handle.h"

namespace platform {

class UniqueSocket {
 public:
  UniqueSocket() = default;
  explicit UniqueSocket(NativeHandle socket) : socket_(socket) {}
  ~UniqueSocket() { Reset(); }
  UniqueSocket(UniqueSocket&& other) noexcept : socket_(std::exchange(other.socket_, kNoHandle)) {}
  UniqueSocket& operator=(UniqueSocket&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.socket_, kNoHandle));
    return *this;
  }
  UniqueSocket(const UniqueSocket&) = delete;
  UniqueSocket& operator=(const UniqueSocket&) = delete;

  NativeHandle Get() const { return socket_; }
  bool IsValid() const { return socket_ != kNoHandle; }
  NativeHandle Release() { return std::exchange(socket_, kNoHandle); }
  // Closes the socket held, if any, and holds socket instead.
  void Reset(NativeHandle socket = kNoHandle);

 private:
  NativeHandle socket_ = kNoHandle;
};

}  // namespace platform

#pragma once
// Cuts the byte stream of one connection into event frames and checks them.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class FrameStream {
 public:
  // Longest event text accepted; a longer length field marks a broken frame.
  static constexpr std::size_t kMaxTextLength = 64 * 1024 * 1024;

  // Takes received bytes and calls onEvent for each complete event text.
  // False once a malformed frame is seen (Error() tells why); the stream
  // takes nothing more then.
  bool Feed(std::string_view data, const std::function<void(std::string_view)>& onEvent);

  // True while a frame has begun but not ended.
  bool InsideFrame() const { return !pending_.empty(); }
  const std::string& Error() const { return error_; }

 private:
  std::string pending_;
  std::string error_;
};

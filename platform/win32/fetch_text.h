#pragma once
// Reading a text from a Win32 call that fills a caller's buffer.

#include <windows.h>

#include <string>

namespace platform {

// Calls fill(buffer, size) until the text fits. fill returns the length
// written, or, when the buffer is too small, the size it needs with the
// terminator; 0 when it fails, which gives an empty text.
template <class Fill>
std::string FetchText(Fill fill) {
  std::string text(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return {};
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(length);
  }
}

}  // namespace platform

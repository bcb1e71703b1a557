#include "platform/computer_name.h"

#include <windows.h>
#include <lm.h>

namespace platform {

namespace {

std::string Narrow(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<std::size_t>(size - 1));
  return text;
}

}  // namespace

// The name the server service announces on the network (level 100 of the
// local server's information).
std::optional<std::string> ComputerName() {
  SERVER_INFO_100* info = nullptr;
  if (NetServerGetInfo(nullptr, 100, reinterpret_cast<LPBYTE*>(&info)) != NERR_Success || info == nullptr)
    return std::nullopt;
  std::string name = info->sv100_name ? Narrow(info->sv100_name) : std::string();
  NetApiBufferFree(info);
  if (name.empty()) return std::nullopt;
  return name;
}

}  // namespace platform

#include "platform/environment.h"

#include <windows.h>
// The A and W functions are called by name; the macros would rename ours.
#undef GetEnvironmentVariable
#undef SetEnvironmentVariable

#include <cstdlib>
#include <string>

namespace platform {

std::optional<std::string> GetEnvironmentVariable(std::string_view name) {
  const std::string key(name);
  std::string value(256, '\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableA(key.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();  // set, but empty
    }
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);  // the size asked for, terminator included
  }
}

// The C runtime keeps a copy of the environment that getenv reads: both are
// changed, so that code reading either sees the same.
bool SetEnvironmentVariable(std::string_view name, std::optional<std::string_view> value) {
  if (name.empty() || name.find('=') != std::string_view::npos) return false;
  const std::string key(name);
  if (!value) {
    _putenv_s(key.c_str(), "");
    return ::SetEnvironmentVariableA(key.c_str(), nullptr) || GetLastError() == ERROR_ENVVAR_NOT_FOUND;
  }
  const std::string text(*value);
  if (!text.empty()) _putenv_s(key.c_str(), text.c_str());
  return ::SetEnvironmentVariableA(key.c_str(), text.c_str());
}

}  // namespace platform

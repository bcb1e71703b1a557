#include "platform/environment.h"

#include <cstdlib>

namespace platform {

std::optional<std::string> GetEnvironmentVariable(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool SetEnvironmentVariable(std::string_view name, std::optional<std::string_view> value) {
  if (name.empty() || name.find('=') != std::string_view::npos) return false;
  const std::string key(name);
  if (!value) return ::unsetenv(key.c_str()) == 0;
  return ::setenv(key.c_str(), std::string(*value).c_str(), 1) == 0;
}

}  // namespace platform

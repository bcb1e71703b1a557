#pragma once
// Sets an environment variable for the life of the object.

#include <optional>
#include <string>

#include "platform/environment.h"

namespace platform_test {

class ScopedEnvironment {
 public:
  // Nothing as the value removes the variable.
  ScopedEnvironment(const char* name, std::optional<std::string> value)
      : name_(name), old_(platform::GetEnvironmentVariable(name)) {
    platform::SetEnvironmentVariable(name_, value);
  }
  ~ScopedEnvironment() { platform::SetEnvironmentVariable(name_, old_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace platform_test

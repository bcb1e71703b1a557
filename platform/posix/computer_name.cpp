#include "platform/computer_name.h"

#include <unistd.h>

#include <climits>

namespace platform {

std::optional<std::string> ComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return std::nullopt;
  return std::string(name);
}

}  // namespace platform

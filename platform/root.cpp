#include "platform/root.h"

#include <cstdlib>

namespace platform {

std::string RootDirectory() {
  const char* root = std::getenv("KOREVNTS_ROOT");
  return (root && *root) ? std::string(root) : std::string("/");
}

std::string RootPath(std::string_view relative) {
  std::string path = RootDirectory();
  while (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
  if (path.back() != '/') path += '/';
  path += relative;
  return path;
}

}  // namespace platform

#include "platform/root.h"

#include "platform/environment.h"

namespace platform {

namespace {

// KOREVNTS_ROOT, unless it is unset or empty.
std::optional<std::string> RootVariable() {
  std::optional<std::string> root = GetEnvironmentVariable("KOREVNTS_ROOT");
  if (root && root->empty()) root.reset();
  return root;
}

}  // namespace

bool RootIsSet() { return RootVariable().has_value(); }

std::string RootDirectory() { return RootVariable().value_or("/"); }

std::string RootPath(std::string_view relative) {
  std::string path = RootDirectory();
  while (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
  if (path.back() != '/') path += '/';
  path += relative;
  return path;
}

}  // namespace platform

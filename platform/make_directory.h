#pragma once
// Creating one directory, its parent assumed to exist.

#include <string>

namespace platform {

enum class MakeDirectoryResult {
  Created,
  AlreadyExists,
  MissingParent,  // a directory above it does not exist
  Failed,         // any other reason
};

MakeDirectoryResult MakeDirectory(const std::string& path);

}  // namespace platform

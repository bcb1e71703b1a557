#pragma once
// KOREVNTS_ROOT moves every file that the platform layer keeps, like a prefix.

#include <string>
#include <string_view>

namespace platform {

// $KOREVNTS_ROOT, or "/" when unset or empty.
std::string RootDirectory();
// relative ("var/log/korevnts") joined below the root.
std::string RootPath(std::string_view relative);
// Where the original system kept its system files: root/etc/korevnts.
std::string SystemDirectory();
// Where the original system kept its configuration: root/etc.
std::string WindowsDirectory();

}  // namespace platform

#pragma once
// KOREVNTS_ROOT moves every file that the platform layer keeps, like a prefix.

#include <string>
#include <string_view>

namespace platform {

// Whether KOREVNTS_ROOT is set, and not empty.
bool RootIsSet();
// $KOREVNTS_ROOT, or "/" when unset or empty.
std::string RootDirectory();
// relative ("var/log/korevnts") joined below the root.
std::string RootPath(std::string_view relative);
// Where the original system kept its system files: root/etc/korevnts. On
// Windows the real system directory, unless KOREVNTS_ROOT is set.
std::string SystemDirectory();
// Where the original system kept its configuration: root/etc. On Windows the
// real Windows directory, unless KOREVNTS_ROOT is set.
std::string WindowsDirectory();

}  // namespace platform

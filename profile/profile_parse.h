#pragma once
// Parsing the text of a profile (INI) file.

#include <memory>
#include <string_view>

#include "profile/profile.h"

namespace platform {

// Sections "[name]" and "key=value" lines, as profile.h describes them. Lines
// that start with ';' are comments; lines before the first section, lines
// without '=' and keys that are empty are passed by. CR LF, LF and CR all end a line.
std::unique_ptr<ProfileDocument> ParseProfile(std::string_view content);

}  // namespace platform

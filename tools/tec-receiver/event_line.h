#pragma once
// The one-line printable form of an event text.

#include <string>
#include <string_view>

// Printable ASCII stays as it is, "\" becomes "\\", a newline "\n", and every
// other byte "\xHH" (lower-case hex), so that the line decodes to the exact bytes.
std::string EscapeEventText(std::string_view text);

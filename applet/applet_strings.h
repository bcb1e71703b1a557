#pragma once
// The applet's string table.

#include "platform/string_table.h"

const platform::StringTable& AppletStrings();

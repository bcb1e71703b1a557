#pragma once
// The applet's string table.

#include "dialogs/string_table.h"

const platform::StringTable& AppletStrings();

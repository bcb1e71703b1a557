#pragma once
// The applet's dialog resources.

#include "dialogs/dialog_template.h"

const platform::DialogTemplate& ConfigDialogTemplate();
const platform::DialogTemplate& AddSubnetDialogTemplate();

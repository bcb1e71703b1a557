#pragma once
// The library's process-wide objects behind its exports, made when the
// library is loaded and released when it is unloaded.

#include "vigilix/alert_engine.h"
#include "vigilix/capture_window.h"

namespace vigilix {

AlertEngine& LibraryEngine();
CaptureWindow& LibraryWindow();

}  // namespace vigilix

#pragma once
// Notifications that the engine posts to the registered window.

#include "messages/window.h"

// wParam: printer id; lParam: alert category mask.
constexpr platform::MessageId WM_VX_ALERTS = platform::WM_USER + 500;  // 0x5F4
// wParam: printer id; lParam unused.
constexpr platform::MessageId WM_VX_COMM_LOST = 100;
constexpr platform::MessageId WM_VX_COMM_RESTORED = 101;

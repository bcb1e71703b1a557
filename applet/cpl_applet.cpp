#include "applet/cpl_applet.h"

#include <cstring>

namespace {
CCplApplet* currentApplet = nullptr;
}  // namespace

CCplApplet::CCplApplet() { currentApplet = this; }

CCplApplet::~CCplApplet() {
  if (currentApplet == this) currentApplet = nullptr;
}

CCplApplet* CCplApplet::Current() { return currentApplet; }

std::intptr_t CCplApplet::OnDblclk(void*, int, std::intptr_t) { return 0; }
std::intptr_t CCplApplet::OnExit() { return 0; }
std::intptr_t CCplApplet::OnGetCount() { return 1; }
std::intptr_t CCplApplet::OnInit() { return 1; }

std::intptr_t CCplApplet::OnNewInquire(int, platform::NEWCPLINFO* info) {
  if (!info) return 1;
  std::memset(info, 0, sizeof *info);
  info->dwSize = sizeof *info;
  return 0;
}

std::intptr_t CCplApplet::OnSelect(int, std::intptr_t) { return 1; }
std::intptr_t CCplApplet::OnStop(int, std::intptr_t) { return 1; }

#include "applet/config_applet.h"

#include <cstring>

#include "applet/resource.h"

namespace {
template <std::size_t N>
void CopyText(char (&field)[N], const char* text) {
  std::strncpy(field, text, N - 1);
  field[N - 1] = '\0';
}
}  // namespace

std::intptr_t CConfigApplet::OnDblclk(void*, int, std::intptr_t) {
  m_dlgConfig.DoModal();
  return 0;
}

std::intptr_t CConfigApplet::OnNewInquire(int appletNumber, platform::NEWCPLINFO* info) {
  if (CCplApplet::OnNewInquire(appletNumber, info) != 0) return 1;
  info->hIcon = IDI_APPLET;
  CopyText(info->szName, "KorEvntS Configuration");
  CopyText(info->szInfo, "Korvane Event Adapter for Tivoli Configuration");
  return 0;
}

#pragma once
// The one applet of this library: "KorEvntS Configuration", which opens the
// configuration dialog.

#include "applet/config_dlg.h"
#include "applet/cpl_applet.h"

class CConfigApplet : public CCplApplet {
 public:
  std::intptr_t OnDblclk(void* controlPanelWindow, int appletNumber, std::intptr_t appletData) override;
  std::intptr_t OnNewInquire(int appletNumber, platform::NEWCPLINFO* info) override;

  CConfigDlg& Dialog() { return m_dlgConfig; }

 private:
  CConfigDlg m_dlgConfig;
};

// CPlApplet, the entry point through which a control panel drives the applet.

#include "applet/cpl_applet.h"

using namespace platform;

KOR_CPL_EXPORT std::intptr_t CPlApplet(void* controlPanelWindow, std::uint32_t message, std::intptr_t param1,
                                       std::intptr_t param2) {
  CCplApplet* applet = CCplApplet::Current();
  if (!applet) return 0;
  const int appletNumber = static_cast<int>(param1);
  switch (message) {
    case CPL_INIT:
      return applet->OnInit();
    case CPL_GETCOUNT:
      return applet->OnGetCount();
    case CPL_INQUIRE:
      return 0;
    case CPL_SELECT:
      return applet->OnSelect(appletNumber, param2);
    case CPL_DBLCLK:
      return applet->OnDblclk(controlPanelWindow, appletNumber, param2);
    case CPL_STOP:
      return applet->OnStop(appletNumber, param2);
    case CPL_EXIT:
      return applet->OnExit();
    case CPL_NEWINQUIRE:
      return applet->OnNewInquire(appletNumber, reinterpret_cast<NEWCPLINFO*>(param2));
    case CPL_STARTWPARMSA:
    case CPL_STARTWPARMSW:
      // Not taken: answering 1 would tell the control panel that the applet
      // opened itself, and nothing would open. The CPL_DBLCLK that follows opens it.
      return 0;
    default:
      return 1;
  }
}

#pragma once
// The base of one Control Panel applet: CPlApplet hands every message to the
// current applet, the one constructed last.

#include <cstdint>

#include "platform/control_panel.h"

class CCplApplet {
 public:
  CCplApplet();
  virtual ~CCplApplet();
  CCplApplet(const CCplApplet&) = delete;
  CCplApplet& operator=(const CCplApplet&) = delete;

  // The applet that CPlApplet serves, or null.
  static CCplApplet* Current();

  virtual std::intptr_t OnDblclk(void* controlPanelWindow, int appletNumber, std::intptr_t appletData);
  virtual std::intptr_t OnExit();
  virtual std::intptr_t OnGetCount();
  virtual std::intptr_t OnInit();
  // Fills an empty record of the right size; 1 for a missing record.
  virtual std::intptr_t OnNewInquire(int appletNumber, platform::NEWCPLINFO* info);
  virtual std::intptr_t OnSelect(int appletNumber, std::intptr_t appletData);
  virtual std::intptr_t OnStop(int appletNumber, std::intptr_t appletData);
};

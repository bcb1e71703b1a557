#pragma once
// The application object of the applet library: made when the library is
// loaded, gone when it is unloaded. Everything it owns keeps its values
// between openings of the dialog.

#include "applet/config_applet.h"

class CAppletApp {
 public:
  CAppletApp();
  CConfigApplet& Applet() { return m_applet; }

 private:
  CConfigApplet m_applet;
};

CAppletApp& TheApp();

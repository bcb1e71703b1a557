#include "applet/applet_app.h"

#include "dialogs/message_box.h"

namespace {
CAppletApp theApp;
}  // namespace

CAppletApp::CAppletApp() { platform::SetApplicationTitle("KorEvntC"); }

CAppletApp& TheApp() { return theApp; }

// KorEventSvc: the printer event adapter's service program.

#include <string>

#include "platform/event.h"
#include "service/adapter_app.h"
#include "service/adapter_service.h"

namespace {

AdapterService theService;
platform::Event startFailedEvent(false, false);
platform::Event stopEvent(true, false);

// Everything after the program name, as one text.
std::string CommandLineOf(int argc, char** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) text += (i > 1 ? " " : "") + std::string(argv[i]);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  // The adapter's start-up joins here once its modules are part of the
  // program; until then every start reports that the adapter failed to start.
  AdapterApp app(theService, AdapterApp::Startup(), startFailedEvent, stopEvent);
  if (!app.InitInstance(CommandLineOf(argc, argv))) return app.ExitStatus();
  return app.MessageLoop();
}

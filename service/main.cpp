// KorEventSvc: the printer event adapter's service program.

#include <string>

#include "platform/event.h"
#include "service/adapter_app.h"
#include "service/adapter_service.h"
#include "service/event_adapter.h"
#include "service/event_queue.h"
#include "service/printer_table.h"

namespace {

AdapterService theService;
platform::Event startFailedEvent(false, false);
platform::Event stopEvent(true, false);
PrinterTable printerTable;
EventQueue eventQueue;
EventAdapter eventAdapter(printerTable, eventQueue);

// Everything after the program name, as one text.
std::string CommandLineOf(int argc, char** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) text += (i > 1 ? " " : "") + std::string(argv[i]);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  theService.SetStatusLineSource([] { return eventAdapter.StatusLine(); });
  theService.WatchProgress([] { return eventAdapter.SenderProgress(); });
  theService.WatchProgress(&EventAdapter::EngineProgress);
  AdapterApp app(
      theService,
      [](const std::string& settingsPath, platform::Event& stop) { return eventAdapter.StartAdapter(settingsPath, stop); },
      startFailedEvent, stopEvent);
  if (!app.InitInstance(CommandLineOf(argc, argv))) return app.ExitStatus();
  return app.MessageLoop();
}

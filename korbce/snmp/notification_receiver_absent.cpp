// The receiver of a build without net-snmp (KOR_SNMP off): it takes no
// notifications; printers are polled only.
#include "korbce/snmp/notification_receiver.h"

namespace korbce::snmp {

struct NotificationReceiver::Session {};

NotificationReceiver::NotificationReceiver(Notified notified) : notified_(std::move(notified)) {}

NotificationReceiver::~NotificationReceiver() = default;

void NotificationReceiver::Configure(const NotificationSettings& settings) { settings_ = settings; }

void NotificationReceiver::Read() {}

void NotificationReceiver::Close() {}

void NotificationReceiver::Open() {}

}  // namespace korbce::snmp

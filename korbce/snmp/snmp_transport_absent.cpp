// The transport of a build without net-snmp (KOR_SNMP off): it never starts,
// and every fetch ends unanswered at once, so that the engine serves its
// simulated fleet alone and says why network printers stay unseen.
#include "korbce/snmp/snmp_transport.h"

#include "platform/trace.h"

namespace korbce::snmp {

struct SnmpTransport::Fetch {};
struct SnmpTransport::Kept {};

SnmpTransport::SnmpTransport() = default;

SnmpTransport::~SnmpTransport() = default;

bool SnmpTransport::Start(std::function<void()>) {
  platform::OutputDebugString(
      "korbce: this build of the engine has no SNMP support; the network printers of [SNMP] are not watched\n");
  return false;
}

void SnmpTransport::Stop() {}

void SnmpTransport::Submit(SessionSettings, FetchPlan, Done done) { done(FetchResult{}); }

void SnmpTransport::SetMaxInFlight(std::uint32_t) {}
bool SnmpTransport::Backlogged() { return false; }

}  // namespace korbce::snmp

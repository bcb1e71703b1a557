#pragma once
// The service control manager on systemd. A service is installed as the unit
// file root/etc/systemd/system/<name>.service (Type=notify, ExecStart the
// quoted program path, a start timeout of five minutes, ordered after the
// units of its dependencies, the spooler being cups.service, wanted by
// multi-user.target); "installed" means that the file exists.
//
// A program that systemd starts finds NOTIFY_SOCKET in its environment;
// without it the dispatcher fails. The dispatcher receives
// SIGTERM or SIGINT as the stop control and SIGRTMIN+n as user control code
// 128+n, and each status goes to systemd as a notify message.

#include <string>

#include "platform/service_manager.h"

namespace platform {

// The unit file of the service: root/etc/systemd/system/<name>.service.
std::string ServiceUnitPath(const std::string& name);

// The notify message for a status: "READY=1" when running, "STOPPING=1" when
// stopping or stopped, "STATUS=" with the state's name (with runningText
// instead when running and it is not empty), and "ERRNO=" with a non-zero
// exit code of a stopped service; lines separated by newlines.
std::string NotifyMessageOf(const ServiceStatus& status, const std::string& runningText = {});

}  // namespace platform

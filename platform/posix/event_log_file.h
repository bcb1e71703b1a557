#pragma once
// The event log on POSIX: one line per message in root/var/log/korevnts/eventlog,
//   2026-12-08T14:05:00Z KorEvntS Information 103 The KorEvntS service was started.
// (UTC time, source, type, id, the message text with its insertion strings
// as FormatEventText gives it), and a copy to the journal where one runs.
// Registering a source makes the log's directory; it fails when that cannot
// be made.

#include <string>

namespace platform {

std::string EventLogFilePath();

}  // namespace platform

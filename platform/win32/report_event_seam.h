#pragma once
// The call through which the event log hands each message to the system.
// Tests replace it to see what the system would receive: Wine's event log
// keeps nothing that could be read back.
//
// Include platform/event_log.h before this header: it brings <windows.h>.

#include <windows.h>

namespace platform::win32 {

// The signature of ReportEventA.
using ReportEventFunction = BOOL(WINAPI*)(HANDLE source, WORD type, WORD category, DWORD eventId, PSID user,
                                          WORD stringCount, DWORD dataSize, LPCSTR* strings, LPVOID data);

// Makes the event log call function instead of ReportEventA (null: ReportEventA
// again); returns the function used before.
ReportEventFunction ReplaceReportEvent(ReportEventFunction function);

}  // namespace platform::win32

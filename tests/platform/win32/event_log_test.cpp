// The event log on Windows: what the log hands to ReportEventA. Wine's event
// log keeps nothing, so the call is replaced and its arguments recorded.

#include "platform/event_log.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/last_error.h"
#include "platform/win32/report_event_seam.h"

// After <windows.h>: the event types are its macros of the same values, and
// these names are ours.
#undef RegisterEventSource
#undef ReportEvent

namespace {

struct ReportedEvent {
  HANDLE source;
  WORD type;
  WORD category;
  DWORD eventId;
  PSID user;
  DWORD dataSize;
  std::vector<std::string> strings;
};

std::vector<ReportedEvent> reported;
BOOL refuse = FALSE;

BOOL WINAPI RecordReport(HANDLE source, WORD type, WORD category, DWORD eventId, PSID user, WORD stringCount,
                         DWORD dataSize, LPCSTR* strings, LPVOID /*data*/) {
  if (refuse) {
    SetLastError(ERROR_LOG_FILE_FULL);
    return FALSE;
  }
  ReportedEvent event{source, type, category, eventId, user, dataSize, {}};
  for (WORD i = 0; i < stringCount; ++i) event.strings.emplace_back(strings[i]);
  reported.push_back(event);
  return TRUE;
}

class EventLogWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    reported.clear();
    refuse = FALSE;
    previous_ = platform::win32::ReplaceReportEvent(RecordReport);
  }
  void TearDown() override { platform::win32::ReplaceReportEvent(previous_); }

  platform::win32::ReportEventFunction previous_ = nullptr;
};

constexpr platform::MessageTableEntry kMessages[] = {{109, "The service %1 could not find %2.\r\n"}};

TEST_F(EventLogWin32Test, HandsTheSystemTheIdTypeAndInsertionStrings) {
  platform::EventSourceHandle source = platform::RegisterEventSource("KorEvntS", kMessages);
  ASSERT_NE(source, nullptr);
  const char* strings[] = {"KorEvntS", "KorEvntS.ini"};
  EXPECT_TRUE(platform::ReportEvent(source, EVENTLOG_INFORMATION_TYPE, 0, 109, strings));
  EXPECT_TRUE(platform::ReportEvent(source, EVENTLOG_ERROR_TYPE, 3, 107, {}));
  const char* withMissing[] = {"KorEvntS", nullptr};
  EXPECT_TRUE(platform::ReportEvent(source, EVENTLOG_WARNING_TYPE, 0, 105, withMissing));

  ASSERT_EQ(reported.size(), 3u);
  EXPECT_NE(reported[0].source, nullptr);
  EXPECT_EQ(reported[0].source, reported[1].source);
  EXPECT_EQ(reported[0].type, EVENTLOG_INFORMATION_TYPE);
  EXPECT_EQ(reported[0].category, 0);
  EXPECT_EQ(reported[0].eventId, 109u);
  EXPECT_EQ(reported[0].user, nullptr);
  EXPECT_EQ(reported[0].dataSize, 0u);
  EXPECT_EQ(reported[0].strings, (std::vector<std::string>{"KorEvntS", "KorEvntS.ini"}));
  EXPECT_EQ(reported[1].type, EVENTLOG_ERROR_TYPE);
  EXPECT_EQ(reported[1].category, 3);
  EXPECT_EQ(reported[1].eventId, 107u);
  EXPECT_TRUE(reported[1].strings.empty());
  EXPECT_EQ(reported[2].type, EVENTLOG_WARNING_TYPE);
  EXPECT_EQ(reported[2].strings, (std::vector<std::string>{"KorEvntS", ""}));
  EXPECT_TRUE(platform::DeregisterEventSource(source));
}

TEST_F(EventLogWin32Test, AFailedReportLeavesTheSystemError) {
  platform::EventSourceHandle source = platform::RegisterEventSource("KorEvntS", kMessages);
  ASSERT_NE(source, nullptr);
  refuse = TRUE;
  EXPECT_FALSE(platform::ReportEvent(source, EVENTLOG_ERROR_TYPE, 0, 109, {}));
  EXPECT_EQ(platform::GetLastError(), ENOSPC);
  EXPECT_TRUE(platform::DeregisterEventSource(source));

  EXPECT_FALSE(platform::ReportEvent(nullptr, EVENTLOG_ERROR_TYPE, 0, 109, {}));
  EXPECT_EQ(platform::GetLastError(), EINVAL);
  EXPECT_FALSE(platform::DeregisterEventSource(nullptr));
  EXPECT_TRUE(reported.empty());
}

TEST_F(EventLogWin32Test, TheSystemCallComesBack) {
  EXPECT_EQ(platform::win32::ReplaceReportEvent(nullptr), &RecordReport);
  EXPECT_EQ(platform::win32::ReplaceReportEvent(RecordReport), &ReportEventA);
}

}  // namespace

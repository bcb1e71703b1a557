#include "platform/cpu_time.h"

#include <windows.h>
#include <tlhelp32.h>

namespace platform {
namespace {

double Seconds(const FILETIME& time) {
  const ULONGLONG ticks = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return static_cast<double>(ticks) / 1e7;  // 100 ns ticks
}

std::optional<double> CpuSecondsOfThread(DWORD threadId) {
  HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId);
  if (thread == nullptr) return std::nullopt;
  FILETIME creation, exit, kernel, user;
  const bool read = GetThreadTimes(thread, &creation, &exit, &kernel, &user);
  CloseHandle(thread);
  if (!read) return std::nullopt;
  return Seconds(kernel) + Seconds(user);
}

// The CPU time of a process that still runs; nothing once it has ended, even
// while a handle keeps its record.
std::optional<double> CpuSecondsOfProcess(HANDLE process) {
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process, &exitCode) || exitCode != STILL_ACTIVE) return std::nullopt;
  FILETIME creation, exit, kernel, user;
  if (!GetProcessTimes(process, &creation, &exit, &kernel, &user)) return std::nullopt;
  return Seconds(kernel) + Seconds(user);
}

}  // namespace

std::vector<ThreadCpuTime> ThreadCpuTimes() {
  std::vector<ThreadCpuTime> threads;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return threads;
  const DWORD self = GetCurrentProcessId();
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (bool more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != self) continue;
    if (auto seconds = CpuSecondsOfThread(entry.th32ThreadID)) {
      threads.push_back({static_cast<int>(entry.th32ThreadID), *seconds});
    }
  }
  CloseHandle(snapshot);
  return threads;
}

double ProcessCpuSeconds() { return CpuSecondsOfProcess(GetCurrentProcess()).value_or(0); }

std::optional<double> ProcessCpuSeconds(int processId) {
  if (processId <= 0) return std::nullopt;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId));
  if (process == nullptr) return std::nullopt;
  std::optional<double> seconds = CpuSecondsOfProcess(process);
  CloseHandle(process);
  return seconds;
}

}  // namespace platform

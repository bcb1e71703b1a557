#include "platform/child_process.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/critical_section.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/stop_request.h"

namespace platform {

namespace {

// The exit status of a child ended by Kill, or by Stop when the request was
// not heeded: what a program killed on Linux reports (128 + SIGKILL).
constexpr UINT kKilledStatus = 128 + 9;

// Handles are made inheritable only while one child is being created, so
// that no other child started meanwhile inherits them.
CriticalSection creationMutex;

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EACCES;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
      return ENOEXEC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    default:
      return EINVAL;
  }
}

// One argument as the C runtime's command line parser reads it back.
std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, '\\');
  quoted.push_back('"');
  return quoted;
}

std::string CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = QuoteArgument(program);
  for (const std::string& argument : arguments) line += " " + QuoteArgument(argument);
  return line;
}

bool SameName(std::string_view entry, const std::string& name) {
  return entry.size() > name.size() && entry[name.size()] == '=' &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, entry.data(), static_cast<int>(name.size()), name.data(),
                        static_cast<int>(name.size())) == CSTR_EQUAL;
}

// This process's environment block with the variables added or replaced
// (names compared without regard to case, as Windows does).
std::string MergedEnvironment(const std::vector<std::pair<std::string, std::string>>& extra) {
  std::string block;
  if (char* strings = GetEnvironmentStringsA()) {
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
      const std::string_view text(entry);
      bool replaced = false;
      for (const auto& [name, value] : extra) replaced = replaced || SameName(text, name);
      if (!replaced) block.append(text).push_back('\0');
    }
    FreeEnvironmentStringsA(strings);
  }
  for (const auto& [name, value] : extra) block.append(name + "=" + value).push_back('\0');
  block.push_back('\0');
  return block;
}

class InheritableHandle {
 public:
  InheritableHandle() = default;
  ~InheritableHandle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  InheritableHandle(const InheritableHandle&) = delete;
  InheritableHandle& operator=(const InheritableHandle&) = delete;

  // The file at path, created or emptied, for writing.
  bool OpenForWriting(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    handle_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle_ != INVALID_HANDLE_VALUE;
  }
  // A copy of one of this process's standard handles; none when it has none.
  void CopyStandard(DWORD which) {
    HANDLE own = GetStdHandle(which);
    if (own == nullptr || own == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &handle_, 0, TRUE, DUPLICATE_SAME_ACCESS))
      handle_ = nullptr;
  }
  HANDLE Get() const { return handle_ == INVALID_HANDLE_VALUE ? nullptr : handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// Standard output or error: the file named, or a copy of this process's own.
bool OpenStandardHandle(InheritableHandle& handle, const std::string& path, DWORD which) {
  if (path.empty()) {
    handle.CopyStandard(which);
    return true;
  }
  return handle.OpenForWriting(path);
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !status_) Stop();
  if (process_ != kNoHandle) CloseHandle(HandleOf(process_));
}

// Every child gets a process group of its own, so that a Ctrl-Break can be
// addressed to it alone; a Ctrl-C at the console then reaches only the parent.
bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const ChildSetup& setup, int* error) {
  if (pid_ > 0 && !status_) {
    if (error) *error = EBUSY;
    return false;
  }
  std::string commandLine = CommandLine(program, arguments);
  std::string environment = MergedEnvironment(setup.environment);
  ScopedLock lock(creationMutex);
  InheritableHandle input, output, errors;
  input.CopyStandard(STD_INPUT_HANDLE);
  if (!OpenStandardHandle(output, setup.outputPath, STD_OUTPUT_HANDLE) ||
      !OpenStandardHandle(errors, setup.errorPath, STD_ERROR_HANDLE)) {
    if (error) *error = ErrnoOf(GetLastError());
    return false;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.Get();
  startup.hStdOutput = output.Get();
  startup.hStdError = errors.Get();
  PROCESS_INFORMATION created{};
  const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
                                      environment.data(), nullptr, &startup, &created);
  if (!started) {
    if (error) *error = ErrnoOf(GetLastError());
    return false;
  }
  CloseHandle(created.hThread);
  if (process_ != kNoHandle) CloseHandle(HandleOf(process_));
  process_ = ToNativeHandle(created.hProcess);
  pid_ = static_cast<int>(created.dwProcessId);
  status_.reset();
  if (error) *error = 0;
  return true;
}

std::optional<int> ChildProcess::Wait(int timeoutMs) {
  if (status_ || process_ == kNoHandle) return status_;
  const DWORD waitMs = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
  if (WaitForSingleObject(HandleOf(process_), waitMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(HandleOf(process_), &exitCode)) return std::nullopt;
  status_ = static_cast<int>(exitCode);
  CloseHandle(HandleOf(process_));
  process_ = kNoHandle;
  return status_;
}

bool ChildProcess::Kill() {
  return process_ != kNoHandle && !status_ && TerminateProcess(HandleOf(process_), kKilledStatus);
}

// The stop request that our programs watch once they catch console
// interrupts or stop signals, and Ctrl-Break to the child's own process group,
// which any console program sees when it shares this process's console.
// False when neither could be delivered: the child has not set up its
// handlers yet, or ignores stop requests and has no console.
bool ChildProcess::RequestStop() {
  if (process_ == kNoHandle || status_) return false;
  const bool requested = SendStopRequest(static_cast<std::uint32_t>(pid_));
  const bool interrupted = GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(pid_));
  return requested || interrupted;
}

// User controls reach a service through the service control manager only.
int ChildProcess::UserControlCount() { return 0; }

bool ChildProcess::SendUserControl(int /*n*/) { return false; }

}  // namespace platform

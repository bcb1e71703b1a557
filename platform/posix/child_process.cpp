#include "platform/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <string_view>

extern char** environ;

namespace platform {

namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::pair<std::string, std::string>>& extra) {
  std::vector<std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    bool replaced = false;
    for (const auto& [name, value] : extra) replaced = replaced || text.starts_with(name + "=");
    if (!replaced) merged.emplace_back(text);
  }
  for (const auto& [name, value] : extra) merged.push_back(name + "=" + value);
  return merged;
}

std::vector<char*> PointersTo(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The child starts with no signal blocked and every signal at its default.
void SetSignalDefaults(posix_spawnattr_t& attributes, bool ownProcessGroup) {
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (ownProcessGroup) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  posix_spawnattr_setflags(&attributes, flags);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes, &signals);
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !status_) Stop();
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const ChildSetup& setup, int* error) {
  if (pid_ > 0 && !status_) {
    if (error) *error = EBUSY;
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!setup.outputPath.empty())
    posix_spawn_file_actions_addopen(&actions, 1, setup.outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!setup.errorPath.empty())
    posix_spawn_file_actions_addopen(&actions, 2, setup.errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  SetSignalDefaults(attributes, setup.ownProcessGroup);

  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment = MergedEnvironment(setup.environment);
  std::vector<char*> argvPointers = PointersTo(argv);
  std::vector<char*> environmentPointers = PointersTo(environment);
  pid_t pid = -1;
  const int result =
      posix_spawnp(&pid, program.c_str(), &actions, &attributes, argvPointers.data(), environmentPointers.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error) *error = result;
  if (result != 0) return false;
  pid_ = pid;
  status_.reset();
  return true;
}

std::optional<int> ChildProcess::Wait(int timeoutMs) {
  if (status_ || pid_ <= 0) return status_;
  for (int waited = 0;; waited += 10) {
    int status = 0;
    pid_t ended = ::waitpid(pid_, &status, WNOHANG);
    if (ended == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return status_;
    }
    if (ended < 0 && errno != EINTR) return std::nullopt;
    if (waited >= timeoutMs) return std::nullopt;
    timespec pause{0, 10 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
  }
}

bool ChildProcess::Kill() { return pid_ > 0 && !status_ && ::kill(pid_, SIGKILL) == 0; }

bool ChildProcess::RequestStop() { return pid_ > 0 && !status_ && ::kill(pid_, SIGTERM) == 0; }

int ChildProcess::UserControlCount() { return SIGRTMAX - SIGRTMIN + 1; }

bool ChildProcess::SendUserControl(int n) {
  if (pid_ <= 0 || status_ || n < 0 || n >= UserControlCount()) return false;
  return ::kill(pid_, SIGRTMIN + n) == 0;
}

}  // namespace platform

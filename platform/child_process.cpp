#include "platform/child_process.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace platform {

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !status_) Stop();
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& outputPath, const std::string& errorPath) {
  if (pid_ > 0 && !status_) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!outputPath.empty())
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!errorPath.empty())
    posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int result = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return false;
  pid_ = pid;
  status_.reset();
  return true;
}

bool ChildProcess::IsRunning() { return pid_ > 0 && !Wait(0); }

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

std::optional<int> ChildProcess::Stop(int timeoutMs) {
  if (pid_ <= 0 || status_) return status_;
  ::kill(pid_, SIGTERM);
  if (std::optional<int> status = Wait(timeoutMs)) return status;
  ::kill(pid_, SIGKILL);
  return Wait(5000);
}

}  // namespace platform

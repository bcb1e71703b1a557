#include "platform/child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace platform {

namespace {

std::vector<std::string> MergedEnvironment(const ChildProcess::Environment& extra) {
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

int StatusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return 255;
}

}  // namespace

ChildProcess::~ChildProcess() {
  while (pid_ > 0 && !status_ && !Wait(1000)) {
  }
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const Environment& extraEnvironment, int& error) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment = MergedEnvironment(extraEnvironment);
  std::vector<char*> argvPointers = PointersTo(argv);
  std::vector<char*> environmentPointers = PointersTo(environment);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  error = posix_spawnp(&pid_, program.c_str(), nullptr, &attributes, argvPointers.data(), environmentPointers.data());
  posix_spawnattr_destroy(&attributes);
  if (error != 0) pid_ = -1;
  return error == 0;
}

bool ChildProcess::RequestStop() const { return pid_ > 0 && !status_ && kill(pid_, SIGTERM) == 0; }

int ChildProcess::UserControlCount() { return SIGRTMAX - SIGRTMIN + 1; }

bool ChildProcess::SendUserControl(int n) const {
  if (pid_ <= 0 || status_ || n < 0 || n >= UserControlCount()) return false;
  return kill(pid_, SIGRTMIN + n) == 0;
}

std::optional<int> ChildProcess::Wait(std::uint32_t timeoutMs) {
  if (status_ || pid_ <= 0) return status_;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int waitStatus = 0;
    const pid_t ended = waitpid(pid_, &waitStatus, WNOHANG);
    if (ended == pid_) return status_ = StatusOf(waitStatus);
    if (ended < 0) return status_ = 255;
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace platform

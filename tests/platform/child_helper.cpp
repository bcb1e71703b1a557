// A child process for the platform tests, the same on every system:
//   sleep MS          sleeps, then exits with 0
//   exit CODE         exits with CODE
//   print OUT ERR     writes OUT to standard output and ERR to standard error
//   env NAME          writes the variable's value, or "(unset)"
//   wait-stop MS      exits with 3 when a stop request arrives within MS, else 4
//   wait-interrupt MS the same through the console interrupt flag
//   at-exit           returns 5 from main with a thread running, after
//                     registering two functions for the process's exit

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/console_interrupt.h"
#include "platform/environment.h"
#include "platform/event.h"
#include "platform/process_exit.h"
#include "platform/readiness.h"
#include "platform/stop_signal.h"
#include "platform/thread.h"

namespace {

constexpr int kStopped = 3;
constexpr int kNotStopped = 4;

int WaitForStopSignal(int timeoutMs) {
  const platform::NativeHandle stop = platform::StopSignalHandle();
  if (stop == platform::kNoHandle) return 1;
  std::puts("ready");
  std::fflush(stdout);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  // A signal that interrupts the wait counts as no event: the wait goes on.
  for (auto now = std::chrono::steady_clock::now(); now < deadline; now = std::chrono::steady_clock::now()) {
    const auto leftMs = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
    bool readable = false;
    const int ready = platform::WaitReadable(std::span<const platform::NativeHandle>(&stop, 1),
                                             std::span<bool>(&readable, 1), static_cast<int>(leftMs));
    if (ready < 0) return 1;
    if (readable) return kStopped;
  }
  return kNotStopped;
}

int WaitForInterrupt(int timeoutMs) {
  platform::CatchConsoleInterrupt();
  std::puts("ready");
  std::fflush(stdout);
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (platform::ConsoleInterruptRequested()) return kStopped;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return kNotStopped;
}

void Say(const char* line) {
  std::puts(line);
  std::fflush(stdout);
}

// A background thread that says so when it sees the stop; the first function
// registered stops and joins it, the second only speaks.
int ReturnWithAThreadRunning() {
  static platform::Event stop(true, false);
  static platform::Thread worker;
  worker.Start(
      [] {
        while (!stop.Wait(10)) {
        }
        Say("the thread saw the stop");
        return 0u;
      },
      /*background=*/true);
  platform::RunAtProcessExit([] {
    stop.Set();
    worker.Join();
    Say("joined");
  });
  platform::RunAtProcessExit([] { Say("the last registered runs first"); });
  return 5;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  const std::string argument = argc > 2 ? argv[2] : "";
  if (command == "sleep") {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argument.c_str())));
    return 0;
  }
  if (command == "exit") return std::atoi(argument.c_str());
  if (command == "at-exit") return ReturnWithAThreadRunning();
  if (command == "print" && argc > 3) {
    std::fputs(argv[2], stdout);
    std::fputs(argv[3], stderr);
    return 0;
  }
  if (command == "env") {
    std::fputs(platform::GetEnvironmentVariable(argument).value_or("(unset)").c_str(), stdout);
    return 0;
  }
  if (command == "wait-stop") return WaitForStopSignal(std::atoi(argument.c_str()));
  if (command == "wait-interrupt") return WaitForInterrupt(std::atoi(argument.c_str()));
  std::fprintf(stderr, "child_helper: unknown command %s\n", command.c_str());
  return 2;
}

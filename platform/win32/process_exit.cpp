#include "platform/process_exit.h"

#include <windows.h>

#include <vector>

#include "platform/critical_section.h"

namespace platform {
namespace {

// A DLL's own atexit list runs when the DLL is unloaded, which at the
// process's end comes after the system has ended every other thread without
// unwinding it: a thread ended inside a lock leaves it locked for good. The C
// runtime's process-wide list runs within exit(), while every thread still
// runs, as the list of an ELF process does.
using ExitFunction = int(__cdecl*)();
using OnExit = ExitFunction(__cdecl*)(ExitFunction);

CriticalSection registeredMutex;
std::vector<void (*)()>& Registered() REQUIRES(registeredMutex) {
  static auto* functions = new std::vector<void (*)()>;  // used until the process ends
  return *functions;
}

int __cdecl RunRegistered() {
  std::vector<void (*)()> functions;
  {
    ScopedLock lock(registeredMutex);
    functions.swap(Registered());
  }
  for (auto function = functions.rbegin(); function != functions.rend(); ++function) (*function)();
  return 0;
}

}  // namespace

bool RunAtProcessExit(void (*function)()) {
  ScopedLock lock(registeredMutex);
  if (Registered().empty()) {
    HMODULE runtime = GetModuleHandleA("msvcrt.dll");
    FARPROC found = runtime ? GetProcAddress(runtime, "_onexit") : nullptr;
    const auto onExit = reinterpret_cast<OnExit>(reinterpret_cast<void*>(found));
    if (onExit == nullptr || onExit(RunRegistered) == nullptr) return false;
  }
  Registered().push_back(function);
  return true;
}

// Terminated rather than exited: ExitProcess would run the libraries' detach
// work while another thread may still hold their locks.
void EndProcessNow(int status) {
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
  ExitProcess(static_cast<UINT>(status));
}

}  // namespace platform

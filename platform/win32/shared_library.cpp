#include "platform/shared_library.h"

#include <windows.h>

#include "platform/win32/system_error_text.h"

namespace platform {

// The loader resolves every import of a DLL when it loads it.
bool SharedLibrary::Load(const std::string& path) {
  Unload();
  handle_ = LoadLibraryA(path.c_str());
  error_ = handle_ ? std::string() : path + ": " + SystemErrorText(GetLastError());
  return handle_ != nullptr;
}

void SharedLibrary::Unload() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

void* SharedLibrary::Symbol(const std::string& name) {
  if (!handle_) {
    error_ = "no library loaded";
    return nullptr;
  }
  void* address = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name.c_str()));
  error_ = address ? std::string() : name + ": " + SystemErrorText(GetLastError());
  return address;
}

}  // namespace platform

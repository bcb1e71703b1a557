#include "platform/shared_library.h"

#include <dlfcn.h>

namespace platform {

namespace {
std::string LastLoaderError() {
  const char* text = dlerror();
  return text ? text : "unknown error";
}
}  // namespace

bool SharedLibrary::Load(const std::string& path) {
  Unload();
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  error_ = handle_ ? std::string() : LastLoaderError();
  return handle_ != nullptr;
}

void SharedLibrary::Unload() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

void* SharedLibrary::Symbol(const std::string& name) {
  if (!handle_) {
    error_ = "no library loaded";
    return nullptr;
  }
  dlerror();
  void* address = dlsym(handle_, name.c_str());
  error_ = address ? std::string() : LastLoaderError();
  return address;
}

}  // namespace platform

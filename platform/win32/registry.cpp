#include "platform/registry.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/win32/error_number.h"

// After <windows.h>, HKEY_LOCAL_MACHINE names the Win32 root key; the header's
// text of the same name is written out where it is meant.

namespace platform {

namespace {

constexpr const char* kLocalMachineName = "HKEY_LOCAL_MACHINE";

// Closes an open key when it goes.
class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* Receive() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

struct KeyPath {
  HKEY root = nullptr;
  std::string path;
};

// The root key named by its text; only the local machine's is used.
HKEY RootKeyOf(const std::string& root) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, root.c_str(), -1, kLocalMachineName, -1) == CSTR_EQUAL
             ? HKEY_LOCAL_MACHINE
             : nullptr;
}

// Splits a full path "ROOT\path" into its root key and the path below it.
KeyPath SplitFullPath(const std::string& fullPath) {
  const std::size_t separator = fullPath.find('\\');
  if (separator == std::string::npos) return {RootKeyOf(fullPath), {}};
  return {RootKeyOf(fullPath.substr(0, separator)), fullPath.substr(separator + 1)};
}

// The errno value of a registry call's result; 0 for success.
int ErrorOf(LONG result) { return result == ERROR_SUCCESS ? 0 : ErrorNumberOf(static_cast<unsigned long>(result)); }

int OpenForQuery(const KeyPath& where, OpenKey& key) {
  if (where.root == nullptr) return EINVAL;
  return ErrorOf(RegOpenKeyExA(where.root, where.path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()));
}

int CreateForWriting(const KeyPath& where, OpenKey& key) {
  if (where.root == nullptr) return EINVAL;
  return ErrorOf(RegCreateKeyExA(where.root, where.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                 nullptr, key.Receive(), nullptr));
}

// The value's type and bytes, however long they are.
int ReadRaw(HKEY key, const std::string& name, DWORD& type, std::vector<BYTE>& data) {
  DWORD size = 64;
  for (;;) {
    data.resize(size);
    const LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
    if (result == ERROR_SUCCESS) {
      data.resize(size);
      return 0;
    }
    if (result != ERROR_MORE_DATA) return ErrorOf(result);
  }
}

// A stored text may or may not carry its terminator.
std::string TextOf(const std::vector<BYTE>& data) {
  std::string text(data.begin(), data.end());
  text.erase(text.find_last_not_of('\0') + 1);
  return text;
}

int Decode(DWORD type, const std::vector<BYTE>& data, RegistryValue& value) {
  switch (type) {
    case REG_DWORD:
      if (data.size() != sizeof(std::uint32_t)) return EINVAL;
      value = {RegistryType::Dword, {}, 0};
      std::memcpy(&value.dword, data.data(), sizeof value.dword);
      return 0;
    case REG_SZ: value = {RegistryType::String, TextOf(data), 0}; return 0;
    case REG_EXPAND_SZ: value = {RegistryType::ExpandString, TextOf(data), 0}; return 0;
    default: return EINVAL;
  }
}

int OpenOrCreate(const std::string& root, const std::string& path, bool create, std::string& fullPath) {
  const KeyPath where{RootKeyOf(root), path};
  OpenKey key;
  if (const int error = create ? CreateForWriting(where, key) : OpenForQuery(where, key)) return error;
  fullPath = std::string(kLocalMachineName) + "\\" + path;
  return 0;
}

}  // namespace

int RegistryKey::Open(const std::string& root, const std::string& path, RegistryKey& key) {
  return OpenOrCreate(root, path, false, key.fullPath_);
}

int RegistryKey::Create(const std::string& root, const std::string& path, RegistryKey& key) {
  return OpenOrCreate(root, path, true, key.fullPath_);
}

int RegistryKey::Query(const std::string& name, RegistryValue& value) const {
  OpenKey key;
  if (const int error = OpenForQuery(SplitFullPath(fullPath_), key)) return error;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  if (const int error = ReadRaw(key.Get(), name, type, data)) return error;
  return Decode(type, data, value);
}

int RegistryKey::QueryDword(const std::string& name, std::uint32_t& value) const {
  RegistryValue stored;
  if (const int error = Query(name, stored)) return error;
  if (stored.type != RegistryType::Dword) return EINVAL;
  value = stored.dword;
  return 0;
}

int RegistryKey::Set(const std::string& name, const RegistryValue& value) const {
  OpenKey key;
  if (const int error = CreateForWriting(SplitFullPath(fullPath_), key)) return error;
  LONG result;
  if (value.type == RegistryType::Dword) {
    const DWORD number = value.dword;
    result = RegSetValueExA(key.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                            sizeof number);
  } else {
    // The stored length counts the terminator.
    result = RegSetValueExA(key.Get(), name.c_str(), 0, value.type == RegistryType::String ? REG_SZ : REG_EXPAND_SZ,
                            reinterpret_cast<const BYTE*>(value.text.c_str()),
                            static_cast<DWORD>(value.text.size() + 1));
  }
  return ErrorOf(result);
}

int RegistryKey::SetDword(const std::string& name, std::uint32_t value) const {
  return Set(name, {RegistryType::Dword, {}, value});
}

int RegistryKey::SetString(const std::string& name, const std::string& text, RegistryType type) const {
  return Set(name, {type, text, 0});
}

}  // namespace platform

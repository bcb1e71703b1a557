#pragma once
// The registry values of the service: keys below a root key, each holding
// named values (texts and 32-bit numbers). A value set is kept across runs of
// the program and seen at once by every process.
//
// Key paths and value names match without regard to letter case. Failing
// calls return an errno value; 0 is success.

#include <cstdint>
#include <string>

namespace platform {

constexpr const char* HKEY_LOCAL_MACHINE = "HKEY_LOCAL_MACHINE";

enum class RegistryType { String, ExpandString, Dword };

struct RegistryValue {
  RegistryType type = RegistryType::String;
  std::string text;         // String and ExpandString
  std::uint32_t dword = 0;  // Dword
};

// A key path below a root key, e.g. (HKEY_LOCAL_MACHINE, "SYSTEM\\...").
class RegistryKey {
 public:
  // An existing key; ENOENT when it is missing.
  static int Open(const std::string& root, const std::string& path, RegistryKey& key);
  // The key, added to the registry when it is missing.
  static int Create(const std::string& root, const std::string& path, RegistryKey& key);

  // The value as stored now; ENOENT when it is missing, EINVAL when it is of
  // a type other than those of RegistryType (QueryDword: other than Dword).
  int Query(const std::string& name, RegistryValue& value) const;
  int QueryDword(const std::string& name, std::uint32_t& value) const;

  // Sets the value, adding the key again if it has been deleted meanwhile.
  int Set(const std::string& name, const RegistryValue& value) const;
  int SetDword(const std::string& name, std::uint32_t value) const;
  int SetString(const std::string& name, const std::string& text, RegistryType type = RegistryType::String) const;

  // root + "\\" + path.
  const std::string& FullPath() const { return fullPath_; }

 private:
  std::string fullPath_;
};

}  // namespace platform

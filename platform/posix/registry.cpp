#include "platform/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <sstream>
#include <vector>

#include "common/blank_text.h"
#include "common/directories.h"
#include "platform/critical_section.h"
#include "platform/file_io.h"
#include "common/ascii_text.h"
#include "platform/root.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/unique_fd.h"

namespace platform {

namespace {

struct NamedValue {
  std::string name;
  RegistryValue value;
};

struct KeyEntry {
  std::string path;
  std::vector<NamedValue> values;
};

using Registry = std::vector<KeyEntry>;

std::string RegistryDirectory() { return RootPath("var/lib/korevnts"); }

// Serialises the registry among the threads of this process and, through a
// lock file, among processes.
class RegistryLock {
 public:
  RegistryLock() : guard_(Mutex()) {
    common::CreateDirectories(RegistryDirectory());
    fd_ = UniqueFd(open((RegistryFilePath() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (fd_.IsValid()) flock(fd_.Get(), LOCK_EX);
  }
  ~RegistryLock() {
    if (fd_.IsValid()) flock(fd_.Get(), LOCK_UN);
  }

 private:
  static CriticalSection& Mutex() {
    static CriticalSection mutex;
    return mutex;
  }
  ScopedLock<CriticalSection> guard_;
  UniqueFd fd_;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\r': quoted += "\\r"; break;
      default: quoted += c;
    }
  }
  return quoted + "\"";
}

// Reads a quoted text at the start of rest; advances rest past it.
bool Unquote(std::string_view& rest, std::string& text) {
  if (rest.empty() || rest.front() != '"') return false;
  for (std::size_t i = 1; i < rest.size(); ++i) {
    char c = rest[i];
    if (c == '"') {
      rest.remove_prefix(i + 1);
      return true;
    }
    if (c == '\\') {
      if (++i == rest.size()) return false;
      c = rest[i] == 'n' ? '\n' : rest[i] == 'r' ? '\r' : rest[i];
    }
    text += c;
  }
  return false;
}

bool ParseValue(std::string_view text, RegistryValue& value) {
  if (text.starts_with("dword:")) {
    text.remove_prefix(6);
    value.type = RegistryType::Dword;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value.dword, 16);
    return error == std::errc() && end == text.data() + text.size();
  }
  value.type = RegistryType::String;
  if (text.starts_with("expand:")) {
    text.remove_prefix(7);
    value.type = RegistryType::ExpandString;
  }
  return Unquote(text, value.text) && text.empty();
}

bool ParseLine(std::string_view line, Registry& registry) {
  line = common::TrimBlanks(line);
  if (line.empty() || line.front() == ';' || line.front() == '#') return true;
  if (line.front() == '[') {
    if (line.back() != ']') return false;
    registry.push_back({std::string(line.substr(1, line.size() - 2)), {}});
    return true;
  }
  NamedValue named;
  if (registry.empty() || !Unquote(line, named.name) || !line.starts_with('=')) return false;
  if (!ParseValue(line.substr(1), named.value)) return false;
  registry.back().values.push_back(std::move(named));
  return true;
}

// The registry as stored; a missing file is an empty registry.
int Load(Registry& registry) {
  const std::string path = RegistryFilePath();
  if (access(path.c_str(), F_OK) != 0) return errno == ENOENT ? 0 : errno;
  std::optional<std::string> content = ReadWholeFile(path);
  if (!content) return errno ? errno : EIO;
  std::istringstream lines(*content);
  for (std::string line; std::getline(lines, line);) {
    if (!ParseLine(line, registry)) return EINVAL;
  }
  return 0;
}

std::string Serialise(const Registry& registry) {
  std::string text;
  for (const KeyEntry& key : registry) {
    text += (text.empty() ? "[" : "\n[") + key.path + "]\n";
    for (const NamedValue& named : key.values) {
      text += Quoted(named.name) + "=";
      if (named.value.type == RegistryType::Dword) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "dword:%08x", named.value.dword);
        text += hex;
      } else {
        text += (named.value.type == RegistryType::ExpandString ? "expand:" : "") + Quoted(named.value.text);
      }
      text += "\n";
    }
  }
  return text;
}

int Store(const Registry& registry) {
  if (const std::error_code error = common::CreateDirectories(RegistryDirectory())) return error.value();
  return WriteFileAtomically(RegistryFilePath(), Serialise(registry)).systemError;
}

KeyEntry* FindKey(Registry& registry, const std::string& path) {
  for (KeyEntry& key : registry) {
    if (common::EqualsIgnoreCase(key.path, path)) return &key;
  }
  return nullptr;
}

int OpenOrCreate(const std::string& root, const std::string& path, bool create, std::string& fullPath) {
  fullPath = root + "\\" + path;
  RegistryLock lock;
  Registry registry;
  if (int error = Load(registry)) return error;
  if (FindKey(registry, fullPath)) return 0;
  if (!create) return ENOENT;
  registry.push_back({fullPath, {}});
  return Store(registry);
}

}  // namespace

std::string RegistryFilePath() { return RootPath("var/lib/korevnts/registry"); }

int RegistryKey::Open(const std::string& root, const std::string& path, RegistryKey& key) {
  return OpenOrCreate(root, path, false, key.fullPath_);
}

int RegistryKey::Create(const std::string& root, const std::string& path, RegistryKey& key) {
  return OpenOrCreate(root, path, true, key.fullPath_);
}

int RegistryKey::Query(const std::string& name, RegistryValue& value) const {
  RegistryLock lock;
  Registry registry;
  if (int error = Load(registry)) return error;
  KeyEntry* key = FindKey(registry, fullPath_);
  if (key == nullptr) return ENOENT;
  for (const NamedValue& named : key->values) {
    if (common::EqualsIgnoreCase(named.name, name)) {
      value = named.value;
      return 0;
    }
  }
  return ENOENT;
}

int RegistryKey::QueryDword(const std::string& name, std::uint32_t& value) const {
  RegistryValue stored;
  if (int error = Query(name, stored)) return error;
  if (stored.type != RegistryType::Dword) return EINVAL;
  value = stored.dword;
  return 0;
}

int RegistryKey::Set(const std::string& name, const RegistryValue& value) const {
  RegistryLock lock;
  Registry registry;
  if (int error = Load(registry)) return error;
  KeyEntry* key = FindKey(registry, fullPath_);
  if (key == nullptr) key = &registry.emplace_back(KeyEntry{fullPath_, {}});
  NamedValue* slot = nullptr;
  for (NamedValue& named : key->values) {
    if (common::EqualsIgnoreCase(named.name, name)) slot = &named;
  }
  if (slot == nullptr) slot = &key->values.emplace_back(NamedValue{name, {}});
  slot->value = value;
  return Store(registry);
}

int RegistryKey::SetDword(const std::string& name, std::uint32_t value) const {
  return Set(name, {RegistryType::Dword, {}, value});
}

int RegistryKey::SetString(const std::string& name, const std::string& text, RegistryType type) const {
  return Set(name, {type, text, 0});
}

}  // namespace platform

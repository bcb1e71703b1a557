#pragma once
// The ids of network printers, kept in a file so that a printer keeps its id
// across enumerations and restarts. A printer is known by its hardware
// address, else by its address and port; a printer known by its hardware
// address is named by the address and port it was last found at too, so
// that it keeps its id while it does not answer; the model it last told is
// kept beside its id.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace korbce::snmp {

// New ids are given from 32768 up to 65534, then from 1 up to 32767, so that
// network printers keep clear of the low ids a simulated fleet usually has
// while the whole id space stays theirs to use.
constexpr std::uint16_t kFirstNetworkId = 32768;
constexpr std::uint16_t kLastNetworkId = 65534;

// Not thread-safe.
class PrinterIds {
 public:
  // The file is read at once; lines it cannot read are reported and left out.
  explicit PrinterIds(std::string path);

  // The id of the printer with this key; a new one, the lowest free id that
  // taken does not claim, is given. Nothing when every id is used.
  std::optional<std::uint16_t> IdOf(const std::string& key, const std::function<bool(std::uint16_t)>& taken);
  // The id of the key, without giving one.
  std::optional<std::uint16_t> Known(const std::string& key) const;
  // From now on the key names the id (an id is free once no key names it).
  void Bind(const std::string& key, std::uint16_t id);
  // The hardware address key ("mac:" and 12 hexadecimal digits) of the id.
  std::optional<std::string> HardwareKeyOf(std::uint16_t id) const;
  // The model the printer of the id last told; control characters become blanks.
  void SetModel(std::uint16_t id, const std::string& model);
  std::optional<std::string> ModelOf(std::uint16_t id) const;

  // The file's text when ids were given since it was last taken.
  std::optional<std::string> TakeChanges();

  const std::string& Path() const { return path_; }

 private:
  void Load();
  bool HasHardwareKey(std::uint16_t id) const;

  std::string path_;
  std::map<std::string, std::uint16_t> ids_;
  std::multimap<std::uint16_t, std::string> keys_;
  std::map<std::uint16_t, std::string> models_;
  // Every id before it, in the order new ids are given, has a key, so that a
  // new id is not looked for among them again: giving tens of thousands of
  // ids stays linear.
  std::uint32_t firstUnkeyed_ = 0;
  bool changed_ = false;
};

// Writes the text of an id file atomically; a failure is traced once, until
// the problem differs from reportedProblem.
void WriteIdFile(const std::string& path, const std::string& text, std::string& reportedProblem);

}  // namespace korbce::snmp

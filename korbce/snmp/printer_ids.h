#pragma once
// The ids of network printers, kept in a file so that a printer keeps its id
// across enumerations and restarts. A printer is known by its hardware
// address, else by its address and port.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace korbce::snmp {

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

  // The file's text when ids were given since it was last taken.
  std::optional<std::string> TakeChanges();

  const std::string& Path() const { return path_; }

 private:
  void Load();

  std::string path_;
  std::map<std::string, std::uint16_t> ids_;
  std::map<std::uint16_t, std::string> keys_;
  bool changed_ = false;
};

// Writes the text of an id file atomically; a failure is traced once, until
// the problem differs from reportedProblem.
void WriteIdFile(const std::string& path, const std::string& text, std::string& reportedProblem);

}  // namespace korbce::snmp

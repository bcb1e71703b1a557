#include "settings/settings_writer.h"

#include <string_view>

#include "settings/settings_names.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string_view FirstLine(std::string_view text) {
  return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
}

class SettingsText {
 public:
  void Section(std::string_view name) { Line("[" + std::string(name) + "]"); }
  void Text(std::string_view key, std::string_view value) {
    Line(std::string(key) + "=" + std::string(FirstLine(value)));
  }
  void Number(std::string_view key, int value) { Text(key, std::to_string(value)); }
  void Flag(std::string_view key, bool on) { Text(key, on ? FLAG_YES : FLAG_NO); }
  void BlankLine() { text_ += kLineEnd; }
  std::string Take() { return std::move(text_); }

 private:
  void Line(const std::string& line) {
    text_ += line;
    text_ += kLineEnd;
  }
  std::string text_;
};

}  // namespace

std::string FormatSettingsFile(const SettingsFileValues& values) {
  SettingsText file;
  file.Section(SECTION_SERVER);
  file.Text(KEY_SERVER_LOCATION, values.serverLocation);
  file.Number(KEY_SERVER_PORT, values.serverPort);
  file.BlankLine();

  file.Section(SECTION_PRINTERS);
  file.Flag(KEY_ALL_NETWARE, values.netWare);
  file.Flag(KEY_ALL_TCPIP, values.tcpIp);
  file.Flag(KEY_ALL_DLC, values.dlc);
  file.BlankLine();

  file.Section(SECTION_ALERTS);
  for (const AlertKey& alertKey : ALERT_KEYS)
    file.Flag(alertKey.key, (values.alertCategories & alertKey.category) != 0);
  file.Number(KEY_CHECK_SECONDS, values.checkSeconds);
  file.BlankLine();

  file.Section(SECTION_ENUMERATION);
  file.Flag(KEY_ONLY_DEFINED_PORTS, values.onlyDefinedPorts);
  file.Number(KEY_REDISCOVERY_HOURS, values.rediscoveryHours);
  if (values.tcpIp && !values.subnets.empty()) {
    file.Number(KEY_SUBNET_COUNT, static_cast<int>(values.subnets.size()));
    int number = 1;
    for (const SubnetPair& pair : values.subnets) {
      file.Text(SubnetKey(number), pair.subnet);
      file.Text(SubnetMaskKey(number), pair.mask);
      ++number;
    }
  }
  return file.Take();
}

platform::FileResult WriteSettingsFile(const std::string& path, const SettingsFileValues& values) {
  return platform::WriteFileAtomically(path, FormatSettingsFile(values));
}

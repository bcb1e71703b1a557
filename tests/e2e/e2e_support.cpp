#include "e2e_support.h"

#include <fstream>
#include <random>
#include <sstream>

namespace e2e {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    // Windows programs end the lines of their text files with CR LF.
    if (line.ends_with('\r')) line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

Lines EventLogEntries(const std::filesystem::path& root) {
  Lines entries;
  for (const std::string& line : SplitLines(ReadText(root / "var/log/korevnts/eventlog"))) {
    entries.push_back(line.substr(line.find(' ') + 1));
  }
  return entries;
}

std::string UnescapeEventLine(const std::string& line) {
  std::string text;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 >= line.size()) {
      text += line[i];
    } else if (line[++i] == 'n') {
      text += '\n';
    } else if (line[i] == 'x' && i + 2 < line.size()) {
      text += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      text += line[i];
    }
  }
  return text;
}

ScratchDirectory::ScratchDirectory(const std::string& prefix) {
  std::random_device random;
  root_ = std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(random()));
  std::filesystem::create_directories(root_);
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

Receiver::Receiver(const ScratchDirectory& dir, const std::string& name)
    : output_(dir.Path(name + ".out")), errors_(dir.Path(name + ".err")), portFile_(dir.Path(name + ".port")) {}

bool Receiver::Start(std::vector<std::string> options, std::uint16_t port) {
  std::filesystem::remove(portFile_);
  options.insert(options.end(), {"--address", "127.0.0.1", "--port", std::to_string(port), "--output", output_,
                                 "--port-file", portFile_});
  if (!process_.Start(kBinDir + "/tec-receiver", options, "", errors_)) return false;
  if (!Eventually([&] { return std::filesystem::exists(portFile_) || !process_.IsRunning(); })) return false;
  port_ = static_cast<std::uint16_t>(std::stoi("0" + ReadText(portFile_)));
  return port_ != 0;
}

std::vector<std::string> Receiver::Events() const {
  std::string text = ReadText(output_);
  text.erase(text.find_last_of('\n') + 1);  // a line still being written
  std::vector<std::string> events;
  for (const std::string& line : SplitLines(text)) events.push_back(UnescapeEventLine(line));
  return events;
}

bool Receiver::WaitForEvents(std::size_t count) const {
  return Eventually([&] { return Events().size() >= count; });
}

}  // namespace e2e

#pragma once
// A scratch directory with a settings file and the protocol libraries, and
// the headless dialog backend, for the applet's tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "applet/config_dlg.h"
#include "dialogs/headless_dialog_backend.h"
#include "tests/support/scratch.h"

// Lines of a settings file, each ended by CR LF.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

class AppletTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = test_support::MakeScratchDirectory("applet-test");
    root_.emplace("KOREVNTS_ROOT", (directory_ / "root").string());
    platform::SetDialogBackend(&backend);
    for (const char* library : {"korip32.dll", "kordlc32.dll", "kornw32.dll"}) installed_.insert(library);
  }

  void TearDown() override {
    platform::SetDialogBackend(nullptr);
    root_.reset();
    std::filesystem::remove_all(directory_);
  }

  // Finds the settings file only when written, and each library while installed.
  CConfigDlg::FileSearch Search() {
    return [this](std::string_view name) -> std::optional<std::string> {
      if (name == "KorEvntS.ini") {
        if (std::filesystem::exists(SettingsPath())) return SettingsPath();
        return std::nullopt;
      }
      if (installed_.contains(std::string(name))) return (directory_ / std::string(name)).string();
      return std::nullopt;
    };
  }

  std::string SettingsPath() const { return (directory_ / "KorEvntS.ini").string(); }
  void Uninstall(const std::string& library) { installed_.erase(library); }

  void WriteSettings(const std::string& text) const { WriteFile(SettingsPath(), text); }
  static void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
  }
  std::string Settings() const { return ReadFile(SettingsPath()); }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const platform::MessageBoxRecord& box : backend.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }

  std::filesystem::path directory_;
  std::optional<test_support::ScopedEnvironment> root_;
  platform::HeadlessDialogBackend backend;
  std::set<std::string> installed_;
};

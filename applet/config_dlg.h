#pragma once
// The "Korvane Event Adapter Configuration" dialog: edits KorEvntS.ini. The
// object lives as long as the library, so its members keep their values from
// one opening to the next.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "applet/add_subnet_dlg.h"
#include "applet/subnet_list_ctrl.h"
#include "dialogs/dialog.h"
#include "settings/settings_writer.h"

class CConfigDlg : public platform::Dialog {
 public:
  // Finds a file by name the way the platform's path search does.
  using FileSearch = std::function<std::optional<std::string>(std::string_view fileName)>;

  CConfigDlg();

  // Reads the settings file at m_strSettingsPath into the members and the list.
  void LoadSettingsFile();
  // This computer's name as server location, port 5529.
  void SetServerDefaults();
  // Enables each protocol box whose support library is found, clears and
  // disables the others.
  void ProbeProtocolSupport();
  void EnableSubnetControls(bool enable);

  // What Save writes, from the members and the list.
  SettingsFileValues SettingsValues() const;
  // Replaces the platform's path search, for tests.
  void SetFileSearch(FileSearch search) { m_fileSearch = std::move(search); }

  std::string m_strServerLocation;
  std::uint32_t m_nServerPort = 0;
  std::uint32_t m_nHours = 0;
  std::uint32_t m_nSeconds = 0;
  int m_bTcpIp = 0;
  int m_bNetWare = 0;
  int m_bDlc = 0;
  int m_bDefinedPortsOnly = 0;
  int m_bInput = 0;
  int m_bOutput = 0;
  int m_bPaperJam = 0;
  int m_bSupplies = 0;
  int m_bIntervention = 0;
  int m_bWarnings = 0;
  int m_bService = 0;
  int m_bConfigChange = 0;
  int m_bOffline = 0;
  std::string m_strHoursLabel;
  std::string m_strServerLocationLabel;
  std::string m_strServerPortLabel;
  std::string m_strSecondsLabel;
  std::string m_strLookForLabel;
  std::string m_strCheckLabel;
  std::string m_strSettingsPath;

  CSubnetListCtrl m_listSubnets;
  CAddSubnetDlg m_dlgAddSubnet;

  void OnCommand(int id) override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(platform::DataExchange& exchange) override;
  void OnOK() override;

 private:
  void SetRunTimeTexts();
  void MakeSubnetColumns();
  void OnTcpIpClicked();
  void OnAdd();
  void OnRemove();
  // Writes the file; false (after telling the user) when it cannot.
  bool Save();
  // The system directory (made when missing) and the file name.
  std::string PrepareDefaultSettingsPath() const;

  FileSearch m_fileSearch;
};

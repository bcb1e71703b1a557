#include "applet/config_dlg.h"

#include <array>

#include "applet/applet_settings_reader.h"
#include "applet/applet_strings.h"
#include "applet/dialog_templates.h"
#include "applet/resource.h"
#include "common/directories.h"
#include "platform/computer_name.h"
#include "dialogs/data_exchange.h"
#include "dialogs/file_error_message.h"
#include "platform/file_io.h"
#include "platform/path_search.h"
#include "platform/root.h"
#include "settings/settings_names.h"
#include "settings/subnet_list.h"

namespace {

constexpr std::size_t kPathBuffer = 260;
constexpr std::uint32_t kDefaultServerPort = 5529;
constexpr std::uint32_t kHoursShownMin = 2, kHoursShownMax = 24;
constexpr std::uint32_t kSecondsShownMin = 15, kSecondsShownMax = 999;
// What typing may enter, checked on transfer.
constexpr std::uint32_t kTypedHoursMax = 999, kTypedSecondsMax = 999, kTypedPortMax = 65535;

std::string RangeLabel(const std::string& unit, std::uint32_t min, std::uint32_t max) {
  return unit + " (" + std::to_string(min) + " - " + std::to_string(max) + ")";
}

bool InRange(int value, std::uint32_t min, std::uint32_t max) {
  return value >= static_cast<int>(min) && value <= static_cast<int>(max);
}

// The nine alert boxes with their members, in the order of the file's keys.
constexpr std::array<int, 9> kAlertBoxes = {IDC_INPUT,    IDC_OUTPUT,   IDC_PAPER_JAM,     IDC_SUPPLIES, IDC_INTERVENTION,
                                            IDC_WARNINGS, IDC_SERVICE, IDC_CONFIG_CHANGE, IDC_OFFLINE};
constexpr std::array<int CConfigDlg::*, 9> kAlertMembers = {
    &CConfigDlg::m_bInput,    &CConfigDlg::m_bOutput,  &CConfigDlg::m_bPaperJam,
    &CConfigDlg::m_bSupplies, &CConfigDlg::m_bIntervention, &CConfigDlg::m_bWarnings,
    &CConfigDlg::m_bService,  &CConfigDlg::m_bConfigChange, &CConfigDlg::m_bOffline};

// Texts set at run time on controls that bind no member.
constexpr std::pair<int, unsigned> kRunTimeTexts[] = {
    {IDC_GROUP_PROTOCOLS, IDS_GROUP_PROTOCOLS}, {IDC_GROUP_SUBNETS, IDS_GROUP_SUBNETS},
    {IDC_GROUP_ALERTS, IDS_GROUP_ALERTS},       {IDC_ADD, IDS_ADD},
    {IDC_REMOVE, IDS_REMOVE},                   {platform::kIdOk, IDS_OK},
    {platform::kIdCancel, IDS_CANCEL},          {IDC_DEFINED_PORTS, IDS_DEFINED_PORTS},
    {IDC_INPUT, IDS_INPUT},                     {IDC_OUTPUT, IDS_OUTPUT},
    {IDC_PAPER_JAM, IDS_PAPER_JAM},             {IDC_SUPPLIES, IDS_SUPPLIES},
    {IDC_INTERVENTION, IDS_INTERVENTION},       {IDC_WARNINGS, IDS_WARNINGS},
    {IDC_SERVICE, IDS_SERVICE},                 {IDC_CONFIG_CHANGE, IDS_CONFIG_CHANGE},
    {IDC_OFFLINE, IDS_OFFLINE},
};

}  // namespace

CConfigDlg::CConfigDlg()
    : Dialog(ConfigDialogTemplate()),
      m_fileSearch([](std::string_view name) { return platform::SearchPath(name, kPathBuffer); }) {
  BindListView(IDC_SUBNET_LIST, m_listSubnets);
}

void CConfigDlg::DoDataExchange(platform::DataExchange& exchange) {
  for (std::size_t i = 0; i < kAlertMembers.size(); ++i) exchange.Check(kAlertBoxes[i], this->*kAlertMembers[i]);
  exchange.Check(IDC_TCPIP, m_bTcpIp);
  exchange.Check(IDC_NETWARE, m_bNetWare);
  exchange.Check(IDC_DLC, m_bDlc);
  exchange.Number(IDC_HOURS, m_nHours);
  exchange.MinMax(m_nHours, 0, kTypedHoursMax);
  exchange.Text(IDC_HOURS_LABEL, m_strHoursLabel);
  exchange.Text(IDC_SERVER_LOCATION, m_strServerLocation);
  exchange.Number(IDC_SERVER_PORT, m_nServerPort);
  exchange.MinMax(m_nServerPort, 0, kTypedPortMax);
  exchange.Text(IDC_SERVER_LOCATION_LABEL, m_strServerLocationLabel);
  exchange.Text(IDC_SERVER_PORT_LABEL, m_strServerPortLabel);
  exchange.Check(IDC_DEFINED_PORTS, m_bDefinedPortsOnly);
  exchange.Number(IDC_SECONDS, m_nSeconds);
  exchange.MinMax(m_nSeconds, 0, kTypedSecondsMax);
  exchange.Text(IDC_SECONDS_LABEL, m_strSecondsLabel);
  exchange.Text(IDC_LOOK_FOR_LABEL, m_strLookForLabel);
  exchange.Text(IDC_CHECK_LABEL, m_strCheckLabel);
}

bool CConfigDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  MakeSubnetColumns();
  SetRunTimeTexts();
  UpdateData(false);
  if (std::optional<std::string> found = m_fileSearch(SETTINGS_FILE_NAME)) {
    m_strSettingsPath = *found;
    LoadSettingsFile();
  } else {
    m_strSettingsPath.clear();
    SetServerDefaults();
  }
  ProbeProtocolSupport();
  // The subnet rows are saved only with TCP/IP on, so they are editable only then.
  EnableSubnetControls(m_bTcpIp != 0);
  return true;
}

void CConfigDlg::MakeSubnetColumns() {
  const int width = m_listSubnets.ClientWidth() / 2;
  m_listSubnets.InsertColumn(0, AppletStrings().Load(IDS_SUBNET), width);
  m_listSubnets.InsertColumn(1, AppletStrings().Load(IDS_SUBNET_MASK), width);
}

void CConfigDlg::SetRunTimeTexts() {
  const platform::StringTable& strings = AppletStrings();
  SetCaption(strings.Load(IDS_CAPTION));
  m_strServerLocationLabel = "ServerLocation";
  m_strServerPortLabel = "ServerPort";
  m_strCheckLabel = strings.Load(IDS_CHECK_EVERY);
  m_strSecondsLabel = RangeLabel(strings.Load(IDS_SECONDS), kSecondsShownMin, kSecondsShownMax);
  m_strLookForLabel = strings.Load(IDS_LOOK_FOR);
  m_strHoursLabel = RangeLabel(strings.Load(IDS_HOURS), kHoursShownMin, kHoursShownMax);
  for (const auto& [control, text] : kRunTimeTexts) SetItemText(control, strings.Load(text));
}

void CConfigDlg::LoadSettingsFile() {
  const std::string& path = m_strSettingsPath;
  const std::string location = ReadAppletValue(path, SECTION_SERVER, KEY_SERVER_LOCATION);
  if (!location.empty()) {
    m_strServerLocation = location;
  } else {
    SetServerDefaults();
  }
  if (!ReadAppletValue(path, SECTION_SERVER, KEY_SERVER_PORT).empty()) {
    m_nServerPort = static_cast<std::uint32_t>(ReadAppletNumber(path, SECTION_SERVER, KEY_SERVER_PORT));
  }
  for (std::size_t i = 0; i < kAlertMembers.size(); ++i) {
    this->*kAlertMembers[i] = ReadAppletFlag(path, SECTION_ALERTS, ALERT_KEYS[i].key);
  }
  const int seconds = ReadAppletNumber(path, SECTION_ALERTS, KEY_CHECK_SECONDS);
  if (InRange(seconds, kSecondsShownMin, kSecondsShownMax)) m_nSeconds = static_cast<std::uint32_t>(seconds);
  m_bTcpIp = ReadAppletFlag(path, SECTION_PRINTERS, KEY_ALL_TCPIP);
  EnableSubnetControls(m_bTcpIp != 0);
  m_bNetWare = ReadAppletFlag(path, SECTION_PRINTERS, KEY_ALL_NETWARE);
  m_bDlc = ReadAppletFlag(path, SECTION_PRINTERS, KEY_ALL_DLC);
  m_bDefinedPortsOnly = ReadAppletFlag(path, SECTION_ENUMERATION, KEY_ONLY_DEFINED_PORTS);
  const int hours = ReadAppletNumber(path, SECTION_ENUMERATION, KEY_REDISCOVERY_HOURS);
  m_nHours = InRange(hours, kHoursShownMin, kHoursShownMax) ? static_cast<std::uint32_t>(hours) : 0;
  m_listSubnets.LoadSubnets(path);
  UpdateData(false);
}

void CConfigDlg::SetServerDefaults() {
  if (std::optional<std::string> name = platform::ComputerName()) {
    m_strServerLocation = name->substr(0, APPLET_VALUE_BUFFER - 1);
  }
  m_nServerPort = kDefaultServerPort;
  UpdateData(false);
}

void CConfigDlg::ProbeProtocolSupport() {
  const std::array<std::tuple<std::string_view, int, int*>, 3> protocols = {{
      {"korip32.dll", IDC_TCPIP, &m_bTcpIp},
      {"kordlc32.dll", IDC_DLC, &m_bDlc},
      {"kornw32.dll", IDC_NETWARE, &m_bNetWare},
  }};
  for (const auto& [library, box, member] : protocols) {
    const bool installed = m_fileSearch(library).has_value();
    if (!installed) {
      *member = 0;
      SetChecked(box, false);
    }
    EnableItem(box, installed);
  }
}

void CConfigDlg::EnableSubnetControls(bool enable) {
  for (int control : {IDC_GROUP_SUBNETS, IDC_SUBNET_LIST, IDC_REMOVE, IDC_ADD}) EnableItem(control, enable);
}

void CConfigDlg::OnCommand(int id) {
  switch (id) {
    case IDC_TCPIP:
      OnTcpIpClicked();
      break;
    case IDC_ADD:
      OnAdd();
      break;
    case IDC_REMOVE:
      OnRemove();
      break;
    default:
      Dialog::OnCommand(id);
      break;
  }
}

void CConfigDlg::OnTcpIpClicked() {
  UpdateData(true);
  EnableSubnetControls(m_bTcpIp != 0);
}

void CConfigDlg::OnAdd() {
  UpdateData(true);
  if (m_listSubnets.ItemCount() >= static_cast<int>(MAX_SUBNETS)) {
    ShowMessage(platform::FormatMessageText(AppletStrings().Load(IDS_SUBNET_LIST_FULL),
                                            {std::to_string(MAX_SUBNETS)}));
    return;
  }
  m_dlgAddSubnet.Preset({"0", "0", "0", "0"}, {"255", "255", "255", "0"});
  UpdateData(false);
  if (m_dlgAddSubnet.DoModal() == platform::kIdOk) {
    UpdateData(true);
    const std::string subnet = m_dlgAddSubnet.SubnetText();
    if (m_listSubnets.FindItem(subnet) < 0) {
      const int row = m_listSubnets.InsertItem(m_listSubnets.ItemCount(), subnet);
      m_listSubnets.SetItemText(row, 1, m_dlgAddSubnet.MaskText());
    }
  }
  UpdateData(false);
}

void CConfigDlg::OnRemove() {
  UpdateData(true);
  const int selected = m_listSubnets.SelectedCount();
  if (selected == 0) return;
  for (int i = 0; i < selected; ++i) {
    const int row = m_listSubnets.NextSelected();
    if (row >= 0) m_listSubnets.DeleteItem(row);
  }
  UpdateData(false);
}

std::string CConfigDlg::PrepareDefaultSettingsPath() const {
  const std::string directory = platform::SystemDirectory();
  if (directory.empty() || common::CreateDirectories(directory)) return std::string(SETTINGS_FILE_NAME);
  return directory + (directory.back() == '/' ? "" : "/") + std::string(SETTINGS_FILE_NAME);
}

SettingsFileValues CConfigDlg::SettingsValues() const {
  SettingsFileValues values;
  values.serverLocation = m_strServerLocation;
  values.serverPort = static_cast<int>(m_nServerPort);
  values.netWare = m_bNetWare != 0;
  values.tcpIp = m_bTcpIp != 0;
  values.dlc = m_bDlc != 0;
  for (std::size_t i = 0; i < kAlertMembers.size(); ++i) {
    if (this->*kAlertMembers[i] != 0) values.alertCategories |= ALERT_KEYS[i].category;
  }
  values.checkSeconds = static_cast<int>(m_nSeconds);
  values.onlyDefinedPorts = m_bDefinedPortsOnly != 0;
  values.rediscoveryHours = static_cast<int>(m_nHours);
  values.subnets = m_listSubnets.SubnetPairs();
  return values;
}

bool CConfigDlg::Save() {
  if (m_strSettingsPath.empty()) m_strSettingsPath = PrepareDefaultSettingsPath();
  // Nothing is written from a field that failed its check: the user sees the
  // message once and corrects the field first.
  if (!UpdateData(true)) return false;
  const platform::FileResult result = WriteSettingsFile(m_strSettingsPath, SettingsValues());
  if (!result.ok()) {
    platform::ReportFileError(result, m_strSettingsPath);
    return false;
  }
  return true;
}

void CConfigDlg::OnOK() {
  if (Save()) Dialog::OnOK();
}

#include "applet/add_subnet_dlg.h"

#include "applet/applet_strings.h"
#include "applet/dialog_templates.h"
#include "applet/resource.h"
#include "dialogs/data_exchange.h"

namespace {
constexpr std::size_t kPartLength = 3;
constexpr std::array<int, 4> kSubnetEdits = {IDC_SUBNET_1, IDC_SUBNET_2, IDC_SUBNET_3, IDC_SUBNET_4};
constexpr std::array<int, 4> kMaskEdits = {IDC_MASK_1, IDC_MASK_2, IDC_MASK_3, IDC_MASK_4};

std::string JoinParts(const std::array<std::string, 4>& parts) {
  return parts[0] + "." + parts[1] + "." + parts[2] + "." + parts[3];
}
}  // namespace

CAddSubnetDlg::CAddSubnetDlg() : Dialog(AddSubnetDialogTemplate()) {}

void CAddSubnetDlg::Preset(const std::array<std::string, 4>& subnet, const std::array<std::string, 4>& mask) {
  m_strSubnet = subnet;
  m_strMask = mask;
}

std::string CAddSubnetDlg::SubnetText() const { return JoinParts(m_strSubnet); }
std::string CAddSubnetDlg::MaskText() const { return JoinParts(m_strMask); }

bool CAddSubnetDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  const platform::StringTable& strings = AppletStrings();
  SetItemText(IDC_SUBNET_LABEL, strings.Load(IDS_SUBNET));
  SetItemText(IDC_MASK_LABEL, strings.Load(IDS_SUBNET_MASK));
  SetItemText(platform::kIdOk, strings.Load(IDS_OK));
  SetItemText(platform::kIdCancel, strings.Load(IDS_CANCEL));
  return true;
}

void CAddSubnetDlg::DoDataExchange(platform::DataExchange& exchange) {
  for (std::size_t part = 0; part < 4; ++part) {
    exchange.Text(kSubnetEdits[part], m_strSubnet[part]);
    exchange.MaxChars(m_strSubnet[part], kPartLength);
  }
  for (std::size_t part = 0; part < 4; ++part) {
    exchange.Text(kMaskEdits[part], m_strMask[part]);
    exchange.MaxChars(m_strMask[part], kPartLength);
  }
}

#include "applet/subnet_list_ctrl.h"

#include "applet/applet_settings_reader.h"
#include "settings/settings_names.h"
#include "settings/subnet_list.h"

bool CSubnetListCtrl::OnColumnClick(int column) {
  m_bAscending = column == m_nSortColumn ? !m_bAscending : true;
  m_nSortColumn = column;
  for (int row = 0; row < ItemCount(); ++row) SetItemData(row, row);
  SortItems([this](std::intptr_t first, std::intptr_t second) {
    const int order = platform::CompareIgnoreCase(ItemText(FindItemByData(first), m_nSortColumn),
                                                  ItemText(FindItemByData(second), m_nSortColumn));
    return m_bAscending ? order : -order;
  });
  return true;
}

void CSubnetListCtrl::LoadSubnets(const std::string& settingsPath) {
  const int count = ReadAppletNumber(settingsPath, SECTION_ENUMERATION, KEY_SUBNET_COUNT);
  if (count < 1 || count > static_cast<int>(MAX_SUBNETS)) return;
  for (int number = 1; number <= count; ++number) {
    const std::string subnet = ReadAppletValue(settingsPath, SECTION_ENUMERATION, SubnetKey(number));
    if (subnet.empty()) continue;
    const int row = InsertItem(number, subnet);
    const std::string mask = ReadAppletValue(settingsPath, SECTION_ENUMERATION, SubnetMaskKey(number));
    if (!mask.empty()) SetItemText(row, 1, mask);
  }
}

std::vector<SubnetPair> CSubnetListCtrl::SubnetPairs() const {
  std::vector<SubnetPair> pairs;
  pairs.reserve(ItemCount());
  for (int row = 0; row < ItemCount(); ++row) pairs.push_back({ItemText(row, 0), ItemText(row, 1)});
  return pairs;
}

#pragma once
// The list of subnets to search for TCP/IP printers: one row per subnet, the
// subnet text as label and the mask text in column 1. A click on a column
// header sorts by that column, and a second click reverses the order.

#include <string>
#include <vector>

#include "dialogs/list_view.h"
#include "settings/settings_writer.h"

class CSubnetListCtrl : public platform::ListView {
 public:
  bool OnColumnClick(int column) override;

  // Adds the rows of the file's subnet keys (none when the count is outside
  // 1 to 255); a mask whose subnet has no value is ignored.
  void LoadSubnets(const std::string& settingsPath);
  // The rows from the top, as they are saved.
  std::vector<SubnetPair> SubnetPairs() const;

  int SortColumn() const { return m_nSortColumn; }
  bool IsAscending() const { return m_bAscending; }

 private:
  int m_nSortColumn = -1;
  bool m_bAscending = true;
};

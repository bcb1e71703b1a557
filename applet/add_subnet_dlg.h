#pragma once
// The "Add Subnet" dialog: the four parts of a subnet and of its mask, each
// in an edit of at most 3 characters.

#include <array>
#include <string>

#include "dialogs/dialog.h"

class CAddSubnetDlg : public platform::Dialog {
 public:
  CAddSubnetDlg();

  // Presets the parts shown at the next opening.
  void Preset(const std::array<std::string, 4>& subnet, const std::array<std::string, 4>& mask);
  // The parts joined by dots, as the list shows them.
  std::string SubnetText() const;
  std::string MaskText() const;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(platform::DataExchange& exchange) override;

 private:
  std::array<std::string, 4> m_strSubnet;
  std::array<std::string, 4> m_strMask;
};

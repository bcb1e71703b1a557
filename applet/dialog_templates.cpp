#include "applet/dialog_templates.h"

#include "applet/resource.h"
#include "dialogs/message_box.h"

using platform::ControlClass;
using platform::DialogTemplate;

namespace {

constexpr std::uint32_t kNumberEdit = platform::kEditCentered | platform::kEditAutoHScroll;

DialogTemplate MakeConfigDialogTemplate() {
  using enum ControlClass;
  DialogTemplate layout{IDD_CONFIG, "Korvane Event Adapter Configuration", "MS Sans Serif", 8, 336, 271, true, {}};
  layout.controls = {
      {platform::kIdOk, DefaultPushButton, 0, {76, 246, 50, 14}, "OK"},
      {platform::kIdCancel, PushButton, 0, {210, 246, 50, 14}, "Cancel"},
      {IDC_GROUP_PROTOCOLS, GroupBox, 0, {6, 31, 152, 108}, "Find Printers Using These Protocols:"},
      {IDC_TCPIP, CheckBox, 0, {18, 46, 41, 10}, "TCP/IP"},
      {IDC_NETWARE, CheckBox, 0, {18, 62, 41, 10}, "Netware"},
      {IDC_DLC, CheckBox, 0, {92, 46, 30, 10}, "DLC"},
      {IDC_HOURS, Edit, kNumberEdit, {17, 96, 20, 12}, ""},
      {IDC_HOURS_LABEL, Static, 0, {40, 98, 102, 8}, "hours"},
      {IDC_GROUP_ALERTS, GroupBox, 0, {168, 31, 164, 206}, "Capture The Following Alerts:"},
      {IDC_INPUT, CheckBox, 0, {180, 45, 113, 10}, "Input"},
      {IDC_OUTPUT, CheckBox, 0, {180, 63, 113, 10}, "Output"},
      {IDC_PAPER_JAM, CheckBox, 0, {180, 81, 113, 10}, "Paper Jam"},
      {IDC_SUPPLIES, CheckBox, 0, {180, 99, 113, 10}, "Printer Supplies"},
      {IDC_INTERVENTION, CheckBox, 0, {180, 117, 113, 10}, "Operator Intervention Required"},
      {IDC_WARNINGS, CheckBox, 0, {180, 135, 113, 10}, "Printer Warnings"},
      {IDC_SERVICE, CheckBox, 0, {180, 153, 113, 10}, "Device Needs Service"},
      {IDC_CONFIG_CHANGE, CheckBox, 0, {180, 171, 113, 10}, "Configuration Change"},
      {IDC_OFFLINE, CheckBox, 0, {180, 189, 113, 10}, "Offline"},
      {IDC_GROUP_SUBNETS, GroupBox, platform::kStyleDisabled, {7, 143, 151, 94}, "Look For TCP/IP Printers On Subnets:"},
      {IDC_ADD, PushButton, platform::kStyleDisabled, {13, 216, 38, 14}, "Add..."},
      {IDC_REMOVE, PushButton, platform::kStyleDisabled, {102, 216, 50, 14}, "Remove"},
      {IDC_SERVER_LOCATION, Edit, platform::kEditAutoHScroll, {76, 12, 82, 14}, ""},
      {IDC_SERVER_PORT, Edit, platform::kEditAutoHScroll, {220, 12, 30, 14}, ""},
      {IDC_SERVER_LOCATION_LABEL, Static, 0, {22, 16, 49, 8}, "ServerLocation"},
      {IDC_SERVER_PORT_LABEL, Static, 0, {182, 16, 34, 8}, "ServerPort"},
      {IDC_SUBNET_LIST, ListView, platform::kListSortAscending | platform::kListBorder, {10, 153, 143, 59}, ""},
      {IDC_LOOK_FOR_LABEL, Static, 0, {17, 86, 134, 8}, "Look for New Printers Every:"},
      {IDC_DEFINED_PORTS, CheckBox, platform::kCheckMultiline, {17, 112, 102, 21}, "Capture Alerts Only From Defined Ports"},
      {platform::kNoControlId, GroupBox, 0, {6, 73, 152, 66}, ""},
      {IDC_CHECK_LABEL, Static, 0, {180, 206, 140, 8}, "Check Printer Communication Every:"},
      {IDC_SECONDS, Edit, kNumberEdit, {180, 219, 20, 12}, ""},
      {IDC_SECONDS_LABEL, Static, 0, {203, 221, 114, 8}, "seconds"},
  };
  return layout;
}

DialogTemplate MakeAddSubnetDialogTemplate() {
  using enum ControlClass;
  constexpr std::uint32_t kPartEdit = platform::kEditAutoHScroll;
  DialogTemplate layout{IDD_ADD_SUBNET, "Add Subnet", "MS Sans Serif", 8, 188, 66, false, {}};
  layout.controls = {
      {platform::kIdOk, DefaultPushButton, 0, {15, 45, 50, 14}, "OK"},
      {platform::kIdCancel, PushButton, 0, {111, 45, 50, 14}, "Cancel"},
      {IDC_SUBNET_1, Edit, kPartEdit, {7, 21, 18, 14}, ""},
      {IDC_SUBNET_LABEL, Static, 0, {7, 11, 26, 8}, "Subnet:"},
      {IDC_MASK_LABEL, Static, 0, {96, 11, 45, 8}, "Subnet Mask:"},
      {IDC_SUBNET_2, Edit, kPartEdit, {27, 21, 18, 14}, ""},
      {IDC_SUBNET_3, Edit, kPartEdit, {47, 21, 18, 14}, ""},
      {IDC_SUBNET_4, Edit, kPartEdit, {67, 21, 18, 14}, ""},
      {IDC_MASK_1, Edit, kPartEdit, {97, 20, 18, 14}, ""},
      {IDC_MASK_2, Edit, kPartEdit, {117, 20, 18, 14}, ""},
      {IDC_MASK_3, Edit, kPartEdit, {137, 20, 18, 14}, ""},
      {IDC_MASK_4, Edit, kPartEdit, {157, 20, 18, 14}, ""},
  };
  return layout;
}

}  // namespace

const DialogTemplate& ConfigDialogTemplate() {
  static const DialogTemplate layout = MakeConfigDialogTemplate();
  return layout;
}

const DialogTemplate& AddSubnetDialogTemplate() {
  static const DialogTemplate layout = MakeAddSubnetDialogTemplate();
  return layout;
}

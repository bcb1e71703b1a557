#include "applet/applet_strings.h"

#include "applet/resource.h"

const platform::StringTable& AppletStrings() {
  static const platform::StringTable table{
      {IDS_CAPTION, "Korvane Event Adapter Configuration"},
      {IDS_GROUP_PROTOCOLS, "Find Printers Using These Protocols:"},
      {IDS_LOOK_FOR, "Look For New Printers Every:"},
      {IDS_HOURS, "hours"},
      {IDS_GROUP_ALERTS, "Capture The Following Alerts:"},
      {IDS_INPUT, "Input"},
      {IDS_OUTPUT, "Output"},
      {IDS_PAPER_JAM, "Paper Jam"},
      {IDS_SUPPLIES, "Printer Supplies"},
      {IDS_INTERVENTION, "Operator Intervention Required"},
      {IDS_WARNINGS, "Printer Warnings"},
      {IDS_SERVICE, "Device Service Required"},
      {IDS_CONFIG_CHANGE, "Configuration Change"},
      {IDS_OFFLINE, "Offline"},
      {IDS_GROUP_SUBNETS, "Look For TCP/IP Printers On Subnets:"},
      {IDS_REMOVE, "Remove"},
      {IDS_ADD, "Add"},
      {IDS_OK, "OK"},
      {IDS_CANCEL, "Cancel"},
      {IDS_SUBNET, "Subnet:"},
      {IDS_SUBNET_MASK, "Subnet Mask:"},
      {IDS_CHECK_EVERY, "Check Printer Communication Every:"},
      {IDS_SECONDS, "seconds"},
      {IDS_DEFINED_PORTS, "Capture Alerts Only From Defined Ports"},
      {IDS_SUBNET_LIST_FULL, "The service searches no more than %1 subnets. Remove one before adding another."},
  };
  return table;
}

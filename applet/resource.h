#pragma once
// Ids of the applet's resources: dialogs, icon, controls and strings.

// Dialogs and the icon.
inline constexpr int IDD_CONFIG = 129;
inline constexpr int IDD_ADD_SUBNET = 131;
inline constexpr int IDI_APPLET = 132;

// Controls of the configuration dialog.
inline constexpr int IDC_GROUP_PROTOCOLS = 1003;
inline constexpr int IDC_TCPIP = 1004;
inline constexpr int IDC_NETWARE = 1005;
inline constexpr int IDC_DLC = 1006;
inline constexpr int IDC_SERVER_LOCATION = 1009;
inline constexpr int IDC_HOURS = 1010;
inline constexpr int IDC_HOURS_LABEL = 1011;
inline constexpr int IDC_GROUP_ALERTS = 1012;
inline constexpr int IDC_INPUT = 1013;
inline constexpr int IDC_OUTPUT = 1014;
inline constexpr int IDC_PAPER_JAM = 1015;
inline constexpr int IDC_SUPPLIES = 1016;
inline constexpr int IDC_INTERVENTION = 1017;
inline constexpr int IDC_WARNINGS = 1018;
inline constexpr int IDC_SERVICE = 1019;
inline constexpr int IDC_CONFIG_CHANGE = 1020;
inline constexpr int IDC_OFFLINE = 1021;
inline constexpr int IDC_SERVER_PORT = 1022;
inline constexpr int IDC_GROUP_SUBNETS = 1023;
inline constexpr int IDC_SUBNET_LIST = 1024;
inline constexpr int IDC_ADD = 1025;
inline constexpr int IDC_REMOVE = 1026;
inline constexpr int IDC_SERVER_LOCATION_LABEL = 1028;
inline constexpr int IDC_SERVER_PORT_LABEL = 1029;
inline constexpr int IDC_SECONDS = 1030;
inline constexpr int IDC_SECONDS_LABEL = 1031;
inline constexpr int IDC_LOOK_FOR_LABEL = 1037;
inline constexpr int IDC_DEFINED_PORTS = 1038;
inline constexpr int IDC_CHECK_LABEL = 1039;

// Controls of the add-subnet dialog.
inline constexpr int IDC_SUBNET_1 = 1032;
inline constexpr int IDC_SUBNET_2 = 1036;
inline constexpr int IDC_SUBNET_3 = 1037;
inline constexpr int IDC_SUBNET_4 = 1038;
inline constexpr int IDC_MASK_1 = 1033;
inline constexpr int IDC_MASK_2 = 1040;
inline constexpr int IDC_MASK_3 = 1041;
inline constexpr int IDC_MASK_4 = 1042;
inline constexpr int IDC_SUBNET_LABEL = 1034;
inline constexpr int IDC_MASK_LABEL = 1035;

// Strings.
inline constexpr unsigned IDS_CAPTION = 1010;
inline constexpr unsigned IDS_GROUP_PROTOCOLS = 1025;
inline constexpr unsigned IDS_LOOK_FOR = 1030;
inline constexpr unsigned IDS_HOURS = 1035;
inline constexpr unsigned IDS_GROUP_ALERTS = 1040;
inline constexpr unsigned IDS_INPUT = 1045;
inline constexpr unsigned IDS_OUTPUT = 1050;
inline constexpr unsigned IDS_PAPER_JAM = 1060;
inline constexpr unsigned IDS_SUPPLIES = 1065;
inline constexpr unsigned IDS_INTERVENTION = 1070;
inline constexpr unsigned IDS_WARNINGS = 1075;
inline constexpr unsigned IDS_SERVICE = 1080;
inline constexpr unsigned IDS_CONFIG_CHANGE = 1085;
inline constexpr unsigned IDS_OFFLINE = 1090;
inline constexpr unsigned IDS_GROUP_SUBNETS = 1095;
inline constexpr unsigned IDS_REMOVE = 1100;
inline constexpr unsigned IDS_ADD = 1105;
inline constexpr unsigned IDS_OK = 1110;
inline constexpr unsigned IDS_CANCEL = 1115;
inline constexpr unsigned IDS_SUBNET = 1125;
inline constexpr unsigned IDS_SUBNET_MASK = 1130;
inline constexpr unsigned IDS_CHECK_EVERY = 1135;
inline constexpr unsigned IDS_SECONDS = 1140;
inline constexpr unsigned IDS_DEFINED_PORTS = 1145;
inline constexpr unsigned IDS_SUBNET_LIST_FULL = 1150;

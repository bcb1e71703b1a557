#pragma once
// Names of the settings file "KorEvntS.ini": its sections, keys and flag words.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "bce/alerts.h"

inline constexpr std::string_view SETTINGS_FILE_NAME = "KorEvntS.ini";

// Value buffers, terminating NUL included: the service sees at most 254
// characters of a value, the applet at most 999.
inline constexpr std::size_t SERVICE_VALUE_BUFFER = 255;
inline constexpr std::size_t APPLET_VALUE_BUFFER = 1000;

inline constexpr std::string_view FLAG_YES = "Yes";
inline constexpr std::string_view FLAG_NO = "No";

inline constexpr std::string_view SECTION_SERVER = "Tivoli Adapter Configuration File";
inline constexpr std::string_view KEY_SERVER_LOCATION = "ServerLocation";
inline constexpr std::string_view KEY_SERVER_PORT = "ServerPort";

inline constexpr std::string_view SECTION_PRINTERS = "Printers To Be Enumerated";
inline constexpr std::string_view KEY_ALL_NETWARE = "All NetWare Printers";
inline constexpr std::string_view KEY_ALL_TCPIP = "All TCP/IP Printers";
inline constexpr std::string_view KEY_ALL_DLC = "All DLC Printers";
// Read by the service only; they exist in files edited by hand.
inline constexpr std::string_view KEY_ALL_LOCAL = "All Local Printers";
inline constexpr std::string_view KEY_ALL_NETWORK = "All Network Printers";
inline constexpr std::string_view KEY_ALL_KORLINK = "All KorLink Printers";
inline constexpr std::string_view KEY_NEW_ON_STARTUP = "New Enumeration On Startup";

inline constexpr std::string_view SECTION_ALERTS = "Printer Alerts To Be Monitored";
inline constexpr std::string_view KEY_INPUT = "Input";
inline constexpr std::string_view KEY_OUTPUT = "Output";
inline constexpr std::string_view KEY_PAPER_JAM = "Paper Jam";
inline constexpr std::string_view KEY_SUPPLIES = "Printer Supplies";
inline constexpr std::string_view KEY_OPERATOR = "Operator Intervention Required";
inline constexpr std::string_view KEY_WARNING = "Printer Warnings";
inline constexpr std::string_view KEY_SERVICE = "Device Needs Service";
inline constexpr std::string_view KEY_CONFIG = "Configuration Change";
inline constexpr std::string_view KEY_OFFLINE = "Offline";
inline constexpr std::string_view KEY_CHECK_SECONDS = "Check Printer Communication In How Many Seconds ?";

inline constexpr std::string_view SECTION_ENUMERATION = "Enumeration";
inline constexpr std::string_view KEY_ONLY_DEFINED_PORTS = "Enumerate Only Defined Ports";
inline constexpr std::string_view KEY_REDISCOVERY_HOURS = "Look For New Printers In How Many Hours ?";
inline constexpr std::string_view KEY_SUBNET_COUNT = "Look On How Many Subnets ?";
// Followed by the pair's number, counting from 1: "Subnet 3", "Subnet Mask 3".
inline constexpr std::string_view KEY_SUBNET_PREFIX = "Subnet ";
inline constexpr std::string_view KEY_SUBNET_MASK_PREFIX = "Subnet Mask ";

// The nine alert keys in file order, each with its category bit.
struct AlertKey {
  std::string_view key;
  std::uint32_t category;
};
inline constexpr std::array<AlertKey, 9> ALERT_KEYS = {{
    {KEY_INPUT, ALERT_INPUT},
    {KEY_OUTPUT, ALERT_OUTPUT},
    {KEY_PAPER_JAM, ALERT_PAPER_JAM},
    {KEY_SUPPLIES, ALERT_SUPPLIES},
    {KEY_OPERATOR, ALERT_OPERATOR},
    {KEY_WARNING, ALERT_WARNING},
    {KEY_SERVICE, ALERT_SERVICE},
    {KEY_CONFIG, ALERT_CONFIG},
    {KEY_OFFLINE, ALERT_OFFLINE},
}};
inline constexpr std::uint32_t ALERT_KEY_CATEGORIES = 0x1FF;  // the nine bits above

// "Subnet <number>" and "Subnet Mask <number>".
inline std::string SubnetKey(int number) { return std::string(KEY_SUBNET_PREFIX) + std::to_string(number); }
inline std::string SubnetMaskKey(int number) { return std::string(KEY_SUBNET_MASK_PREFIX) + std::to_string(number); }

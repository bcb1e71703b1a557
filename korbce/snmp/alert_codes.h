#pragma once
// The values of the Printer-MIB and HOST-RESOURCES-MIB enumerations that the
// condition mapping reads, and the private codes it gives to conditions that
// only the printer's error-state bits report.

#include <cstdint>

namespace korbce::snmp {

// prtAlertGroup.
namespace alert_group {
constexpr std::int32_t kGeneralPrinter = 5;
constexpr std::int32_t kInput = 8;
constexpr std::int32_t kOutput = 9;
constexpr std::int32_t kMarkerSupplies = 11;
constexpr std::int32_t kMediaPath = 13;
constexpr std::int32_t kFinisherDevice = 30;
constexpr std::int32_t kFinisherSupply = 31;
}  // namespace alert_group

// prtAlertCode.
namespace alert_code {
constexpr std::int32_t kCoverOpen = 3;
constexpr std::int32_t kInterlockOpen = 5;
constexpr std::int32_t kJam = 8;
constexpr std::int32_t kSubunitMissing = 9;
constexpr std::int32_t kSubunitLifeOver = 11;
constexpr std::int32_t kSubunitAlmostEmpty = 12;
constexpr std::int32_t kSubunitEmpty = 13;
constexpr std::int32_t kSubunitAlmostFull = 14;
constexpr std::int32_t kSubunitFull = 15;
constexpr std::int32_t kSubunitOffline = 22;
constexpr std::int32_t kFirstSubunitFailure = 29;  // recoverable failure
constexpr std::int32_t kLastSubunitFailure = 38;   // thermistor failure
constexpr std::int32_t kDoorOpen = 501;
constexpr std::int32_t kInputTrayMissing = 801;
constexpr std::int32_t kInputSupplyLow = 807;
constexpr std::int32_t kInputSupplyEmpty = 808;
constexpr std::int32_t kInputMediaChangeRequest = 809;
constexpr std::int32_t kInputManualInputRequest = 810;
constexpr std::int32_t kOutputTrayMissing = 901;
constexpr std::int32_t kOutputAlmostFull = 902;
constexpr std::int32_t kOutputFull = 903;
constexpr std::int32_t kFirstFuserFailure = 1001;  // fuser under temperature
constexpr std::int32_t kLastFuserFailure = 1004;   // fuser thermistor failure
constexpr std::int32_t kTonerEmpty = 1101;
constexpr std::int32_t kInkEmpty = 1102;
constexpr std::int32_t kRibbonEmpty = 1103;
constexpr std::int32_t kTonerAlmostEmpty = 1104;
constexpr std::int32_t kInkAlmostEmpty = 1105;
constexpr std::int32_t kRibbonAlmostEmpty = 1106;
constexpr std::int32_t kWasteTonerAlmostFull = 1107;
constexpr std::int32_t kWasteInkAlmostFull = 1108;
constexpr std::int32_t kWasteTonerFull = 1109;
constexpr std::int32_t kWasteInkFull = 1110;
constexpr std::int32_t kOpcLifeAlmostOver = 1111;
constexpr std::int32_t kOpcLifeOver = 1112;
constexpr std::int32_t kDeveloperAlmostEmpty = 1113;
constexpr std::int32_t kDeveloperEmpty = 1114;
constexpr std::int32_t kTonerCartridgeMissing = 1115;
constexpr std::int32_t kStapleJam = 30208;
}  // namespace alert_code

// prtAlertSeverityLevel.
namespace alert_severity {
constexpr std::int32_t kCritical = 3;
constexpr std::int32_t kWarningBinaryChange = 5;
}  // namespace alert_severity

// prtAlertTrainingLevel.
constexpr std::int32_t kTrainingFieldService = 5;

// prtInputType.
constexpr std::int32_t kInputSheetFeedManual = 5;

// prtMarkerSuppliesType.
namespace supply_type {
constexpr std::int32_t kToner = 3;
constexpr std::int32_t kInk = 5;
constexpr std::int32_t kInkCartridge = 6;
constexpr std::int32_t kTonerCartridge = 21;
constexpr std::int32_t kWasteToner = 4;
constexpr std::int32_t kWasteInk = 8;
constexpr std::int32_t kOpc = 9;
constexpr std::int32_t kFuserOil = 11;
constexpr std::int32_t kWasteWax = 14;
constexpr std::int32_t kFuser = 15;
constexpr std::int32_t kFuserOiler = 22;
constexpr std::int32_t kStaples = 32;
}  // namespace supply_type

// hrDeviceStatus and hrPrinterStatus.
constexpr std::int32_t kDeviceStatusWarning = 3;
constexpr std::int32_t kDeviceStatusDown = 5;
constexpr std::int32_t kPrinterStatusOther = 1;
constexpr std::int32_t kPrinterStatusWarmup = 5;

// Codes of the detail entries for conditions that only hrPrinterDetectedErrorState
// reports: 0xFF00 plus the bit's number, counted from the most significant bit
// of the first octet (lowPaper 0 ... overduePreventMaint 14). No Printer-MIB
// alert code lies in 0xFF00 to 0xFFFF.
constexpr std::uint16_t kErrorStateCodeBase = 0xFF00;
// A device in warning or down that no other condition explains.
constexpr std::uint16_t kUnexplainedWarningCode = 0xFF10;
constexpr std::uint16_t kUnexplainedDownCode = 0xFF11;
// A printer whose conditions change at poll after poll.
constexpr std::uint16_t kFlappingCode = 0xFF12;
// Toner low, ink low and supply empty by level, of a supply that only the
// printer's own words name.
constexpr std::uint16_t kWordsTonerLowCode = 0xFF20;
constexpr std::uint16_t kWordsInkLowCode = 0xFF21;
constexpr std::uint16_t kWordsSupplyEmptyCode = 0xFF22;
// The code of an alert whose Printer-MIB code does not fit in 16 bits.
constexpr std::uint16_t kUnrepresentableCode = 0xFFFF;

}  // namespace korbce::snmp

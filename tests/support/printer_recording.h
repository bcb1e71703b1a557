#pragma once
// Recordings of a network printer for the test agent: a printer with two
// paper sources (the second a manual feeder), one output bin, a black toner,
// and the alert rows and error-state bits a test gives it.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/snmp_agent.h"

namespace snmp_test {

struct RecordedAlert {
  int index = 1;          // prtAlertIndex
  int severity = 3;       // prtAlertSeverityLevel: 3 critical, 4 warning
  int training = 4;       // prtAlertTrainingLevel: 5 fieldService
  int group = 8;          // prtAlertGroup
  int groupIndex = 1;     // prtAlertGroupIndex
  int code = 8;           // prtAlertCode
  std::string description = "alert";
};

struct RecordedPrinter {
  std::string model = "Test LaserPrinter 9000";
  std::string mac = "0011223344AA";  // 12 hexadecimal digits; empty: no interface table
  std::vector<RecordedAlert> alerts;
  std::string errorState = "00";     // hrPrinterDetectedErrorState in hexadecimal
  int deviceStatus = 2;              // hrDeviceStatus: 2 running, 5 down
  int printerStatus = 3;             // hrPrinterStatus: 3 idle
  unsigned configChanges = 1;
};

std::vector<SnmpRecord> PrinterRecords(const RecordedPrinter& printer);

}  // namespace snmp_test

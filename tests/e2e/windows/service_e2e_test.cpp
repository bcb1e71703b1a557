// KorEventSvc.exe in the service control manager of Wine: installed with -i
// from a folder that holds it with its settings and fleet (a service gets
// none of the test's environment, so the path search must find them there),
// started with net start, a printer of the fleet jams and its event reaches
// tec-receiver on 127.0.0.1, stopped with sc stop, removed with -u. In a
// build with network printers, the same service watches printers served by
// snmpsimd on 127.0.0.1.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/ipv4_text.h"
#include "e2e_support.h"
#if KOR_SNMP_TESTS
#include "snmp_printer_events.h"
#include "tests/korbce/snmp_snapshot_builders.h"
#endif
#include "platform/child_process.h"
#include "platform/file_io.h"
#include "platform/host_lookup.h"
#include "platform/root.h"
#include "service/service_messages.h"

// Last: its macros would rename the platform's constants of the same names.
#include <windows.h>

namespace {

namespace fs = std::filesystem;
using namespace e2e;
using namespace std::chrono_literals;

constexpr const char* kServiceName = "KorEvntS";
const std::string kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\KorEvntS";
const std::string kEventSourceKey = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\KorEvntS";
constexpr DWORD kServiceControlSaveStatus = 128;

const std::string kReceptionPrinter =
    "[Printer Reception]\nId = 1\nMac = 0020004A1B0C\nProtocols = 0x2\nAdapter = 129\nIp = 127.0.0.1\n"
    "Classes = 0x2\nClass = 1\nModel = Korvane LaserLine 4000\nInputs = 1:Upper Tray;2:Lower Tray\n"
    "Outputs = 1:Top Bin\n";
const std::string kPaperJam = "Paper Jam = 05:010001\n";

std::optional<DWORD> RegistryDword(const std::string& key, const char* name) {
  DWORD value = 0, size = sizeof value;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

// A text value with its type; nothing when it is missing.
std::optional<std::pair<DWORD, std::string>> RegistryText(const std::string& key, const char* name) {
  char text[1024];
  DWORD type = 0, size = sizeof text;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type,
                   text, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::pair<DWORD, std::string>{type, text};
}

// The manager's view of the service: its state, exit codes and process.
std::optional<SERVICE_STATUS_PROCESS> StatusOf(const char* name) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = manager ? OpenServiceA(manager, name, SERVICE_QUERY_STATUS) : nullptr;
  std::optional<SERVICE_STATUS_PROCESS> status;
  SERVICE_STATUS_PROCESS raw{};
  DWORD needed = 0;
  if (service && QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&raw), sizeof raw,
                                      &needed))
    status = raw;
  if (service) CloseServiceHandle(service);
  if (manager) CloseServiceHandle(manager);
  return status;
}

bool IsInState(DWORD state) {
  std::optional<SERVICE_STATUS_PROCESS> status = StatusOf(kServiceName);
  return status && status->dwCurrentState == state;
}

// Sends a control code as an administrator's tool would; sc.exe of Wine has
// no "control" command.
bool SendControl(DWORD control) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = manager ? OpenServiceA(manager, kServiceName, SERVICE_USER_DEFINED_CONTROL) : nullptr;
  SERVICE_STATUS status{};
  const bool sent = service && ControlService(service, control, &status);
  if (service) CloseServiceHandle(service);
  if (manager) CloseServiceHandle(manager);
  return sent;
}

// The text of a message as the message file holds it, insertions unfilled.
std::string MessageFileText(const std::string& messageFile, DWORD id) {
  HMODULE module = LoadLibraryExA(messageFile.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return "(no message file)";
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                     module, id, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  const std::string found = length == 0 ? "(no message " + std::to_string(id) + ")" : std::string(text, length);
  LocalFree(text);
  FreeLibrary(module);
  return found;
}

struct Outcome {
  std::optional<int> status;
  std::string output;
};

class WindowsServiceEndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(StatusOf(kServiceName)) << "a KorEvntS service is installed already";
    // The program with what it loads, in a folder of its own.
    const fs::path bin = kBinDir;
    for (const fs::directory_entry& entry : fs::directory_iterator(bin)) {
      const std::string extension = entry.path().extension().string();
      if (extension == ".dll" || entry.path().filename() == "KorEventSvc.exe" ||
          entry.path().filename() == "VXPrtDb.ini")
        fs::copy_file(entry.path(), dir_.Root() / entry.path().filename());
    }
    ASSERT_TRUE(receiver_.Start({})) << receiver_.Errors();
  }

  void TearDown() override {
    if (StatusOf(kServiceName)) {
      Run(System("sc.exe"), {"stop", kServiceName});
      Eventually([] { return IsInState(SERVICE_STOPPED); });
      Run(program_, {"-u"});
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kServiceKey.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEventSourceKey.c_str());
  }

  static std::string System(const std::string& program) { return platform::SystemDirectory() + "\\" + program; }

  Outcome Run(const std::string& program, const std::vector<std::string>& arguments) {
    platform::ChildProcess child;
    if (!child.Start(program, arguments, dir_.Path("run.out"), dir_.Path("run.err")))
      return {std::nullopt, "cannot start " + program};
    const std::optional<int> status = child.Wait(60000);
    return {status, ReadText(dir_.Path("run.out")) + ReadText(dir_.Path("run.err"))};
  }

  void WriteFile(const std::string& name, const std::string& content) {
    ASSERT_TRUE(platform::WriteFileAtomically(dir_.Path(name), content).ok()) << name;
  }

  // Settings that find the TCP/IP printers, watch the alerts given (paper
  // jams and offline by default) and send to the receiver.
  void WriteSettings(const std::string& alerts = "Paper Jam=Yes\nOffline=Yes\n") {
    WriteFile("KorEvntS.ini", "[Tivoli Adapter Configuration File]\nServerLocation=127.0.0.1\nServerPort=" +
                                  std::to_string(receiver_.Port()) + "\nBufEvtPath=" + dir_.Path("cache.dat") +
                                  "\nRetryInterval=1\n\n"
                                  "[Printers To Be Enumerated]\nAll NetWare Printers=No\nAll TCP/IP Printers=Yes\n"
                                  "All DLC Printers=No\nAll Local Printers=No\n\n"
                                  "[Printer Alerts To Be Monitored]\n" + alerts +
                                  "Check Printer Communication In How Many Seconds ?=16\n\n"
                                  "[Enumeration]\nEnumerate Only Defined Ports=No\n"
                                  "Look For New Printers In How Many Hours ?=24\n");
  }

  std::string PaperJamEvent() const {
    const std::string hostname =
        platform::ReverseLookup(*common::ParseIPv4NetworkOrder("127.0.0.1")).value_or("");
    return "Korvane_Printer_Alert;source=Korvane_Printers;severity=CRITICAL;msg='Paper Jam At Input - Upper "
           "Tray';printer_address='0020004A1B0C';printer_model='Korvane LaserLine 4000';origin='127.0.0.1';hostname='" +
           hostname + "';port_attachment='';adapter_product='Portova Q1';END\n\x01";
  }

  ScratchDirectory dir_{"windows-service-e2e"};
  const std::string program_ = (dir_.Root() / "KorEventSvc.exe").string();
  Receiver receiver_{dir_, "receiver"};
};

TEST_F(WindowsServiceEndToEndTest, InstalledStartedJammedStoppedAndRemoved) {
  WriteSettings();
  WriteFile("korbce.ini", kReceptionPrinter);

  Outcome install = Run(program_, {"-i"});
  ASSERT_EQ(install.status, 0) << install.output;
  std::optional<std::pair<DWORD, std::string>> command = RegistryText(kServiceKey, "ImagePath");
  ASSERT_TRUE(command);
  EXPECT_EQ(command->second, "\"" + program_ + "\"");
  EXPECT_EQ(RegistryDword(kServiceKey, "Type"), 0x110u);
  EXPECT_EQ(RegistryDword(kServiceKey, "Start"), static_cast<DWORD>(SERVICE_AUTO_START));
  EXPECT_EQ(RegistryText(kServiceKey, "DisplayName")->second, "Korvane Event Adapter for Tivoli");
  // The program is its own message file, and it holds the service's table.
  std::optional<std::pair<DWORD, std::string>> messageFile = RegistryText(kEventSourceKey, "EventMessageFile");
  ASSERT_TRUE(messageFile);
  EXPECT_EQ(messageFile->first, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(messageFile->second, program_);
  EXPECT_EQ(RegistryDword(kEventSourceKey, "TypesSupported"), 7u);
  for (const platform::MessageTableEntry& message : ServiceMessageTable()) {
    EXPECT_EQ(MessageFileText(messageFile->second, message.id), message.text);
  }
  EXPECT_EQ(Run(program_, {"-i"}).status, 0);  // already installed: nothing changes
  EXPECT_EQ(RegistryText(kServiceKey, "ImagePath")->second, "\"" + program_ + "\"");

  HKEY parameters = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kServiceKey + "\\Parameters").c_str(), 0, nullptr, 0, KEY_WRITE,
                            nullptr, &parameters, nullptr),
            ERROR_SUCCESS);
  const DWORD start = 5, increment = 2;
  RegSetValueExA(parameters, "Start", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&start), sizeof start);
  RegSetValueExA(parameters, "Inc", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&increment), sizeof increment);
  RegCloseKey(parameters);

  Outcome started = Run(System("net.exe"), {"start", kServiceName});
  ASSERT_EQ(started.status, 0) << started.output;
  ASSERT_TRUE(Eventually([] { return IsInState(SERVICE_RUNNING); }));
  const DWORD processId = StatusOf(kServiceName)->dwProcessId;
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  ASSERT_NE(process, nullptr);

  // The engine sees the jam within a quarter of a second.
  WriteFile("korbce.ini", kReceptionPrinter + kPaperJam);
  EXPECT_TRUE(receiver_.WaitForEvents(1)) << receiver_.Errors();
  EXPECT_EQ(receiver_.Events(), std::vector<std::string>{PaperJamEvent()});

  // User control 128 saves the current value: the start value while running.
  ASSERT_TRUE(SendControl(kServiceControlSaveStatus));
  EXPECT_TRUE(Eventually([&] { return RegistryDword(kServiceKey + "\\Status", "Current") == start; }));

  Outcome stopped = Run(System("sc.exe"), {"stop", kServiceName});
  EXPECT_EQ(stopped.status, 0) << stopped.output;
  ASSERT_TRUE(Eventually([] { return IsInState(SERVICE_STOPPED); }));
  const SERVICE_STATUS_PROCESS status = *StatusOf(kServiceName);
  EXPECT_EQ(status.dwWin32ExitCode, 0u);
  EXPECT_EQ(status.dwServiceSpecificExitCode, 0u);
  ASSERT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0) << "the service's process goes on";
  DWORD exitCode = 1;
  EXPECT_TRUE(GetExitCodeProcess(process, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process);
  // The increment is added in memory only; the registry keeps the saved value.
  EXPECT_EQ(RegistryDword(kServiceKey + "\\Status", "Current"), start);

  Outcome removed = Run(program_, {"-u"});
  EXPECT_EQ(removed.status, 0) << removed.output;
  EXPECT_FALSE(StatusOf(kServiceName));
  EXPECT_TRUE(RegistryText(kEventSourceKey, "EventMessageFile"));  // the source stays registered
}

TEST_F(WindowsServiceEndToEndTest, WithoutItsSettingsTheServiceStopsAsItStarts) {
  WriteFile("korbce.ini", kReceptionPrinter);
  ASSERT_EQ(Run(program_, {"-i"}).status, 0);
  Run(System("net.exe"), {"start", kServiceName});
  ASSERT_TRUE(Eventually([] { return IsInState(SERVICE_STOPPED); }));
  EXPECT_EQ(Run(program_, {"-u"}).status, 0);
  EXPECT_TRUE(receiver_.Events().empty());
}

#if KOR_SNMP_TESTS
// Network printers asked over SNMP by the service under Wine's service
// control manager, and answered by snmpsimd running on Linux: every condition
// of the table becomes its event. Started again with an SNMPv3 user (SHA and
// AES), its printer's jam is told; when the printer falls silent it is told
// as not communicating, and once it answers again as restored.
TEST_F(WindowsServiceEndToEndTest, NetworkPrintersOverSnmp) {
  if (!snmp_test::SnmpAgent::Available()) GTEST_SKIP() << "snmpsimd is not installed (Debian package snmpsim)";
  using korbce::snmp::testing::Alert;
  snmp_test::SnmpAgent agent(dir_.Root() / "agent");
  std::vector<Printer> printers = ConditionTable();
  ASSERT_TRUE(Serve(agent, printers));
  ASSERT_TRUE(agent.Start()) << agent.Problem();
  WriteSettings("Input=Yes\nOutput=Yes\nPaper Jam=Yes\nPrinter Supplies=Yes\nOperator Intervention Required=Yes\n"
                "Printer Warnings=Yes\nDevice Needs Service=Yes\nConfiguration Change=Yes\nOffline=Yes\n");
  // snmpsimd answers one request after the other: many printers need a long
  // timeout.
  const std::string engine = "[SNMP]\nRetries = 1\nPoll = 1\nIdFile = " + dir_.Path("snmp-printers") + "\n";
  WriteFile("korbce.ini", engine + "Timeout = 5000\n" + TargetsOf(printers, agent.Endpoint()));
  ASSERT_EQ(Run(program_, {"-i"}).status, 0);
  ASSERT_EQ(Run(System("net.exe"), {"start", kServiceName}).status, 0);
  for (const Printer& printer : printers) {
    ASSERT_TRUE(Eventually([&] { return ShownOf(printer, receiver_).size() >= printer.expected.size(); }, 60s))
        << printer.community;
  }
  std::this_thread::sleep_for(1500ms);  // a poll round more: nothing else may come
  for (const Printer& printer : printers) {
    EXPECT_EQ(Sorted(ShownOf(printer, receiver_)), Sorted(printer.expected)) << printer.community;
  }
  ASSERT_EQ(Run(System("sc.exe"), {"stop", kServiceName}).status, 0);
  ASSERT_TRUE(Eventually([] { return IsInState(SERVICE_STOPPED); }));
  agent.Stop();

  std::vector<Printer> secure = {{snmp_test::kV3Community, WithAlerts({Alert(8, 1, 8)}), {}}};
  snmp_test::SnmpAgent v3Agent(dir_.Root() / "agent-v3");
  ASSERT_TRUE(Serve(v3Agent, secure));
  ASSERT_TRUE(v3Agent.Start(snmp_test::SnmpV3User{"watcher", "SHA", "authsecret1", "AES", "privsecret1"}))
      << v3Agent.Problem();
  WriteFile("korbce.ini", engine + "Timeout = 500\nTargets = " + v3Agent.Endpoint() +
                              "\nVersion = 3\nUser = watcher\nSecurityLevel = authPriv\nAuthProtocol = SHA\n"
                              "AuthPassword = authsecret1\nPrivProtocol = AES\nPrivPassword = privsecret1\n");
  ASSERT_EQ(Run(System("net.exe"), {"start", kServiceName}).status, 0);
  std::vector<Shown> expected = {Critical("Paper Jam At Input - Tray 1")};
  const auto shownInTurn = [&] {
    return Eventually([&] { return ShownOf(secure[0], receiver_).size() >= expected.size(); }, 30s);
  };
  ASSERT_TRUE(shownInTurn());
  ASSERT_TRUE(v3Agent.Pause());
  expected.push_back(Warning("Printer Not Communicating"));
  expected.push_back(Critical("Paper Jam At Input - Tray 1(Resolved)"));
  ASSERT_TRUE(shownInTurn());
  ASSERT_TRUE(v3Agent.Resume());
  expected.push_back(Harmless("Printer Communication Restored"));
  expected.push_back(Critical("Paper Jam At Input - Tray 1"));
  ASSERT_TRUE(shownInTurn());
  EXPECT_EQ(Sorted(ShownOf(secure[0], receiver_)), Sorted(expected));
}
#endif

}  // namespace

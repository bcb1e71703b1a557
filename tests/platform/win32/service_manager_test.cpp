// The service control manager on Windows: installing and removing a service
// as the manager then holds it, and the calls of a program that the manager
// did not start.

#include "platform/service_manager.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "platform/last_error.h"

// After <windows.h>: the SERVICE_* names are its macros of the same values,
// and these names are ours.
#undef StartServiceCtrlDispatcher
#undef RegisterServiceCtrlHandler

namespace {

struct ServiceConfig {
  DWORD type = 0;
  DWORD startType = 0;
  DWORD errorControl = 0;
  std::string command;
  std::string displayName;
  std::string account;
};

// The services started before this one, each with its terminator and an empty
// one after the last, as the manager keeps them in the registry (Wine's
// manager does not tell them in the configuration).
std::string DependenciesOf(const std::string& name) {
  char buffer[256];
  DWORD size = sizeof buffer;
  const std::string key = "SYSTEM\\CurrentControlSet\\Services\\" + name;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "DependOnService", RRF_RT_REG_MULTI_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return "(none)";
  return std::string(buffer, size);
}

// The configuration the manager holds; nothing when the service is missing.
std::optional<ServiceConfig> ConfigOf(const std::string& name) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = manager ? OpenServiceA(manager, name.c_str(), SERVICE_QUERY_CONFIG) : nullptr;
  std::optional<ServiceConfig> config;
  DWORD needed = 0;
  if (service != nullptr && !QueryServiceConfigA(service, nullptr, 0, &needed) &&
      GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    std::vector<char> buffer(needed);
    auto* raw = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (QueryServiceConfigA(service, raw, needed, &needed)) {
      config = ServiceConfig{raw->dwServiceType, raw->dwStartType, raw->dwErrorControl, raw->lpBinaryPathName,
                             raw->lpDisplayName, raw->lpServiceStartName ? raw->lpServiceStartName : ""};
    }
  }
  if (service) CloseServiceHandle(service);
  if (manager) CloseServiceHandle(manager);
  return config;
}

class ServiceManagerWin32Test : public ::testing::Test {
 protected:
  void TearDown() override { platform::RemoveService(name_); }
  const std::string name_ = "KorTest" + std::to_string(std::random_device()() % 100000);
};

TEST_F(ServiceManagerWin32Test, InstallCreatesTheServiceAndRemoveDeletesIt) {
  EXPECT_FALSE(platform::IsServiceInstalled(name_));
  EXPECT_EQ(platform::GetLastError(), ENOENT);
  const std::string program = "C:\\Program Files\\Kor Test\\KorEventSvc.exe";
  ASSERT_TRUE(platform::InstallService({name_, "Korvane Event Adapter for Tivoli", program, {"Spooler"}}));
  EXPECT_TRUE(platform::IsServiceInstalled(name_));
  std::optional<ServiceConfig> config = ConfigOf(name_);
  ASSERT_TRUE(config);
  EXPECT_EQ(config->type, 0x110u);
  EXPECT_EQ(config->startType, static_cast<DWORD>(SERVICE_AUTO_START));
  EXPECT_EQ(config->errorControl, static_cast<DWORD>(SERVICE_ERROR_NORMAL));
  EXPECT_EQ(config->command, "\"" + program + "\"");
  EXPECT_EQ(DependenciesOf(name_), std::string("Spooler\0\0", 9));
  EXPECT_EQ(config->displayName, "Korvane Event Adapter for Tivoli");
  EXPECT_EQ(config->account, "LocalSystem");

  // A second install fails and leaves the first as it was.
  EXPECT_FALSE(platform::InstallService({name_, "Other", "C:\\other.exe", {}}));
  EXPECT_EQ(platform::GetLastError(), EEXIST);
  EXPECT_EQ(ConfigOf(name_)->command, "\"" + program + "\"");

  EXPECT_TRUE(platform::RemoveService(name_));
  EXPECT_FALSE(platform::IsServiceInstalled(name_));
  EXPECT_FALSE(ConfigOf(name_));
  EXPECT_FALSE(platform::RemoveService(name_));
  EXPECT_EQ(platform::GetLastError(), ENOENT);
}

TEST_F(ServiceManagerWin32Test, ManyDependenciesOrNone) {
  ASSERT_TRUE(platform::InstallService({name_, "Display", "C:\\a.exe", {"Spooler", "Tcpip"}}));
  EXPECT_EQ(DependenciesOf(name_), std::string("Spooler\0Tcpip\0\0", 15));
  ASSERT_TRUE(platform::RemoveService(name_));
  ASSERT_TRUE(platform::InstallService({name_, "Display", "C:\\a.exe", {}}));
  EXPECT_EQ(DependenciesOf(name_), "(none)");
}

// Windows refuses at once; Wine first waits 10 seconds for the manager's pipe.
TEST(ServiceDispatcherWin32Test, AProgramNotStartedByTheManagerIsNoService) {
  static bool ran = false;
  EXPECT_FALSE(platform::StartServiceCtrlDispatcher("KorEvntS", [](std::uint32_t, char**) { ran = true; }));
  EXPECT_EQ(platform::GetLastError(), ENOTCONN);
  EXPECT_FALSE(ran);
  EXPECT_EQ(platform::RegisterServiceCtrlHandler("KorEvntS", [](std::uint32_t) {}), 0u);
  EXPECT_FALSE(platform::SetServiceStatus(0, {}));
  EXPECT_EQ(platform::GetLastError(), EINVAL);
  EXPECT_EQ(platform::ServiceStateName(SERVICE_STOP_PENDING), "Stop pending");
}

}  // namespace

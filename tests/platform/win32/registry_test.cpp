// The registry on Windows: the values land in the system's registry with
// their Win32 types, and read back as they were set.

#include "platform/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <random>
#include <string>

namespace {

// A key of its own below HKLM\SOFTWARE, deleted with everything in it.
class RegistryWin32Test : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, base_.c_str()); }

  // The type and bytes as the system holds them.
  bool ReadRaw(const std::string& path, const char* name, DWORD& type, std::string& data) {
    char buffer[256];
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, buffer, &size) !=
        ERROR_SUCCESS)
      return false;
    data.assign(buffer, size);
    return true;
  }

  const std::string base_ = "SOFTWARE\\KorevntsRegistryTest" + std::to_string(std::random_device()());
  const std::string path_ = base_ + "\\Services\\KorEvntS\\Parameters";
};

TEST_F(RegistryWin32Test, ValuesLandInTheSystemRegistryWithTheirTypes) {
  platform::RegistryKey key;
  EXPECT_EQ(platform::RegistryKey::Open("HKEY_LOCAL_MACHINE", path_, key), ENOENT);
  ASSERT_EQ(platform::RegistryKey::Create("HKEY_LOCAL_MACHINE", path_, key), 0);
  EXPECT_EQ(key.FullPath(), "HKEY_LOCAL_MACHINE\\" + path_);
  EXPECT_EQ(key.SetDword("Start", 5), 0);
  EXPECT_EQ(key.SetString("Path", "C:\\dir with blanks\\KorEventSvc.exe"), 0);
  EXPECT_EQ(key.SetString("Expand", "%SystemRoot%\\x", platform::RegistryType::ExpandString), 0);
  EXPECT_EQ(key.SetDword("START", 0xFFFFFFFF), 0);

  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadRaw(path_, "Start", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(data, std::string(4, '\xFF'));
  ASSERT_TRUE(ReadRaw(path_, "Path", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(data, std::string("C:\\dir with blanks\\KorEventSvc.exe") + '\0');  // the terminator counts
  ASSERT_TRUE(ReadRaw(path_, "Expand", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(data, std::string("%SystemRoot%\\x") + '\0');
}

TEST_F(RegistryWin32Test, ValuesReadBackWithoutRegardToCase) {
  platform::RegistryKey key;
  ASSERT_EQ(platform::RegistryKey::Create("HKEY_LOCAL_MACHINE", path_, key), 0);
  ASSERT_EQ(key.SetDword("Inc", 2), 0);
  ASSERT_EQ(key.SetString("Expand", "%SystemRoot%", platform::RegistryType::ExpandString), 0);
  // Written by another program, without a terminator, and of a type we do not read.
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_SET_VALUE, &raw), ERROR_SUCCESS);
  RegSetValueExA(raw, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
  RegSetValueExA(raw, "Binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>("abc"), 3);
  RegCloseKey(raw);

  platform::RegistryKey reopened;
  ASSERT_EQ(platform::RegistryKey::Open("hkey_local_machine", base_ + "\\SERVICES\\korevnts\\parameters", reopened), 0);
  std::uint32_t increment = 0;
  EXPECT_EQ(reopened.QueryDword("INC", increment), 0);
  EXPECT_EQ(increment, 2u);
  platform::RegistryValue value;
  ASSERT_EQ(reopened.Query("expand", value), 0);
  EXPECT_EQ(value.type, platform::RegistryType::ExpandString);
  EXPECT_EQ(value.text, "%SystemRoot%");  // kept, not expanded
  ASSERT_EQ(reopened.Query("Bare", value), 0);
  EXPECT_EQ(value.text, "abc");
  EXPECT_EQ(reopened.Query("Binary", value), EINVAL);
  EXPECT_EQ(reopened.QueryDword("Expand", increment), EINVAL);
  EXPECT_EQ(reopened.Query("Missing", value), ENOENT);

  // A key deleted meanwhile: reading finds nothing, setting makes it again.
  ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, base_.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(reopened.QueryDword("Inc", increment), ENOENT);
  EXPECT_EQ(reopened.SetDword("Current", 7), 0);
  EXPECT_EQ(reopened.QueryDword("Current", increment), 0);
  EXPECT_EQ(increment, 7u);
}

TEST_F(RegistryWin32Test, OnlyTheLocalMachineIsARoot) {
  platform::RegistryKey key;
  EXPECT_EQ(platform::RegistryKey::Create("HKEY_NOWHERE", path_, key), EINVAL);
  HKEY created = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, base_.c_str(), 0, KEY_READ, &created), ERROR_FILE_NOT_FOUND);
}

}  // namespace

#pragma once
// The registry on POSIX: the file root/var/lib/korevnts/registry, rewritten
// atomically at each change and locked among threads and processes. It lists
// keys and their values:
//
//   [HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\KorEvntS\Parameters]
//   "Start"=dword:00000005
//   "Name"="text with \"quotes\" and \\ backslashes"
//   "Path"=expand:"text"
//
// A damaged file makes every call fail with EINVAL and is left as it is.

#include <string>

namespace platform {

std::string RegistryFilePath();

}  // namespace platform

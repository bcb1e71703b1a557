#pragma once
// The Control Panel applet interface: the messages that a control panel
// sends to an applet library's CPlApplet export, and the records it fills.

#include <cstdint>

namespace platform {

constexpr std::uint32_t CPL_INIT = 1;
constexpr std::uint32_t CPL_GETCOUNT = 2;
constexpr std::uint32_t CPL_INQUIRE = 3;
constexpr std::uint32_t CPL_SELECT = 4;
constexpr std::uint32_t CPL_DBLCLK = 5;
constexpr std::uint32_t CPL_STOP = 6;
constexpr std::uint32_t CPL_EXIT = 7;
constexpr std::uint32_t CPL_NEWINQUIRE = 8;
// A control panel started with the applet's file name sends one of these
// first (with ANSI or wide parameters); when the applet answers 0, it opens
// the applet with CPL_DBLCLK.
constexpr std::uint32_t CPL_STARTWPARMSA = 9;
constexpr std::uint32_t CPL_STARTWPARMSW = 10;

// The old-style information record: resource ids of icon, name and text.
struct CPLINFO {
  std::int32_t idIcon;
  std::int32_t idName;
  std::int32_t idInfo;
  std::int32_t lData;
};

// The new-style information record; texts are NUL-terminated. It is 244
// bytes, except on 64-bit Windows, whose control panel reads its data and
// icon fields as wide as a pointer (256 bytes).
#if defined(_WIN32)
using CplData = std::intptr_t;
using CplIcon = std::uintptr_t;
#else
using CplData = std::int32_t;
using CplIcon = std::uint32_t;
#endif
struct NEWCPLINFO {
  std::uint32_t dwSize;
  std::uint32_t dwFlags;
  std::uint32_t dwHelpContext;
  CplData lData;
  CplIcon hIcon;  // the applet library's icon resource id
  char szName[32];
  char szInfo[64];
  char szHelpFile[128];
};
static_assert(sizeof(NEWCPLINFO) == (sizeof(CplData) == 8 ? 256 : 244));

// CPlApplet(control panel window, message, first parameter, second parameter).
using CPlAppletFunction = std::intptr_t (*)(void* controlPanelWindow, std::uint32_t message, std::intptr_t param1,
                                            std::intptr_t param2);
constexpr const char* kCPlAppletExport = "CPlApplet";

}  // namespace platform

// Exports a function from an applet library by its plain C name (on 64-bit
// Windows a C name carries no decoration).
#ifdef _WIN32
#define KOR_CPL_EXPORT extern "C" __declspec(dllexport)
#else
#define KOR_CPL_EXPORT extern "C" __attribute__((visibility("default")))
#endif

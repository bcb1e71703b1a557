// control-panel: loads a Control Panel applet library, lists its applets and,
// with --open N, opens applet N as a double-click in a control panel would.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/control_panel.h"
#include "platform/display.h"
#include "platform/path_search.h"
#include "platform/shared_library.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;
constexpr int kExitNoDisplay = 3;

struct Options {
  std::string libraryPath;
  int openApplet = -1;
};

void PrintUsage(std::FILE* stream) {
  std::fprintf(stream,
               "Usage: control-panel [--open N] [APPLET.cpl]\n"
               "Loads a Control Panel applet library (by default KorEvntC.cpl, beside this\n"
               "program or where the installation put it), lists its applets, and with\n"
               "--open N opens applet N.\n");
}

// KorEvntC.cpl beside the program, as in the build tree; else where the
// installation puts it, relative to the program.
std::string DefaultAppletPath() {
  const std::string besideProgram = platform::ProgramDirectory() + "/KorEvntC.cpl";
#ifdef KOR_APPLET_DIR_FROM_PROGRAM
  const std::string installed = platform::ProgramDirectory() + "/" KOR_APPLET_DIR_FROM_PROGRAM "/KorEvntC.cpl";
  std::error_code ignored;
  if (!std::filesystem::exists(besideProgram, ignored) && std::filesystem::exists(installed, ignored)) return installed;
#endif
  return besideProgram;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--open" && i + 1 < argc) {
      char* end = nullptr;
      const long number = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || number < 0 || number > 1000) return false;
      options.openApplet = static_cast<int>(number);
    } else if (!argument.empty() && argument[0] != '-' && options.libraryPath.empty()) {
      options.libraryPath = argument;
    } else {
      return false;
    }
  }
  if (options.libraryPath.empty()) options.libraryPath = DefaultAppletPath();
  return true;
}

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

class AppletLibrary {
 public:
  explicit AppletLibrary(platform::CPlAppletFunction entry) : entry_(entry) {}

  std::intptr_t Send(std::uint32_t message, std::intptr_t param1 = 0, std::intptr_t param2 = 0) const {
    return entry_(nullptr, message, param1, param2);
  }

  platform::NEWCPLINFO Inquire(int applet) const {
    platform::NEWCPLINFO info{};
    info.dwSize = sizeof info;
    Send(platform::CPL_NEWINQUIRE, applet, reinterpret_cast<std::intptr_t>(&info));
    return info;
  }

 private:
  platform::CPlAppletFunction entry_;
};

int Run(const AppletLibrary& library, const Options& options) {
  if (library.Send(platform::CPL_INIT) == 0) {
    std::fprintf(stderr, "control-panel: the applet library refused to start (CPL_INIT answered 0)\n");
    return kExitFailure;
  }
  const int count = static_cast<int>(library.Send(platform::CPL_GETCOUNT));
  std::vector<std::int32_t> appletData;
  for (int applet = 0; applet < count; ++applet) {
    const platform::NEWCPLINFO info = library.Inquire(applet);
    appletData.push_back(info.lData);
    std::printf("%d: %s - %s\n", applet, FieldText(info.szName).c_str(), FieldText(info.szInfo).c_str());
  }
  std::fflush(stdout);
  int status = EXIT_SUCCESS;
  if (options.openApplet >= count) {
    std::fprintf(stderr, "control-panel: there is no applet %d; the library has %d\n", options.openApplet, count);
    status = kExitFailure;
  } else if (options.openApplet >= 0) {
    library.Send(platform::CPL_DBLCLK, options.openApplet, appletData[options.openApplet]);
  }
  for (int applet = 0; applet < count; ++applet) library.Send(platform::CPL_STOP, applet, appletData[applet]);
  library.Send(platform::CPL_EXIT);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout);
    return EXIT_SUCCESS;
  }
  if (!ParseOptions(argc, argv, options)) {
    PrintUsage(stderr);
    return kExitUsage;
  }
  if (options.openApplet >= 0 && !platform::HasDisplay()) {
    const std::string display = platform::DisplayName();
    std::fprintf(stderr,
                 "control-panel: no display: cannot open applet %d without a window system (%s).\n"
                 "Run it in a desktop session, or under Xvfb (xvfb-run control-panel --open %d).\n",
                 options.openApplet,
                 display.empty() ? "DISPLAY is not set" : ("DISPLAY " + display + " cannot be opened").c_str(),
                 options.openApplet);
    return kExitNoDisplay;
  }
  platform::SharedLibrary library;
  if (!library.Load(options.libraryPath)) {
    std::fprintf(stderr, "control-panel: cannot load %s: %s\n", options.libraryPath.c_str(), library.Error().c_str());
    return kExitFailure;
  }
  auto entry = reinterpret_cast<platform::CPlAppletFunction>(library.Symbol(platform::kCPlAppletExport));
  if (!entry) {
    std::fprintf(stderr, "control-panel: %s is not an applet library: %s\n", options.libraryPath.c_str(),
                 library.Error().c_str());
    return kExitFailure;
  }
  return Run(AppletLibrary(entry), options);
}

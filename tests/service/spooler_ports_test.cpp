#include "platform/spooler_ports.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Ports = std::optional<std::vector<std::string>>;

// CUPS keeps its server choice and connection per thread: ask on a new one so
// that CUPS_SERVER set by the test is seen.
Ports EnumOnFreshThread() {
  Ports ports;
  std::thread([&ports] { ports = platform::EnumSpoolerPorts(); }).join();
  return ports;
}

class ScopedCupsServer {
 public:
  explicit ScopedCupsServer(const std::string& server) {
    if (const char* old = std::getenv("CUPS_SERVER")) previous_ = old;
    setenv("CUPS_SERVER", server.c_str(), 1);
  }
  ~ScopedCupsServer() {
    if (previous_)
      setenv("CUPS_SERVER", previous_->c_str(), 1);
    else
      unsetenv("CUPS_SERVER");
  }

 private:
  std::optional<std::string> previous_;
};

// A cupsd of its own, in a temporary directory, listening on a local socket.
class PrivateCupsd {
 public:
  PrivateCupsd() {
    if (geteuid() != 0 || access("/usr/sbin/cupsd", X_OK) != 0 || getpwnam("lp") == nullptr) {
      problem_ = "cupsd needs root, /usr/sbin/cupsd and the user lp";
      return;
    }
    char pattern[] = "/tmp/spooler-ports-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    dir_ = pattern;
    chmod(dir_.c_str(), 0755);
    WriteConfiguration();
    Start();
  }
  ~PrivateCupsd() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  const std::string& Problem() const { return problem_; }
  std::string Socket() const { return dir_ + "/cups.sock"; }
  bool Admin(const std::string& arguments) const { return Run("/usr/sbin/lpadmin " + arguments); }

 private:
  bool Run(const std::string& command) const {
    return std::system(("CUPS_SERVER=" + Socket() + " " + command + " >/dev/null 2>&1").c_str()) == 0;
  }

  void WriteConfiguration() {
    for (const char* sub : {"etc", "spool", "spool/tmp", "cache", "state", "log"}) {
      std::filesystem::create_directories(dir_ + "/" + sub);
      if (std::string_view(sub) != "etc") chown((dir_ + "/" + sub).c_str(), getpwnam("lp")->pw_uid, -1);
    }
    std::ofstream(dir_ + "/etc/cupsd.conf") << "Listen " << Socket() << "\nLogLevel warn\nBrowsing No\n"
                                            << "DefaultAuthType None\n<Location />\nOrder allow,deny\nAllow all\n"
                                            << "</Location>\n<Policy default>\n<Limit All>\nOrder deny,allow\n"
                                            << "</Limit>\n</Policy>\n";
    std::ofstream(dir_ + "/etc/cups-files.conf")
        << "ServerRoot " << dir_ << "/etc\nRequestRoot " << dir_ << "/spool\nTempDir " << dir_ << "/spool/tmp\n"
        << "CacheDir " << dir_ << "/cache\nStateDir " << dir_ << "/state\nErrorLog " << dir_ << "/log/error_log\n"
        << "AccessLog " << dir_ << "/log/access_log\nPageLog " << dir_ << "/log/page_log\n"
        << "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nUser lp\nGroup lp\n";
  }

  void Start() {
    std::string conf = dir_ + "/etc/cupsd.conf";
    std::string files = dir_ + "/etc/cups-files.conf";
    pid_ = fork();
    if (pid_ == 0) {
      execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int tries = 0; tries < 100; ++tries) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;
      if (std::filesystem::exists(Socket()) && Run("lpstat -r")) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    problem_ = "cupsd did not start";
  }

  std::string dir_;
  pid_t pid_ = -1;
  std::string problem_;
};

class SpoolerPortsTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::ClearSpoolerPortsForTesting(); }
};

TEST_F(SpoolerPortsTest, FixedListComesBackInOrderOrFailsAsGiven) {
  platform::SetSpoolerPortsForTesting(std::vector<std::string>{"usb://b", "socket://127.0.0.1:9100", "lpd://a"});
  EXPECT_EQ(platform::EnumSpoolerPorts(), (Ports{{"usb://b", "socket://127.0.0.1:9100", "lpd://a"}}));
  platform::SetSpoolerPortsForTesting(std::vector<std::string>{});
  EXPECT_EQ(platform::EnumSpoolerPorts(), Ports{std::vector<std::string>{}});
  platform::SetSpoolerPortsForTesting(std::nullopt);
  EXPECT_EQ(platform::EnumSpoolerPorts(), std::nullopt);
}

TEST_F(SpoolerPortsTest, ListMustFitTheFiveThousandByteBuffer) {
  // Each port takes a 4-byte entry and its name with its terminator.
  platform::SetSpoolerPortsForTesting(std::vector<std::string>{std::string(4995, 'p')});
  EXPECT_TRUE(platform::EnumSpoolerPorts());
  platform::SetSpoolerPortsForTesting(std::vector<std::string>{std::string(4996, 'p')});
  EXPECT_FALSE(platform::EnumSpoolerPorts());
  // 100 ports of 45 characters: 100 * 50 = 5000 bytes; one more character does not fit.
  std::vector<std::string> many(100, std::string(45, 'q'));
  platform::SetSpoolerPortsForTesting(many);
  EXPECT_TRUE(platform::EnumSpoolerPorts());
  many.back() += 'q';
  platform::SetSpoolerPortsForTesting(many);
  EXPECT_FALSE(platform::EnumSpoolerPorts());
}

TEST_F(SpoolerPortsTest, FailsWhenCupsCannotBeAsked) {
  ScopedCupsServer server("/nonexistent/korevnts-test/cups.sock");
  EXPECT_EQ(EnumOnFreshThread(), std::nullopt);
}

TEST_F(SpoolerPortsTest, ReadsDeviceUrisOfLocalQueuesFromCupsd) {
  PrivateCupsd cupsd;
  if (!cupsd.Problem().empty()) GTEST_SKIP() << cupsd.Problem();
  ScopedCupsServer server(cupsd.Socket());
  EXPECT_EQ(EnumOnFreshThread(), Ports{std::vector<std::string>{}});

  ASSERT_TRUE(cupsd.Admin("-p beta -v socket://127.0.0.1:9100 -E"));
  ASSERT_TRUE(cupsd.Admin("-p alpha -v parallel:/dev/lp0 -E"));
  ASSERT_TRUE(cupsd.Admin("-p alpha -c office"));  // a class is no port of its own
  EXPECT_EQ(EnumOnFreshThread(), (Ports{{"parallel:/dev/lp0", "socket://127.0.0.1:9100"}}));
}

}  // namespace

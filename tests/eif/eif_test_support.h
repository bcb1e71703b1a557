#pragma once
// Shared pieces of the EIF tests: a scratch directory, a configuration written
// and read in one step, event texts, a clock that only moves when slept on,
// and a network of scripted servers.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "eif/eif_clock.h"
#include "eif/tec_network.h"

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  std::string Path(const std::string& name) const { return (root_ / name).string(); }

 private:
  std::filesystem::path root_;
};

// Writes content to path and reads it as the EIF configuration; the result of EifReadConfig.
int LoadConfig(const std::string& path, const std::string& content);

// An event string as the service composes it.
std::string MakeEvent(const std::string& severity, const std::string& message, std::size_t padTo = 0);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

// The event texts carried by a stream of frames.
std::vector<std::string> DecodeFrames(const std::string& bytes);

class FakeClock final : public EifClock {
 public:
  std::int64_t NowMilliseconds() override { return now; }
  void Sleep(std::int64_t milliseconds) override {
    sleeps.push_back(milliseconds);
    now += milliseconds;
  }
  std::int64_t now = 1000000;
  std::vector<std::int64_t> sleeps;
};

struct FakeServer {
  bool accepting = true;  // connections are refused while false
  bool failSends = false;
  std::size_t byteBudget = SIZE_MAX;  // bytes taken before a send breaks off
  int generation = 0;     // a restart closes every connection made before it
  std::string bytes;      // everything received
  std::vector<std::size_t> sendSizes;
  int connections = 0;
};

// Servers are addressed as 10.0.0.n ("serverN" resolves to it) and port p.
class FakeNetwork final : public TecNetwork {
 public:
  static std::uint32_t Address(int n);
  FakeServer& Server(int n, std::uint16_t port);  // port in host order
  std::vector<std::string> Events(int n, std::uint16_t port) { return DecodeFrames(Server(n, port).bytes); }

  std::optional<std::uint32_t> ResolveServer(const std::string& name) override;
  std::uint16_t LookupTecPort(std::uint32_t address) override;
  std::unique_ptr<TecConnection> ConnectTcp(std::uint32_t address, std::uint16_t port) override;

  std::map<int, std::uint16_t> portmap;  // server n -> registered port (host order); absent: no answer
  std::vector<std::string> log;          // "lookup n", "connect n:port", "close n:port"

 private:
  std::map<std::pair<int, std::uint16_t>, FakeServer> servers_;
};

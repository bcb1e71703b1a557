#include "tools/tec-receiver/receiver_loop.h"

#include <memory>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "common/ipv4_text.h"
#include "platform/readiness.h"
#include "platform/tcp_socket.h"
#include "tools/tec-receiver/event_line.h"
#include "tools/tec-receiver/frame_stream.h"

namespace {

constexpr std::size_t kReceiveBlock = 65536;
// Receives per connection and wake-up, so that one busy sender cannot starve
// the others nor the stop signal.
constexpr int kReceivesPerTurn = 16;

struct Client {
  platform::UniqueSocket socket;
  std::string peer;  // address:port, for messages
  FrameStream frames;
  long events = 0;
};

class ReceiverLoop {
 public:
  ReceiverLoop(const ReceiverOptions& options, platform::NativeHandle listener, std::FILE* output)
      : options_(options), listener_(listener), output_(output), buffer_(kReceiveBlock) {}

  int Run(platform::NativeHandle stopHandle) {
    for (;;) {
      std::fflush(output_);
      std::vector<platform::NativeHandle> handles{stopHandle};
      if (!options_.refuse) handles.push_back(listener_);
      for (const auto& client : clients_) handles.push_back(client->socket.Get());
      std::unique_ptr<bool[]> readable(new bool[handles.size()]());
      if (platform::WaitReadable(handles, std::span<bool>(readable.get(), handles.size()), -1) < 0) return 1;
      if (readable[0]) return 0;
      std::size_t first = 1;
      if (!options_.refuse && readable[first++]) AcceptAll();
      ServeReadable(std::span<const bool>(readable.get() + first, handles.size() - first));
    }
  }

 private:
  void AcceptAll() {
    for (;;) {
      std::uint32_t address = 0;
      std::uint16_t port = 0;
      platform::UniqueSocket socket = platform::AcceptTcp(listener_, address, port);
      if (!socket.IsValid()) return;
      auto client = std::make_unique<Client>();
      client->socket = std::move(socket);
      client->peer =
          common::FormatIPv4NetworkOrder(address) + ":" + std::to_string(common::NetworkToHost16(port));
      clients_.push_back(std::move(client));
    }
  }

  // readable[i] belongs to the client at index i when the wait began.
  void ServeReadable(std::span<const bool> readable) {
    std::vector<std::unique_ptr<Client>> kept;
    for (std::size_t i = 0; i < clients_.size(); ++i) {
      bool open = i >= readable.size() || !readable[i] || Serve(*clients_[i]);
      if (open) kept.push_back(std::move(clients_[i]));
    }
    clients_ = std::move(kept);
  }

  // Reads what the client sent; false when its connection is to be closed.
  bool Serve(Client& client) {
    for (int turn = 0; turn < kReceivesPerTurn; ++turn) {
      long received = platform::ReceiveSome(client.socket.Get(), buffer_.data(), buffer_.size());
      if (received == -2) return true;
      if (received == 0) {
        if (client.frames.InsideFrame()) Report(client, "connection closed inside a frame");
        return false;
      }
      if (received < 0) {
        Report(client, "receive failed");
        return false;
      }
      bool limitReached = false;
      bool wellFormed = client.frames.Feed(std::string_view(buffer_.data(), static_cast<std::size_t>(received)),
                                           [&](std::string_view text) {
                                             if (limitReached) return;
                                             WriteEvent(text);
                                             if (options_.closeAfter > 0 && ++client.events >= options_.closeAfter)
                                               limitReached = true;
                                           });
      if (!wellFormed) {
        Report(client, "malformed frame: " + client.frames.Error() + "; connection closed");
        return false;
      }
      if (limitReached) return false;
    }
    return true;
  }

  void WriteEvent(std::string_view text) {
    std::string line = EscapeEventText(text);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), output_);
  }

  void Report(const Client& client, const std::string& message) {
    std::fprintf(stderr, "tec-receiver: %s: %s\n", client.peer.c_str(), message.c_str());
  }

  const ReceiverOptions& options_;
  platform::NativeHandle listener_;
  std::FILE* output_;
  std::vector<char> buffer_;
  std::vector<std::unique_ptr<Client>> clients_;
};

}  // namespace

int RunReceiverLoop(const ReceiverOptions& options, platform::NativeHandle listener, platform::NativeHandle stopHandle,
                    std::FILE* output) {
  ReceiverLoop loop(options, listener, output);
  return loop.Run(stopHandle);
}

#pragma once
// The game's text for reading tools in the browser (pop-up dictionaries, sentence cards): a
// WebSocket server on 127.0.0.1 only that sends every text as one UTF-8 text frame to every
// client connected at that moment. Port 6677 is where those tools look by default.
//
// The server runs on a thread of its own (libwebsockets' event loop); Send only queues the
// text and wakes it, so the game never waits for a client. A client that falls more than a
// few hundred texts behind and has not taken any for a second (it stopped reading) is dropped,
// and so is one that falls thousands behind however it reads.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/result.h"
#include "platform/text_out.h"

struct lws;
struct lws_context;

namespace orv {

inline constexpr uint16_t kDefaultTextSocketPort = 6677;

class TextSocketServer final : public TextOut {
 public:
  // Listening on 127.0.0.1:port (0: a free port the system picks); an error when the port is
  // taken or the server cannot start.
  static Result<std::unique_ptr<TextSocketServer>> Start(uint16_t port);
  ~TextSocketServer() override;
  TextSocketServer(const TextSocketServer&) = delete;
  TextSocketServer& operator=(const TextSocketServer&) = delete;

  void Send(std::string_view utf8) override;

  uint16_t port() const { return port_; }
  // Clients connected now (as the server thread last saw them).
  size_t Clients() const { return clientCount_.load(); }

  static constexpr size_t kQueuedWhileStalled = 512;
  static constexpr size_t kMostQueuedTexts = 8192;
  static constexpr std::chrono::milliseconds kStalledAfter{1000};

  // For the server's callback only: what one connection has still to receive.
  struct Client {
    lws* connection = nullptr;
    std::deque<std::string> queued;
    std::chrono::steady_clock::time_point lastTaken;
    bool dropped = false;
  };
  int OnEvent(lws* connection, int reason, void* in, size_t length);

 private:
  TextSocketServer() = default;
  void Serve();
  void HandOut();  // server thread: the texts sent since it last woke, to every client

  lws_context* context_ = nullptr;
  uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<size_t> clientCount_{0};

  std::mutex mutex_;
  std::vector<std::string> incoming_;  // guarded by mutex_

  std::vector<std::unique_ptr<Client>> clients_;  // the server thread's own
};

}  // namespace orv

// The game's text for reading tools: what goes out and in which order (through the headless
// text log), and the WebSocket server as a real client library sees it.
#include <gtest/gtest.h>
#include <libwebsockets.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>

#include "platform/net/text_socket.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

TEST(TextOut, LinesChoiceCaptionsAndBoxesGoOutWhenTheyCompleteInOrder) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~BOXSIZE 0,300,640,480",
                               "~TXTPOS 20,310",
                               "~FONTSIZE 16",
                               "&name:\"太郎\"",
                               "\"名前は\"%name%\"です。\"\\n",
                               "\"　\"\\n",
                               "\"一行目\"\\r",
                               "\"二行目\"\\p",
                               "\"どっち？\"\\n",
                               "~SELECT",
                               "{",
                               "北へ,@north",
                               "南　へ,@south",
                               "}",
                               "*north",
                               "\"北です\"\\n",
                               "~NOPE",
                               "\"終わり\"\\n",
                               "*south",
                               "\"南です\"\\n"}});
  const std::string log = (dir.path() / "text.txt").string();
  HeadlessResult run =
      RunHeadlessGame(dir.path(), {"click", "click", "click", "key enter", "click", "click 22 328", "click", "click"},
                      0, {"--text-log", log});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Lines sent;
  std::istringstream lines(dir.Read("text.txt"));
  for (std::string line; std::getline(lines, line);) sent.push_back(line.substr(line.find(' ') + 1));
  // The blank line sends nothing; the choice's captions follow its question; the message box
  // comes after the line it interrupted.
  EXPECT_EQ(sent, (Lines{"名前は太郎です。", "一行目", "二行目", "どっち？", "北へ", "南　へ", "北です",
                         "指定されたスクリプトは存在しません：　NOPE", "終わり"}));
}

// A WebSocket client of the library's own, on a thread of its own, keeping what it receives.
class ReadingClient {
 public:
  explicit ReadingClient(uint16_t port) {
    lws_context_creation_info info;
    std::memset(&info, 0, sizeof info);
    info.port = CONTEXT_PORT_NO_LISTEN;
    info.protocols = kProtocols;
    info.user = this;
    info.gid = -1;
    info.uid = -1;
    context_ = lws_create_context(&info);
    lws_client_connect_info connect;
    std::memset(&connect, 0, sizeof connect);
    connect.context = context_;
    connect.address = "127.0.0.1";
    connect.port = port;
    connect.path = "/";
    connect.host = "127.0.0.1";
    connect.origin = "127.0.0.1";
    lws_client_connect_via_info(&connect);
    thread_ = std::thread([this] {
      while (!stop_) lws_service(context_, 0);
    });
  }
  ~ReadingClient() {
    stop_ = true;
    lws_cancel_service(context_);
    thread_.join();
    lws_context_destroy(context_);
  }
  bool WaitFor(size_t count) {
    for (auto until = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < until;) {
      if (Received().size() >= count) return true;
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }
  Lines Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }
  bool connected() const { return connected_; }

 private:
  static int Callback(lws* wsi, lws_callback_reasons reason, void*, void* in, size_t length) {
    auto* self = static_cast<ReadingClient*>(lws_context_user(lws_get_context(wsi)));
    if (reason == LWS_CALLBACK_CLIENT_ESTABLISHED) self->connected_ = true;
    if (reason == LWS_CALLBACK_CLIENT_RECEIVE) {
      std::lock_guard lock(self->mutex_);
      self->partial_.append(static_cast<const char*>(in), length);
      if (lws_is_final_fragment(wsi)) self->received_.push_back(std::exchange(self->partial_, {}));
    }
    return 0;
  }
  static constexpr lws_protocols kProtocols[] = {{"reader", Callback, 0, 0, 0, nullptr, 0},
                                                 {nullptr, nullptr, 0, 0, 0, nullptr, 0}};

  lws_context* context_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> connected_{false};
  std::mutex mutex_;
  Lines received_;
  std::string partial_;
};

bool WaitUntil(const std::function<bool()>& done) {
  for (auto until = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < until;) {
    if (done()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

TEST(TextSocket, EveryClientGetsEveryTextInOrderAndOneThatStopsReadingIsDropped) {
  Result<std::unique_ptr<TextSocketServer>> started = TextSocketServer::Start(0);
  ASSERT_TRUE(started) << started.error().message;
  TextSocketServer& server = **started;
  // Only this machine may connect, and a second server on the same port says it is taken.
  EXPECT_FALSE(TextSocketServer::Start(server.port()));

  ReadingClient first(server.port()), second(server.port());
  ASSERT_TRUE(WaitUntil([&] { return server.Clients() == 2; }));
  const Lines texts = {"名前は太郎です。", "北へ", std::string(5000, 'x')};
  for (const std::string& text : texts) server.Send(text);
  ASSERT_TRUE(first.WaitFor(3));
  ASSERT_TRUE(second.WaitFor(3));
  EXPECT_EQ(first.Received(), texts);
  EXPECT_EQ(second.Received(), texts);

  // A client that finished the handshake and then never reads: once its socket is full and a
  // second has passed, it goes, and the one that reads gets everything.
  const int stalled = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(server.port());
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(connect(stalled, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string handshake =
      "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
      "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
  ASSERT_EQ(write(stalled, handshake.data(), handshake.size()), ssize_t(handshake.size()));
  ASSERT_TRUE(WaitUntil([&] { return server.Clients() == 3; }));
  const std::string page(4000, 'y');
  size_t sent = 0;
  ASSERT_TRUE(WaitUntil([&] {
    for (int i = 0; i < 50; ++i, ++sent) server.Send(page);
    std::this_thread::sleep_for(20ms);
    return server.Clients() == 2;
  }));
  ASSERT_TRUE(first.WaitFor(3 + sent));
  const Lines received = first.Received();
  EXPECT_EQ(received.size(), 3 + sent);
  EXPECT_EQ(received.back(), page);
  close(stalled);
}

// A port nothing listens on: one the system gave a socket that has closed again (0 if none).
uint16_t FreeLocalPort() {
  Result<std::unique_ptr<TextSocketServer>> probe = TextSocketServer::Start(0);
  return probe ? (*probe)->port() : 0;
}

TEST(TextSocket, TheMenuTurnsItOnAndOffAndATakenPortIsSaidNotFatal) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n"}});
  const uint16_t freePort = FreeLocalPort();
  ASSERT_NE(freePort, 0);
  HeadlessResult run = RunHeadlessGame(dir.path(), {"dump on.json", "menu TextSocket", "dump off.json"}, 0,
                                       {"--text-socket", std::to_string(freePort)});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(ReadDump(dir, "on.json")["menu"]["TextSocket"]["checked"].get<bool>());
  EXPECT_FALSE(ReadDump(dir, "off.json")["menu"]["TextSocket"]["checked"].get<bool>());
  EXPECT_TRUE(run.err.empty()) << run.err;

  Result<std::unique_ptr<TextSocketServer>> holder = TextSocketServer::Start(0);
  ASSERT_TRUE(holder);
  HeadlessResult taken = RunHeadlessGame(dir.path(), {"dump taken.json"}, 0,
                                         {"--text-socket", std::to_string((*holder)->port())});
  ASSERT_EQ(taken.exitCode, 0) << taken.err;
  EXPECT_FALSE(ReadDump(dir, "taken.json")["menu"]["TextSocket"]["checked"].get<bool>());
  EXPECT_NE(taken.err.find("the text socket: cannot listen on 127.0.0.1:"), std::string::npos) << taken.err;
}

// The settings file starts the socket on its port; the menu's toggle is what gets written, and a
// command-line socket is that run's alone.
TEST(TextSocket, TheSettingsFileStartsItAndKeepsWhatTheMenuChose) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n"}});
  const uint16_t freePort = FreeLocalPort();
  ASSERT_NE(freePort, 0);
  const std::string config = (dir.path() / "orvane.toml").string();
  dir.Write("orvane.toml", "[text_socket]\nenabled = true\nport = " + std::to_string(freePort) + "  # mine\n");
  HeadlessResult run = RunHeadlessGame(dir.path(), {"dump on.json", "menu TextSocket"}, 0, {"--config", config});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(ReadDump(dir, "on.json")["menu"]["TextSocket"]["checked"].get<bool>());
  EXPECT_EQ(dir.Read("orvane.toml"),
            "[text_socket]\nenabled = false\nport = " + std::to_string(freePort) + "  # mine\n");

  // Off in the file, the menu turns it on at the file's port, and that is kept.
  run = RunHeadlessGame(dir.path(), {"dump off.json", "menu TextSocket", "dump again.json"}, 0, {"--config", config});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(ReadDump(dir, "off.json")["menu"]["TextSocket"]["checked"].get<bool>());
  EXPECT_TRUE(ReadDump(dir, "again.json")["menu"]["TextSocket"]["checked"].get<bool>());
  EXPECT_NE(dir.Read("orvane.toml").find("enabled = true"), std::string::npos) << dir.Read("orvane.toml");

  // The command line's port wins for its run and is not written; a bad port is named and the
  // default stays.
  dir.Write("orvane.toml", "[text_socket]\nenabled = false\nport = 70000\n");
  run = RunHeadlessGame(dir.path(), {"dump cli.json"}, 0,
                        {"--config", config, "--text-socket", std::to_string(freePort)});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(ReadDump(dir, "cli.json")["menu"]["TextSocket"]["checked"].get<bool>());
  EXPECT_NE(run.err.find("text_socket.port"), std::string::npos) << run.err;
  EXPECT_EQ(dir.Read("orvane.toml"), "[text_socket]\nenabled = false\nport = 70000\n");
}

}  // namespace
}  // namespace orv::test

// The speech service's side of spoken text: however the service fails, speaking never holds
// up the game, and the person running the player is told once; a service that works hears
// every utterance in order, each interrupting one after a cancel.
#include "platform/sdl/dispatcher_speech.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace orv {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using Lines = std::vector<std::string>;

milliseconds TimeOf(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// Waits up to three seconds for `done`, asking it until it is true.
bool Eventually(const std::function<bool()>& done) {
  for (const auto end = Clock::now() + milliseconds(3000); !done(); std::this_thread::sleep_for(milliseconds(5)))
    if (Clock::now() > end) return false;
  return true;
}

int Listen(const std::string& path) {
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 4) != 0)
    ADD_FAILURE() << "cannot listen at " << path;
  return listener;
}

// A speech service that says yes to everything and writes down what it hears: each command
// upper-cased, each text to speak as "SAY text", and "(closed)" when the client has gone.
class AgreeableService {
 public:
  // `stallFirst`: the first client's first utterance is never answered, and the service takes a
  // second client as if nothing had happened.
  explicit AgreeableService(const std::string& path, bool stallFirst = false)
      : listener_(Listen(path)), stallFirst_(stallFirst), thread_([this] { Serve(); }) {}
  ~AgreeableService() {
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
    if (stalled_ >= 0) close(stalled_);
  }
  Lines Heard() {
    std::lock_guard lock(mutex_);
    return heard_;
  }
  bool Heard(const std::string& line) {
    const Lines all = Heard();
    return std::find(all.begin(), all.end(), line) != all.end();
  }

 private:
  void Serve() {
    int client = accept(listener_, nullptr, nullptr);
    std::string pending, text;
    bool receivingText = false;
    char chunk[512];
    for (ssize_t n; client >= 0 && (n = read(client, chunk, sizeof chunk)) > 0;) {
      pending.append(chunk, size_t(n));
      for (size_t end; (end = pending.find("\r\n")) != std::string::npos; pending.erase(0, end + 2)) {
        std::string line = pending.substr(0, end);
        if (receivingText && line != ".") {
          text += (text.empty() ? "" : "\n") + line.substr(line.starts_with("..") ? 1 : 0);
        } else if (receivingText && stallFirst_ && stalled_ < 0) {
          // Say nothing, keep the connection, and serve the next client.
          Hear("(stalled) " + text);
          receivingText = false;
          stalled_ = client;
          client = accept(listener_, nullptr, nullptr);
          pending.clear();
          break;
        } else if (receivingText) {
          receivingText = false;
          Hear("SAY " + text);
          Reply(client, "225-1\r\n225 OK MESSAGE QUEUED\r\n");
        } else {
          std::transform(line.begin(), line.end(), line.begin(), [](unsigned char c) { return std::toupper(c); });
          Hear(line);
          receivingText = line == "SPEAK";
          text.clear();
          Reply(client, receivingText ? "230 OK RECEIVING DATA\r\n" : "200 OK\r\n");
        }
      }
    }
    Hear("(closed)");
    if (client >= 0) close(client);
  }
  void Hear(std::string line) {
    std::lock_guard lock(mutex_);
    heard_.push_back(std::move(line));
  }
  static void Reply(int client, std::string_view reply) { send(client, reply.data(), reply.size(), MSG_NOSIGNAL); }

  int listener_;
  bool stallFirst_ = false;
  int stalled_ = -1;
  std::thread thread_;
  std::mutex mutex_;
  Lines heard_;
};

TEST(DispatcherSpeech, NoServiceIsToldOnceAndSpeakingGoesOnSilently) {
  test::TempDir dir;
  DispatcherSpeech speech({.socketPath = (dir.path() / "nobody.sock").string()});
  EXPECT_TRUE(speech.TakeProblem().empty());  // nothing tried yet
  EXPECT_LT(TimeOf([&] { speech.Say("こんにちは", SpeechOrder::Interrupt); }), milliseconds(100));
  std::string problem;
  EXPECT_TRUE(Eventually([&] { return !(problem = speech.TakeProblem()).empty(); }));
  EXPECT_NE(problem.find("no speech service (speech-dispatcher) is running"), std::string::npos) << problem;
  EXPECT_EQ(problem.find('\n'), std::string::npos) << problem;
  speech.Silence();
  EXPECT_TRUE(speech.TakeProblem().empty());  // told once
  // The player turned speech on again: it tries the service anew, and says so again.
  speech.Say("まだ", SpeechOrder::Queue);
  EXPECT_TRUE(Eventually([&] { return !speech.TakeProblem().empty(); }));
  EXPECT_FALSE(speech.Connected());
}

TEST(DispatcherSpeech, AServiceThatNeverAnswersHoldsUpNeitherSpeakingNorClosing) {
  test::TempDir dir;
  const std::string path = (dir.path() / "mute.sock").string();
  const int listener = Listen(path);  // takes connections, never says a word
  auto speech =
      std::make_unique<DispatcherSpeech>(DispatcherSpeech::Options{.socketPath = path, .connectTimeoutMs = 200});
  EXPECT_LT(TimeOf([&] {
              for (int line = 0; line < 200; ++line) speech->Say("行", SpeechOrder::Queue);
            }),
            milliseconds(100));
  std::string problem;
  EXPECT_TRUE(Eventually([&] { return !(problem = speech->TakeProblem()).empty(); }));
  EXPECT_NE(problem.find("answered within 1 s"), std::string::npos) << problem;
  EXPECT_LT(TimeOf([&] { speech->Say("もう一行", SpeechOrder::Interrupt); }), milliseconds(100));
  // Closing waits a moment for the service's thread, then leaves it to its hung connection.
  EXPECT_LT(TimeOf([&] { speech.reset(); }), milliseconds(1500));
  close(listener);
}

TEST(DispatcherSpeech, UtterancesReachTheServiceInOrderAndAnInterruptionCancelsFirst) {
  test::TempDir dir;
  const std::string path = (dir.path() / "speechd.sock").string();
  AgreeableService service(path);
  {
    DispatcherSpeech speech({.socketPath = path});
    speech.Silence();  // before any utterance: nothing to connect for
    speech.Say("一行目", SpeechOrder::Queue);
    speech.Say("二行目\n.続き", SpeechOrder::Queue);
    ASSERT_TRUE(Eventually([&] { return service.Heard("SAY 二行目\n.続き"); }));
    EXPECT_TRUE(speech.Connected());
    speech.Say("北へ", SpeechOrder::Interrupt);
    ASSERT_TRUE(Eventually([&] { return service.Heard("SAY 北へ"); }));
    speech.Silence();
    ASSERT_TRUE(Eventually([&] {
      const Lines all = service.Heard();
      return std::count(all.begin(), all.end(), "CANCEL SELF") == 2;
    }));
  }  // closing silences too
  ASSERT_TRUE(Eventually([&] { return service.Heard("(closed)"); }));
  Lines asked;
  for (const std::string& line : service.Heard())
    if (line.starts_with("SAY") || line.starts_with("CANCEL") || line.find("LANGUAGE") != std::string::npos)
      asked.push_back(line);
  EXPECT_EQ(asked, (Lines{"SET SELF LANGUAGE JA", "SAY 一行目", "SAY 二行目\n.続き", "CANCEL SELF", "SAY 北へ",
                          "CANCEL SELF", "CANCEL SELF"}));
  // The "message" priority never cuts short another utterance: only the cancels do.
  EXPECT_TRUE(service.Heard("SET SELF PRIORITY MESSAGE"));
  EXPECT_FALSE(service.Heard("SET SELF PRIORITY TEXT"));
}

TEST(DispatcherSpeech, AServiceThatStopsAnsweringIsToldAndTurningSpeechOnAgainReconnects) {
  test::TempDir dir;
  const std::string path = (dir.path() / "speechd.sock").string();
  AgreeableService service(path, /*stallFirst=*/true);
  DispatcherSpeech speech({.socketPath = path, .connectTimeoutMs = 300});
  speech.Say("一行目", SpeechOrder::Queue);
  ASSERT_TRUE(Eventually([&] { return service.Heard("(stalled) 一行目"); }));
  std::string problem;
  ASSERT_TRUE(Eventually([&] { return !(problem = speech.TakeProblem()).empty(); }));
  EXPECT_NE(problem.find("stopped answering"), std::string::npos) << problem;
  EXPECT_FALSE(speech.Connected());
  // Turned on again: a new connection, while the old one is left to its service.
  EXPECT_LT(TimeOf([&] { speech.Say("二行目", SpeechOrder::Interrupt); }), milliseconds(100));
  EXPECT_TRUE(Eventually([&] { return service.Heard("SAY 二行目"); }));
  EXPECT_TRUE(speech.Connected());
  EXPECT_TRUE(speech.TakeProblem().empty());
}

}  // namespace
}  // namespace orv

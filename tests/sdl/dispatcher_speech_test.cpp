// The speech service's side of spoken text: however the service fails, speaking never holds
// up the game, and the person running the player is told once.
#include "platform/sdl/dispatcher_speech.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
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

// The problem line, waiting for it up to `limit`.
std::string ProblemWithin(DispatcherSpeech& speech, milliseconds limit) {
  const auto end = Clock::now() + limit;
  for (std::string problem; Clock::now() < end; std::this_thread::sleep_for(milliseconds(10)))
    if (!(problem = speech.TakeProblem()).empty()) return problem;
  return "";
}

milliseconds TimeOf(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// Waits up to two seconds for `done`.
bool Eventually(const std::function<bool()>& done) {
  const auto end = Clock::now() + milliseconds(2000);
  while (!done() && Clock::now() < end) std::this_thread::sleep_for(milliseconds(5));
  return done();
}

// A Unix socket listening at `path`; -1 when it cannot be made.
int Listen(const std::string& path) {
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (listener < 0 || path.size() >= sizeof address.sun_path) return -1;
  path.copy(address.sun_path, path.size());
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 4) != 0) {
    close(listener);
    return -1;
  }
  return listener;
}

// A speech service that says yes to everything and writes down what it was asked, its
// commands upper-cased, each text it was given to speak as "SAY text", and "(closed)" when the
// client has gone.
class AgreeableService {
 public:
  explicit AgreeableService(const std::string& path) : listener_(Listen(path)) {
    if (listener_ >= 0) thread_ = std::thread([this] { Serve(); });
  }
  ~AgreeableService() {
    shutdown(listener_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    close(listener_);
  }
  bool listening() const { return listener_ >= 0; }
  std::vector<std::string> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  bool Heard(const std::string& request) {
    const auto all = Requests();
    return std::find(all.begin(), all.end(), request) != all.end();
  }

 private:
  void Serve() {
    const int client = accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    std::string pending, text;
    bool receivingText = false;
    char chunk[512];
    for (ssize_t n; (n = read(client, chunk, sizeof chunk)) > 0;) {
      pending.append(chunk, size_t(n));
      for (size_t end; (end = pending.find("\r\n")) != std::string::npos;) {
        std::string line = pending.substr(0, end);
        pending.erase(0, end + 2);
        if (receivingText && line == ".") {
          receivingText = false;
          Record("SAY " + text);
          Reply(client, "225-1\r\n225 OK MESSAGE QUEUED\r\n");
        } else if (receivingText) {
          text += (text.empty() ? "" : "\n") + (line.starts_with("..") ? line.substr(1) : line);
        } else {
          std::transform(line.begin(), line.end(), line.begin(), [](unsigned char c) { return std::toupper(c); });
          Record(line);
          receivingText = line == "SPEAK";
          text.clear();
          Reply(client, receivingText    ? "230 OK RECEIVING DATA\r\n"
                        : line == "QUIT" ? "231 HAPPY HACKING\r\n"
                                         : "200 OK\r\n");
        }
      }
    }
    Record("(closed)");
    close(client);
  }
  void Record(std::string request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
  }
  static void Reply(int client, const std::string& reply) {
    if (write(client, reply.data(), reply.size()) < 0) return;
  }

  int listener_;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

TEST(DispatcherSpeech, NoServiceIsToldOnceAndSpeakingGoesOnSilently) {
  test::TempDir dir;
  DispatcherSpeech speech({.socketPath = (dir.path() / "nobody.sock").string()});
  EXPECT_TRUE(speech.TakeProblem().empty());  // nothing tried yet
  EXPECT_LT(TimeOf([&] { speech.Say("こんにちは", SpeechOrder::Interrupt); }), milliseconds(100));
  const std::string problem = ProblemWithin(speech, milliseconds(3000));
  EXPECT_NE(problem.find("no speech service (speech-dispatcher) is running"), std::string::npos) << problem;
  EXPECT_FALSE(speech.Connected());
  speech.Say("まだ", SpeechOrder::Queue);
  speech.Silence();
  EXPECT_TRUE(speech.TakeProblem().empty());
}

TEST(DispatcherSpeech, AServiceThatNeverAnswersHoldsUpNeitherSpeakingNorClosing) {
  // A socket that takes connections and never says a word.
  test::TempDir dir;
  const std::string path = (dir.path() / "mute.sock").string();
  const int listener = Listen(path);
  ASSERT_GE(listener, 0);

  auto speech =
      std::make_unique<DispatcherSpeech>(DispatcherSpeech::Options{.socketPath = path, .connectTimeoutMs = 200});
  EXPECT_LT(TimeOf([&] {
              for (int line = 0; line < 200; ++line) speech->Say("行", SpeechOrder::Queue);
            }),
            milliseconds(100));
  const std::string problem = ProblemWithin(*speech, milliseconds(2000));
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
  ASSERT_TRUE(service.listening());
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
      const auto all = service.Requests();
      return std::count(all.begin(), all.end(), "CANCEL SELF") == 2;
    }));
  }  // closing silences too
  ASSERT_TRUE(Eventually([&] { return service.Heard("(closed)"); }));
  std::vector<std::string> asked;
  for (const std::string& request : service.Requests())
    if (request.starts_with("SAY") || request.starts_with("CANCEL") || request.find("LANGUAGE") != std::string::npos)
      asked.push_back(request);
  EXPECT_EQ(asked, (std::vector<std::string>{"SET SELF LANGUAGE JA", "SAY 一行目", "SAY 二行目\n.続き", "CANCEL SELF",
                                             "SAY 北へ", "CANCEL SELF", "CANCEL SELF"}));
  EXPECT_TRUE(service.Heard("SET SELF PRIORITY MESSAGE"));
  EXPECT_FALSE(service.Heard("SET SELF PRIORITY TEXT"));
}

}  // namespace
}  // namespace orv

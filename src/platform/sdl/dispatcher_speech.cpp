#include "platform/sdl/dispatcher_speech.h"

#include <libspeechd.h>
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

namespace orv {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Utterances waiting for the connection beyond this many are not worth hearing late.
constexpr size_t kMostWaiting = 64;
// How long closing waits for the service's thread before leaving it behind.
constexpr auto kFarewellWait = std::chrono::milliseconds(1000);

struct Request {
  bool silence = false;
  SpeechOrder order = SpeechOrder::Queue;
  std::string text;
};

enum class ChannelState { Idle, Connecting, Open, Silent };

}  // namespace

// What the game's thread and the service's thread share, kept alive by both: a thread left
// behind on a hung service still has it after the player is gone.
struct DispatcherSpeech::Channel {
  std::mutex mutex;
  std::condition_variable wake;      // a request came, or quit
  std::condition_variable finished;  // the thread is done
  std::deque<Request> requests;
  ChannelState state = ChannelState::Idle;
  SteadyClock::time_point connectStarted;
  bool quit = false;
  bool workerDone = false;
  // Since when the service's thread waits on the service to take what it was handed.
  std::optional<SteadyClock::time_point> busySince;
  std::string problem;  // the line not yet taken
};

namespace {

using Channel = DispatcherSpeech::Channel;

// From now on nothing is spoken; the line is told once.
void GoSilent(Channel& channel, std::string line) {
  if (channel.state == ChannelState::Silent) return;
  channel.state = ChannelState::Silent;
  channel.requests.clear();
  channel.problem = std::move(line);
}

void GiveUpWhenLate(Channel& channel, uint32_t timeoutMs) {
  if (channel.state != ChannelState::Connecting) return;
  if (SteadyClock::now() - channel.connectStarted < std::chrono::milliseconds(timeoutMs)) return;
  GoSilent(channel, "speech: no speech service (speech-dispatcher) answered within " +
                        std::to_string((timeoutMs + 999) / 1000) + " s; text will not be spoken");
}

// A service that took the connection and then stopped answering leaves the service's thread
// waiting inside the library for good: after as long as a connection may take, it counts as
// gone, like one that closed its socket.
void GiveUpWhenHung(Channel& channel, uint32_t timeoutMs) {
  if (channel.state != ChannelState::Open || !channel.busySince) return;
  if (SteadyClock::now() - *channel.busySince < std::chrono::milliseconds(timeoutMs)) return;
  GoSilent(channel, "speech: the speech service (speech-dispatcher) stopped answering; text will not be spoken");
}

// A service that went away must not end the player: on this thread a write to its closed
// socket fails with EPIPE instead of raising SIGPIPE.
void KeepBrokenPipesFromEndingThePlayer() {
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

// The library's reason for a failed connection, as part of one line: it runs to several lines
// when it tried to start the service too, and its first part says what matters.
std::string ShortReason(std::string reason) {
  if (const size_t autospawn = reason.find("Autospawn:"); autospawn != std::string::npos) reason.resize(autospawn);
  for (char& c : reason)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  while (!reason.empty() && reason.back() == ' ') reason.pop_back();
  return reason;
}

SPDConnection* OpenConnection(const DispatcherSpeech::Options& options, std::string& why) {
  std::string socketPath = options.socketPath;
  SPDConnectionAddress address{};
  address.method = SPD_METHOD_UNIX_SOCKET;
  address.unix_socket_name = socketPath.data();
  const bool byDefault = socketPath.empty();
  char* error = nullptr;
  // Only the service's default place may start it: a named socket is someone's own service.
  SPDConnection* connection =
      spd_open2("orvane", "main", nullptr, SPD_MODE_SINGLE, byDefault ? nullptr : &address, byDefault ? 1 : 0, &error);
  if (error != nullptr) {
    why = ShortReason(error);
    std::free(error);
  }
  return connection;
}

bool Carry(SPDConnection* connection, const Request& request) {
  if (request.silence || request.order == SpeechOrder::Interrupt) {
    if (spd_cancel(connection) != 0) return false;
  }
  return request.silence || spd_say(connection, SPD_MESSAGE, request.text.c_str()) >= 0;
}

void Serve(Channel& channel, SPDConnection* connection) {
  std::unique_lock lock(channel.mutex);
  for (;;) {
    channel.wake.wait(lock, [&] { return channel.quit || !channel.requests.empty(); });
    if (channel.quit) return;
    std::deque<Request> batch;
    batch.swap(channel.requests);
    channel.busySince = SteadyClock::now();
    lock.unlock();
    bool answered = true;
    for (const Request& request : batch) answered = answered && Carry(connection, request);
    lock.lock();
    channel.busySince.reset();
    if (channel.state == ChannelState::Silent) return;  // given up on meanwhile
    if (!answered) {
      GoSilent(channel, "speech: the speech service (speech-dispatcher) stopped answering; text will not be spoken");
      return;
    }
  }
}

void Work(std::shared_ptr<Channel> channel, DispatcherSpeech::Options options) {
  KeepBrokenPipesFromEndingThePlayer();
  std::string why;
  SPDConnection* connection = OpenConnection(options, why);
  bool serve = false;
  {
    std::lock_guard lock(channel->mutex);
    if (connection == nullptr) {
      GoSilent(*channel, "speech: no speech service (speech-dispatcher) is running; text will not be spoken" +
                             (why.empty() ? std::string() : " (" + why + ")"));
    } else if (channel->state == ChannelState::Connecting) {  // not given up meanwhile
      channel->state = ChannelState::Open;
      serve = true;
    }
  }
  if (serve) {
    spd_set_language(connection, options.language.c_str());
    Serve(*channel, connection);
  }
  if (connection != nullptr) {
    // Closing the game silences it.
    spd_cancel(connection);
    spd_close(connection);
  }
  std::lock_guard lock(channel->mutex);
  channel->workerDone = true;
  channel->finished.notify_all();
}

}  // namespace

DispatcherSpeech::DispatcherSpeech() : DispatcherSpeech(Options{}) {}

DispatcherSpeech::DispatcherSpeech(Options options)
    : options_(std::move(options)), channel_(std::make_shared<Channel>()) {}

DispatcherSpeech::~DispatcherSpeech() { LetWorkerGo(kFarewellWait); }

void DispatcherSpeech::LetWorkerGo(std::chrono::milliseconds wait) {
  if (!worker_.joinable()) return;
  std::unique_lock lock(channel_->mutex);
  channel_->quit = true;
  channel_->wake.notify_all();
  const bool done = channel_->finished.wait_for(lock, wait, [&] { return channel_->workerDone; });
  lock.unlock();
  if (done) {
    worker_.join();
  } else {
    worker_.detach();
  }
}

void DispatcherSpeech::StartWorker() {
  {
    std::lock_guard lock(channel_->mutex);
    if (channel_->state != ChannelState::Idle) return;
    channel_->state = ChannelState::Connecting;
    channel_->connectStarted = SteadyClock::now();
  }
  worker_ = std::thread(Work, channel_, options_);
}

void DispatcherSpeech::Say(std::string_view utf8, SpeechOrder order) {
  if (retryOnNextSay_) Reconnect();
  StartWorker();
  {
    std::lock_guard lock(channel_->mutex);
    GiveUpWhenLate(*channel_, options_.connectTimeoutMs);
    GiveUpWhenHung(*channel_, options_.connectTimeoutMs);
    if (channel_->state == ChannelState::Silent) return;
    if (order == SpeechOrder::Interrupt) channel_->requests.clear();
    if (channel_->requests.size() >= kMostWaiting) channel_->requests.pop_front();
    channel_->requests.push_back(Request{false, order, std::string(utf8)});
  }
  channel_->wake.notify_one();
}

void DispatcherSpeech::Silence() {
  {
    std::lock_guard lock(channel_->mutex);
    channel_->requests.clear();
    if (channel_->state != ChannelState::Connecting && channel_->state != ChannelState::Open) return;
    channel_->requests.push_back(Request{true, SpeechOrder::Interrupt, {}});
  }
  channel_->wake.notify_one();
}

std::string DispatcherSpeech::TakeProblem() {
  std::lock_guard lock(channel_->mutex);
  GiveUpWhenLate(*channel_, options_.connectTimeoutMs);
  GiveUpWhenHung(*channel_, options_.connectTimeoutMs);
  std::string problem = std::exchange(channel_->problem, std::string());
  if (!problem.empty()) retryOnNextSay_ = true;
  return problem;
}

void DispatcherSpeech::Reconnect() {
  retryOnNextSay_ = false;
  // The player is waiting: a thread still stuck on the old service is left behind at once.
  LetWorkerGo(std::chrono::milliseconds(0));
  channel_ = std::make_shared<Channel>();
}

bool DispatcherSpeech::Connected() const {
  std::lock_guard lock(channel_->mutex);
  return channel_->state == ChannelState::Open;
}

}  // namespace orv

#pragma once
// Spoken text through the desktop's speech service, speech-dispatcher (its client library,
// libspeechd). Every exchange with the service happens on a thread of its own: connecting,
// which may start the service or hang on one that never answers, does not hold up the game,
// and Say only hands the text over. The connection is made at the first utterance, so a
// player who never turns speech on never touches the service.
//
// An interrupting utterance cancels this player's speech (what is said and what waits) and
// then speaks; a queued one follows what waits. All go at the "message" priority, which never
// cuts short another message: only the cancel does.
//
// When the service cannot be reached, or gives no answer within the connection timeout, or
// stops answering (closes its end, or takes longer than that timeout over an utterance), speech
// goes silent and one line for whoever runs the player says so (TakeProblem). The next
// utterance after that line was taken (the player turned speech on again) tries a new
// connection.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "platform/speech.h"

namespace orv {

class DispatcherSpeech final : public Speech {
 public:
  struct Options {
    // A Unix socket of the service; empty for the service's own default (SPEECHD_ADDRESS or
    // the user's socket), which the library may start when it does not run yet.
    std::string socketPath;
    std::string language = "ja";
    uint32_t connectTimeoutMs = 5000;
  };

  DispatcherSpeech();
  explicit DispatcherSpeech(Options options);
  // Silences what this player says. Waits a moment for the service's thread; one that hangs
  // on a service that never answers is left to end with the process.
  ~DispatcherSpeech() override;
  DispatcherSpeech(const DispatcherSpeech&) = delete;
  DispatcherSpeech& operator=(const DispatcherSpeech&) = delete;

  void Say(std::string_view utf8, SpeechOrder order) override;
  void Silence() override;

  // The line about a service that cannot be reached or stopped answering, the first time it
  // is known; empty otherwise. For the game's thread, between events.
  std::string TakeProblem();
  // The connection stands (for tests and notes).
  bool Connected() const;

  struct Channel;

 private:
  // Starts the service's thread, once.
  void StartWorker();
  // Ends the service's thread, or leaves it behind on a service that never answers.
  void LetWorkerGo(std::chrono::milliseconds wait);
  // A fresh connection, in place of one that failed.
  void Reconnect();

  Options options_;
  std::shared_ptr<Channel> channel_;
  std::thread worker_;
  bool retryOnNextSay_ = false;
};

}  // namespace orv

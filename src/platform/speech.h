#pragma once
// Spoken text, for players who cannot read the screen well. Texts are UTF-8. Speaking never
// waits for the voice: an utterance is handed over and the game goes on at once.
#include <string_view>

namespace orv {

enum class SpeechOrder {
  Interrupt,  // what is being spoken stops and what waits is dropped; this is said now
  Queue,      // said after what is being spoken and what waits
};

class Speech {
 public:
  virtual ~Speech() = default;
  virtual void Say(std::string_view utf8, SpeechOrder order) = 0;
  // Stops what is being spoken and drops what waits.
  virtual void Silence() = 0;
};

// No voice: for runs that have none to offer.
class NoSpeech final : public Speech {
 public:
  void Say(std::string_view, SpeechOrder) override {}
  void Silence() override {}
};

}  // namespace orv

#pragma once
// Spoken text through the browser's speech synthesis.
#include "platform/speech.h"

namespace orv {

class WebSpeech final : public Speech {
 public:
  void Say(std::string_view utf8, SpeechOrder order) override;
  void Silence() override;
};

}  // namespace orv

#include "platform/web/web_speech.h"

#include <string>

#include "platform/web/page_bridge.h"

namespace orv {

void WebSpeech::Say(std::string_view utf8, SpeechOrder order) {
  const std::string text(utf8);
  orvane_web_say(text.c_str(), order == SpeechOrder::Interrupt ? 1 : 0);
}

void WebSpeech::Silence() { orvane_web_silence(); }

}  // namespace orv

#pragma once
// Which input the player may take. Input reaches the game only when it is idle, so a press made
// while it typed, waited or ran a transition would otherwise be played back afterwards and
// answer something the person never saw. The gate remembers when what is on screen was last
// drawn: input that arrived before then is dropped, whichever backend delivers it.
#include <cstdint>
#include <optional>

namespace orv {

class InputGate {
 public:
  // What is on screen was drawn (or the player was busy) until `nowMs`.
  void SettledAt(uint32_t nowMs) { settledMs_ = nowMs; }
  // Input that arrived at `arrivedMs` came after the screen settled (the clock wraps).
  bool Takes(uint32_t arrivedMs) const { return int32_t(arrivedMs - settledMs_) >= 0; }

  // A step begins: the text it types has not been hurried yet.
  void StepBegins() { typingPressesSeen_.reset(); }
  // The go-on presses counted when the step first typed: any press beyond them finishes the
  // step's text at once. Presses made before any text began typing (in a transition, say) do
  // not hurry it.
  uint32_t TypingPressesSeen(uint32_t pressesNow) {
    if (!typingPressesSeen_) typingPressesSeen_ = pressesNow;
    return *typingPressesSeen_;
  }

 private:
  uint32_t settledMs_ = 0;
  std::optional<uint32_t> typingPressesSeen_;
};

}  // namespace orv

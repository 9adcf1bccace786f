#pragma once
// The headless event lines: one event a line, blank lines and "#" comments skipped, read
// lazily so that standard input works as a live source.
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/game_events.h"

namespace orv {

struct EventLine {
  std::string verb;
  std::vector<std::string> args;  // the words after the verb
  std::string rest;               // everything after the verb, as written (input TEXT)
  int lineNumber = 0;
};

class EventScript {
 public:
  explicit EventScript(std::unique_ptr<std::istream> owned);
  explicit EventScript(std::istream& borrowed);

  std::optional<EventLine> Next();
  // The next event without taking it.
  const EventLine* Peek();

 private:
  bool Fill();
  std::unique_ptr<std::istream> owned_;
  std::istream* in_;
  std::optional<EventLine> peeked_;
  int lineNumber_ = 0;
};

// The key a `key NAME` line names: enter, up, down, left, right, escape, space, f12 or a letter.
std::optional<KeyPress> KeyPressByName(const std::string& name);

// A blank line gives an event without a verb.
EventLine ParseEventLine(const std::string& line, int lineNumber);

}  // namespace orv

// Headless events files over arbitrary bytes: the reader ends with the file, skips blank and
// comment lines, numbers lines as the file does, and splits every line into a verb and
// words that hold no blanks; Peek shows exactly what Next then takes. Single lines, blank or
// not, parse on their own as well.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "platform/headless/event_script.h"

namespace {

bool HasBlank(const std::string& word) { return word.find_first_of(" \t") != std::string::npos; }

void CheckEvent(const orv::EventLine& event) {
  if (HasBlank(event.verb)) std::abort();
  for (const std::string& word : event.args)
    if (word.empty() || HasBlank(word) || event.rest.find(word) == std::string::npos) std::abort();
  if (event.rest.empty() && !event.args.empty()) std::abort();
}

bool Same(const orv::EventLine& a, const orv::EventLine& b) {
  return a.verb == b.verb && a.args == b.args && a.rest == b.rest && a.lineNumber == b.lineNumber;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const size_t lines = std::count(text.begin(), text.end(), '\n') + 1;

  orv::EventScript script(std::make_unique<std::istringstream>(text));
  int lastLine = 0;
  for (bool peek = false;; peek = !peek) {
    std::optional<orv::EventLine> peeked;
    if (peek)
      if (const orv::EventLine* next = script.Peek()) peeked = *next;
    const std::optional<orv::EventLine> event = script.Next();
    if (peek && (peeked.has_value() != event.has_value() || (event && !Same(*peeked, *event)))) std::abort();
    if (!event) break;
    if (event->verb.empty() || event->verb[0] == '#' || event->lineNumber <= lastLine ||
        size_t(event->lineNumber) > lines)
      std::abort();
    CheckEvent(*event);
    lastLine = event->lineNumber;
  }
  if (script.Next() || script.Peek()) std::abort();

  std::istringstream each(text);
  int lineNumber = 0;
  for (std::string line; std::getline(each, line);) CheckEvent(orv::ParseEventLine(line, ++lineNumber));
  return 0;
}

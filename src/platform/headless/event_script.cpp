#include "platform/headless/event_script.h"

#include <cctype>
#include <sstream>
#include <string_view>
#include <utility>

namespace orv {

EventLine ParseEventLine(const std::string& line, int lineNumber) {
  EventLine event;
  event.lineNumber = lineNumber;
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return event;  // a blank line: no verb
  size_t verbEnd = line.find_first_of(" \t", start);
  event.verb = line.substr(start, verbEnd == std::string::npos ? std::string::npos : verbEnd - start);
  if (verbEnd != std::string::npos) {
    size_t restStart = line.find_first_not_of(" \t", verbEnd);
    if (restStart != std::string::npos) event.rest = line.substr(restStart);
  }
  std::istringstream words(event.rest);
  for (std::string word; words >> word;) event.args.push_back(word);
  return event;
}

EventScript::EventScript(std::unique_ptr<std::istream> owned) : owned_(std::move(owned)), in_(owned_.get()) {}
EventScript::EventScript(std::istream& borrowed) : in_(&borrowed) {}

bool EventScript::Fill() {
  if (peeked_) return true;
  std::string line;
  while (std::getline(*in_, line)) {
    ++lineNumber_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    peeked_ = ParseEventLine(line, lineNumber_);
    return true;
  }
  return false;
}

std::optional<EventLine> EventScript::Next() {
  if (!Fill()) return std::nullopt;
  std::optional<EventLine> event = std::move(peeked_);
  peeked_.reset();
  return event;
}

const EventLine* EventScript::Peek() { return Fill() ? &*peeked_ : nullptr; }

std::optional<KeyPress> KeyPressByName(const std::string& name) {
  static constexpr std::pair<std::string_view, KeyCode> kKeys[] = {
      {"enter", KeyCode::Enter},         {"up", KeyCode::Up},
      {"down", KeyCode::Down},           {"left", KeyCode::Left},
      {"right", KeyCode::Right},         {"escape", KeyCode::Escape},
      {"space", KeyCode::Space},         {"f12", KeyCode::F12},
      {"backspace", KeyCode::Backspace}, {"pageup", KeyCode::PageUp},
      {"pagedown", KeyCode::PageDown}};
  for (const auto& [keyName, code] : kKeys)
    if (name == keyName) return KeyPress{code, 0};
  if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])))
    return KeyPress{KeyCode::Letter, char(std::toupper(static_cast<unsigned char>(name[0])))};
  return std::nullopt;
}

}  // namespace orv

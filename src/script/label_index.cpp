#include "script/label_index.h"

namespace orv {

namespace {
constexpr size_t kMaxLineBytes = 255;
}  // namespace

size_t ReadScenarioLine(const std::string& text, size_t pos, std::string& line) {
  line.clear();
  while (pos < text.size() && text[pos] != '\0') {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return pos + 2;
    if (line.size() < kMaxLineBytes) line += text[pos];
    ++pos;
  }
  return pos;
}

void LabelIndex::Build(const std::string& text) {
  next_.clear();
  std::string line;
  for (size_t pos = 0; pos < text.size() && text[pos] != '\0';) {
    pos = ReadScenarioLine(text, pos, line);
    if (!line.empty() && line[0] == '*') next_.try_emplace(line, int32_t(pos));
  }
}

std::optional<int32_t> LabelIndex::Find(std::string_view label) const {
  auto it = next_.find(std::string(label));
  if (it == next_.end()) return std::nullopt;
  return it->second;
}

}  // namespace orv

#pragma once
// Where each label of a scenario stands, so that a jump costs the same however far the label
// is. A jump goes to the first line that is the label exactly, as a scan from the top would
// find it; lines are split and cut as the interpreter reads them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orv {

// The line that starts at `pos` into `line` (cut at the reader's 255 bytes; the rest of the
// line skipped), ending at CR LF, a zero byte or the end of the text. Returns the offset of the
// next line.
size_t ReadScenarioLine(const std::string& text, size_t pos, std::string& line);

class LabelIndex {
 public:
  // Indexes every line that starts with '*'.
  void Build(const std::string& text);
  // The offset just after the label's first line, or nothing when no line is the label.
  std::optional<int32_t> Find(std::string_view label) const;

 private:
  std::unordered_map<std::string, int32_t> next_;
};

}  // namespace orv

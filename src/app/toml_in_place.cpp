#include "app/toml_in_place.h"

#include <algorithm>
#include <toml++/toml.h>

namespace orv {

namespace {

// Byte offset of the start of 1-based line `line`; the text's end when there is no such line.
size_t LineStart(std::string_view text, uint32_t line) {
  size_t at = 0;
  for (uint32_t n = 1; n < line; ++n) {
    const size_t end = text.find('\n', at);
    if (end == std::string_view::npos) return text.size();
    at = end + 1;
  }
  return at;
}

// Byte offset of a place the parser reports: its columns count code points, not bytes.
size_t Offset(std::string_view text, const toml::source_position& position) {
  size_t at = LineStart(text, position.line);
  for (uint32_t column = 1; column < position.column && at < text.size() && text[at] != '\n'; ++column) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return at;
}

std::string_view LineEnding(std::string_view text) {
  return text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
}

// The byte after the end of 1-based line `line` (its line break included).
size_t AfterLine(std::string_view text, uint32_t line) {
  const size_t end = text.find('\n', LineStart(text, line));
  return end == std::string_view::npos ? text.size() : end + 1;
}

}  // namespace

std::optional<std::string> SetTomlValue(std::string_view text, std::string_view section, std::string_view key,
                                        std::string_view valueText) {
  toml::table root;
  try {
    root = toml::parse(text);
  } catch (const toml::parse_error&) {
    return std::nullopt;
  }
  std::string out(text);
  const std::string_view newline = LineEnding(text);
  const std::string line = std::string(key) + " = " + std::string(valueText);
  toml::node* place = root.get(section);
  if (place == nullptr) {
    if (!out.empty() && out.back() != '\n') out += newline;
    if (!out.empty()) out += newline;
    out += "[" + std::string(section) + "]" + std::string(newline) + line + std::string(newline);
    return out;
  }
  toml::table* table = place->as_table();
  if (table == nullptr) return std::nullopt;
  if (toml::node* value = table->get(key)) {
    const size_t begin = Offset(text, value->source().begin), end = Offset(text, value->source().end);
    if (end < begin || end > text.size()) return std::nullopt;
    out.replace(begin, end - begin, valueText);
    return out;
  }
  if (table->is_inline()) return std::nullopt;
  // A section of its own header: the new key goes after its last key, or under the header.
  const uint32_t header = table->source().begin.line;
  const size_t headerAt = LineStart(text, header);
  const size_t firstMark = text.find_first_not_of(" \t", headerAt);
  if (header == 0 || firstMark == std::string_view::npos || text[firstMark] != '[' ||
      text.substr(firstMark, 2) == "[[")
    return std::nullopt;
  uint32_t last = header;
  for (const auto& [name, child] : *table) {
    // Tables under this one stand after it with headers of their own.
    if (child.is_table() && !child.as_table()->is_inline()) continue;
    last = std::max(last, child.source().end.line);
  }
  size_t at = AfterLine(text, last);
  std::string insert = line + std::string(newline);
  if (at == text.size() && !text.empty() && text.back() != '\n') insert = std::string(newline) + insert;
  out.insert(at, insert);
  return out;
}

}  // namespace orv

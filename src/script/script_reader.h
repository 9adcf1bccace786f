#pragma once
// The one tokenizer every piece of script syntax is read with. It works on bytes: a Shift-JIS
// trail byte equal to a delimiter ends a token like any other byte.
#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

class ScriptReader {
 public:
  // Borrows `text` (zero-terminated or not); reading stops at its end or its first zero byte.
  void SetSource(std::string_view text);
  void SetDelimiters(std::string_view set) { delimiters_ = set; }
  const std::string& delimiters() const { return delimiters_; }

  // Reads up to a delimiter; returns that delimiter, or 0 when the source ended (from then on
  // every read returns 0 with an empty token until SetSource) or maxBytes bytes were taken.
  // With dropBlanks, spaces and tabs are dropped wherever they stand and never end a token.
  char ReadToken(std::string& out, int maxBytes = 256, bool dropBlanks = true);
  // A file name in double quotes; blanks inside are dropped.
  std::string ReadFileNameArgument();

  bool AtEnd() const { return ended_; }
  // The unread rest of the current source.
  std::string_view Rest() const { return ended_ ? std::string_view() : source_.substr(cursor_); }

 private:
  std::string_view source_;
  size_t cursor_ = 0;
  bool ended_ = true;
  std::string delimiters_;
};

// Bit set describing the character that starts at `text` (three bytes looked at; missing
// bytes count as 0). Any non-zero result means a two-byte character.
int ClassifyCharacter(std::string_view text);
// Bytes in the character starting at `text`: 2 when ClassifyCharacter is non-zero (and a
// second byte exists), else 1.
size_t CharacterLength(std::string_view text);

// atoi as the runtime does it: blanks skipped, one optional sign, digits up to the first
// non-digit; no digits give 0; overflow wraps instead of being undefined.
int32_t AtoiWrapping(std::string_view text);

}  // namespace orv

#pragma once
// Shift-JIS (code page 932) conversions. Game text stays as Shift-JIS bytes everywhere; it is
// decoded only where it meets the outside: drawing, dialogs, terminal output, JSON dumps.
#include <string>
#include <string_view>

namespace orv {

// Undecodable bytes become U+FFFD; decoding never fails.
std::u32string DecodeCp932(std::string_view sjis);
std::string Cp932ToUtf8(std::string_view sjis);
// Characters without a code page 932 form become "?".
std::string Utf8ToCp932(std::string_view utf8);

// UTF-8 and code points, for the backends' own texts. A broken sequence decodes as U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);
std::string EncodeUtf8(std::u32string_view text);

// Without the blanks around it (spaces, tabs, line breaks, ideographic spaces): what is left
// of a game's line to say or to send; empty for a line of blanks alone.
std::string_view TrimmedText(std::string_view utf8);

// A UTF-8 literal of our own sources as the Shift-JIS the game shows.
inline std::string Sj(std::string_view utf8) { return Utf8ToCp932(utf8); }

}  // namespace orv

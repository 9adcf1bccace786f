#pragma once
// The house rule that the game layers reach the world only through the platform, checked over
// their sources: no clock, files, environment, console, randomness or processes of their own,
// no POSIX headers, and no process-wide statics hidden inside functions. A light scanner, not a
// compiler: comments and literals are blanked first, so words in them never count.
#include <string>
#include <string_view>
#include <vector>

namespace orv::rules {

struct Offence {
  int line = 0;  // 1-based
  std::string what;
};

// The text with comments and the insides of string and character literals blanked out; every
// newline stays, so line numbers do too.
std::string CodeOnly(std::string_view source);

std::vector<Offence> FindForbiddenCalls(std::string_view source);

}  // namespace orv::rules

#pragma once
// The house rule that the game layers reach the world only through the platform, checked over
// their sources: no clock, local time, sleeps, file changes, files, environment, console,
// randomness, processes or process exits of their own, no POSIX headers, and no process-wide
// state: no static or global that is not a constant, in any namespace or function. A light scanner, not a
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

// Only the statics and globals that are not constants: the rule every layer keeps, the
// platform and app included, so that two players can live in one process.
std::vector<Offence> FindProcessWideState(std::string_view source);

// What each rule says when it fires (an Offence's `what`), one entry a rule.
std::vector<std::string> RuleDescriptions();

}  // namespace orv::rules

#include "rules/forbidden_calls.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace orv::rules {
namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Where the word or number that ends just before `at` starts.
size_t TokenStart(std::string_view s, size_t at) {
  while (at > 0 && (IsWordChar(s[at - 1]) || s[at - 1] == '.')) --at;
  return at;
}

bool StartsRawString(std::string_view s, size_t quote) {
  const size_t start = TokenStart(s, quote);
  const std::string_view prefix = s.substr(start, quote - start);
  return prefix == "R" || prefix == "u8R" || prefix == "uR" || prefix == "UR" || prefix == "LR";
}

// 1'000'000: a quote inside a number is no character literal.
bool IsDigitSeparator(std::string_view s, size_t quote) {
  const size_t start = TokenStart(s, quote);
  return start < quote && std::isdigit(static_cast<unsigned char>(s[start]));
}

}  // namespace

std::string CodeOnly(std::string_view s) {
  std::string out(s);
  auto blank = [&](size_t at) {
    if (out[at] != '\n') out[at] = ' ';
  };
  auto blankRange = [&](size_t from, size_t to) {
    for (size_t at = from; at < to && at < s.size(); ++at) blank(at);
  };
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    if (c == '/' && next == '/') {
      const size_t end = std::min(s.find('\n', i), s.size());
      blankRange(i, end);
      i = end;
    } else if (c == '/' && next == '*') {
      const size_t close = s.find("*/", i + 2);
      const size_t end = close == std::string_view::npos ? s.size() : close + 2;
      blankRange(i, end);
      i = end;
    } else if (c == '"' && StartsRawString(s, i)) {
      const size_t open = s.find('(', i);
      const std::string_view delimiter = s.substr(i + 1, open == std::string_view::npos ? 0 : open - i - 1);
      const std::string terminator = ")" + std::string(delimiter) + "\"";
      const size_t close = open == std::string_view::npos ? open : s.find(terminator, open);
      const size_t end = close == std::string_view::npos ? s.size() : close + terminator.size();
      blankRange(i + 1, end - 1);
      i = end;
    } else if (c == '"' || (c == '\'' && !IsDigitSeparator(s, i))) {
      size_t at = i + 1;
      while (at < s.size() && s[at] != c && s[at] != '\n') {
        if (s[at] == '\\' && at + 1 < s.size()) blank(at++);
        blank(at++);
      }
      i = at < s.size() && s[at] == c ? at + 1 : at;
    } else {
      ++i;
    }
  }
  return out;
}

namespace {

struct LineRule {
  std::regex pattern;
  const char* what;
};

// A free call of `names`, as `name(`, `std::name(` or `::name(`, but not a member's `x.name(`.
std::string FreeCall(const std::string& names) {
  return R"((^|[^\w.>:])(std::|::)?()" + names + R"()\s*\()";
}

const std::vector<LineRule>& LineRules() {
  // Built once for the test program's sake; the scanned code may not do this.
  static const std::vector<LineRule> rules = {
      {std::regex(FreeCall("time")), "time( reads the system clock: ask the platform's Clock"},
      {std::regex(R"(\b(system_clock|steady_clock|high_resolution_clock)\b)"),
       "a std::chrono clock: ask the platform's Clock"},
      {std::regex(FreeCall("fopen|freopen")), "fopen: files go through GameFolder"},
      {std::regex(R"(\bstd::(basic_)?[io]?fstream\b|\bstd::filebuf\b)"), "a file stream: files go through GameFolder"},
      {std::regex(FreeCall("v?printf|puts|perror")), "console output"},
      {std::regex(R"(\b(stderr|stdout)\b)"), "writes to stderr or stdout"},
      {std::regex(R"(\b(std::)?w?(cerr|cout|clog)\b)"), "std::cerr, std::cout or std::clog"},
      {std::regex(FreeCall("(secure_)?getenv")), "getenv: the environment is the platform's"},
      {std::regex(R"(^\s*#\s*include\s*<(unistd\.h|fcntl\.h|sys/[^>]*|dirent\.h|spawn\.h|pthread\.h|dlfcn\.h|poll\.h|)"
                  R"(termios\.h|signal\.h|windows\.h|io\.h)>)"),
       "a POSIX or system header"},
      {std::regex(FreeCall("s?rand")), "std::rand or srand"},
      {std::regex(FreeCall("system|popen")), "starts a process"},
  };
  return rules;
}

enum class Scope { Namespace, Class, Function, Initializer };

bool Contains(const std::string& text, const char* pattern) { return std::regex_search(text, std::regex(pattern)); }

// What a brace opens, from the code since the last ; { or } before it.
Scope ScopeOpenedBy(const std::string& head, bool inFunction, Scope innermost) {
  if (innermost == Scope::Initializer) return Scope::Initializer;
  const bool parens = head.find_first_of("()]") != std::string::npos;
  if (Contains(head, R"(\b(class|struct|union|enum)\b)") && !parens) return Scope::Class;
  if (inFunction) return Scope::Function;
  if (Contains(head, R"(\b(namespace|extern)\b)")) return Scope::Namespace;
  return parens ? Scope::Function : Scope::Initializer;
}

// A `static` is process-wide state unless it is a constant, or a function (at namespace or
// class scope, where a parenthesis before the body or the end says so).
bool IsMutableStatic(std::string_view code, size_t at, Scope innermost) {
  if (innermost == Scope::Initializer) return false;
  const size_t end = code.find_first_of(";={", at);
  const std::string declaration(code.substr(at, end == std::string_view::npos ? code.size() - at : end - at));
  if (Contains(declaration, R"(\b(const|constexpr)\b)")) return false;
  if (innermost == Scope::Function) return true;
  return declaration.find('(') == std::string::npos;
}

void FindMutableStatics(std::string_view code, std::vector<Offence>& offences) {
  std::vector<Scope> scopes;
  std::string head;
  int line = 1;
  bool lineStart = true;
  for (size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '\n') {
      ++line;
      lineStart = true;
      head += ' ';
      continue;
    }
    if (lineStart && c == '#') {  // a preprocessor line, with its continuations
      while (i + 1 < code.size() && !(code[i + 1] == '\n' && code[i] != '\\')) {
        ++i;
        if (code[i] == '\n') ++line;
      }
      continue;
    }
    if (!std::isspace(static_cast<unsigned char>(c))) lineStart = false;
    const Scope innermost = scopes.empty() ? Scope::Namespace : scopes.back();
    if (c == '{') {
      const bool inFunction = std::find(scopes.begin(), scopes.end(), Scope::Function) != scopes.end();
      scopes.push_back(ScopeOpenedBy(head, inFunction, innermost));
      head.clear();
    } else if (c == '}') {
      if (!scopes.empty()) scopes.pop_back();
      head.clear();
    } else if (c == ';') {
      head.clear();
    } else {
      head += c;
      const bool wordStart = i == 0 || !IsWordChar(code[i - 1]);
      if (wordStart && code.substr(i, 6) == "static" && (i + 6 >= code.size() || !IsWordChar(code[i + 6])) &&
          IsMutableStatic(code, i, innermost))
        offences.push_back({line, "a process-wide static that is not a constant"});
    }
  }
}

}  // namespace

std::vector<Offence> FindForbiddenCalls(std::string_view source) {
  const std::string code = CodeOnly(source);
  std::vector<Offence> offences;
  int line = 1;
  size_t start = 0;
  while (start <= code.size()) {
    const size_t end = std::min(code.find('\n', start), code.size());
    const std::string text = code.substr(start, end - start);
    for (const LineRule& rule : LineRules())
      if (std::regex_search(text, rule.pattern)) offences.push_back({line, rule.what});
    ++line;
    start = end + 1;
  }
  FindMutableStatics(code, offences);
  std::stable_sort(offences.begin(), offences.end(), [](const Offence& a, const Offence& b) { return a.line < b.line; });
  return offences;
}

}  // namespace orv::rules

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
      // The platform's write folder makes every change to the disk atomic and keeps it inside
      // the game's folders; a layer that changes files itself gets neither.
      {std::regex(R"(\b(std::)?(filesystem|fs)::(remove|remove_all|rename|create_directory|create_directories|)"
                  R"(create_symlink|create_directory_symlink|create_hard_link|copy|copy_file|copy_symlink|)"
                  R"(resize_file|permissions)\s*\()"),
       "a std::filesystem change: files change through the platform's write folder"},
      {std::regex(FreeCall("rename|renameat|unlink|unlinkat|rmdir|mkdir|mkstemp|tmpfile|tmpnam")),
       "changes the file system: files change through the platform's write folder"},
      // C's remove(path) takes one argument; the algorithm std::remove(first, last, value) three.
      {std::regex(FreeCall("remove") + R"([^,()]*(\([^()]*\)[^,()]*)*\))"),
       "remove(path) changes the file system: files change through the platform's write folder"},
      // A wait that the clock does not know about stalls the headless run's virtual time.
      {std::regex(R"(\b(sleep_for|sleep_until)\b)"), "a thread sleep: wait through the platform's Clock"},
      {std::regex(FreeCall("sleep|usleep|nanosleep|clock_nanosleep|thrd_sleep|Sleep")),
       "a sleep: wait through the platform's Clock"},
      // --date sets the local time of a headless run; the C library's does not know it.
      {std::regex(FreeCall("(localtime|gmtime)(_r|_s)?|mktime|timegm|ctime|asctime|tzset")),
       "a C local-time function: ask the platform's Clock for the local time"},
      {std::regex(R"(\b(current_zone|locate_zone|zoned_time)\b)"),
       "a std::chrono time zone: ask the platform's Clock for the local time"},
      // Bad data never ends the process: the player reports it and goes on.
      {std::regex(FreeCall("exit|_Exit|_exit|quick_exit|abort|terminate")), "ends the process: return an error"},
  };
  return rules;
}

constexpr const char* kMutableStatic = "a process-wide static that is not a constant";
constexpr const char* kMutableGlobal = "a mutable global that is not a constant";

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

// Whether a declaration, up to its initializer, declares a constant: `constexpr`, or `const`
// that binds the variable itself (`const char* p` is a pointer that can be changed; `const
// char* const p` is not).
bool DeclaresConstant(const std::string& declaration) {
  if (Contains(declaration, R"(\bconstexpr\b)")) return true;
  // Pointers inside template arguments or parentheses (`std::map<int, void (*)()>`) belong to
  // another type; only the declarator's own say what `const` binds.
  std::string outer;
  int depth = 0;
  for (const char c : declaration) {
    if (c == '<' || c == '(' || c == '[') ++depth;
    if (depth == 0) outer += c;
    if ((c == '>' || c == ')' || c == ']') && depth > 0) --depth;
  }
  const size_t pointer = outer.find_last_of('*');
  return Contains(pointer == std::string::npos ? outer : outer.substr(pointer), R"(\bconst\b)");
}

// The declaration that starts at `at`, up to its initializer or end.
std::string DeclarationAt(std::string_view code, size_t at) {
  const size_t end = code.find_first_of(";={", at);
  return std::string(code.substr(at, end == std::string_view::npos ? code.size() - at : end - at));
}

// A `static` or `thread_local` is process-wide state unless it is a constant, or a function
// (at namespace or class scope, where a parenthesis before the body or the end says so).
bool IsMutableStatic(std::string_view code, size_t at, Scope innermost) {
  if (innermost == Scope::Initializer) return false;
  const std::string declaration = DeclarationAt(code, at);
  if (DeclaresConstant(declaration)) return false;
  if (innermost == Scope::Function) return true;
  return declaration.find('(') == std::string::npos;
}

// A statement at namespace scope (anonymous namespaces included) that defines a variable that
// is not a constant. Functions, types, aliases, templates and `extern` declarations are not
// variables; a `static` one is left to IsMutableStatic. `Type name(arguments);` reads like a
// function declaration and is not caught.
bool IsMutableGlobal(const std::string& statement) {
  const std::string declarator = statement.substr(0, statement.find('='));
  if (declarator.find('(') != std::string::npos) return false;
  if (Contains(declarator, R"(\b(using|typedef|namespace|template|static_assert|friend|class|struct|union|enum|)"
                           R"(extern|operator|static|thread_local|concept|requires)\b)"))
    return false;
  // A type and a name at least: a lone word is a macro's leftover or a name after a class body.
  if (!Contains(declarator, R"(\w[\s*&>]+\w)")) return false;
  return !DeclaresConstant(declarator);
}

bool StartsKeyword(std::string_view code, size_t at, std::string_view keyword) {
  const size_t end = at + keyword.size();
  return (at == 0 || !IsWordChar(code[at - 1])) && code.substr(at, keyword.size()) == keyword &&
         (end >= code.size() || !IsWordChar(code[end]));
}

void FindMutableStatics(std::string_view code, std::vector<Offence>& offences) {
  std::vector<Scope> scopes;
  std::string head;          // the code since the last ; { or }
  int headLine = 0;          // where it starts
  bool staticFound = false;  // in the head
  int line = 1;
  bool lineStart = true;
  auto reportGlobal = [&] {
    if (IsMutableGlobal(head)) offences.push_back({headLine, kMutableGlobal});
  };
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
      const Scope opened = ScopeOpenedBy(head, inFunction, innermost);
      // `Type name{...}` and `Type name = {...}` at namespace scope: a variable's initializer.
      if (innermost == Scope::Namespace && opened != Scope::Namespace && opened != Scope::Class) reportGlobal();
      scopes.push_back(opened);
      head.clear();
      staticFound = false;
    } else if (c == '}') {
      if (!scopes.empty()) scopes.pop_back();
      head.clear();
      staticFound = false;
    } else if (c == ';') {
      if (innermost == Scope::Namespace) reportGlobal();
      head.clear();
      staticFound = false;
    } else {
      if (head.find_first_not_of(' ') == std::string::npos && !std::isspace(static_cast<unsigned char>(c)))
        headLine = line;
      head += c;
      if (!staticFound && (StartsKeyword(code, i, "static") || StartsKeyword(code, i, "thread_local")) &&
          IsMutableStatic(code, i, innermost)) {
        offences.push_back({line, kMutableStatic});
        staticFound = true;  // `static thread_local` is one offence
      }
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

std::vector<Offence> FindProcessWideState(std::string_view source) {
  std::vector<Offence> offences;
  FindMutableStatics(CodeOnly(source), offences);
  return offences;
}

std::vector<std::string> RuleDescriptions() {
  std::vector<std::string> descriptions;
  for (const LineRule& rule : LineRules()) descriptions.emplace_back(rule.what);
  descriptions.emplace_back(kMutableStatic);
  descriptions.emplace_back(kMutableGlobal);
  return descriptions;
}

}  // namespace orv::rules

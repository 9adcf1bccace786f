#include "rules/forbidden_calls.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace orv::rules {
namespace {

namespace fs = std::filesystem;

std::vector<int> LinesOf(std::string_view source) {
  std::vector<int> lines;
  for (const Offence& offence : FindForbiddenCalls(source)) lines.push_back(offence.line);
  return lines;
}

TEST(ForbiddenCalls, FindsEachKindOnItsLine) {
  const char* source =
      "#include <unistd.h>\n"                              // 1
      "#include <sys/stat.h>\n"                            // 2
      "int a = std::time(nullptr);\n"                      // 3
      "FILE* f = fopen(\"x\", \"r\");\n"                   // 4
      "void g() { std::fprintf(stderr, \"%d\", 1); }\n"    // 5
      "void h() { printf(\"hi\"); }\n"                     // 6
      "void i() { std::cerr << 1; }\n"                     // 7
      "const char* e = std::getenv(\"HOME\");\n"           // 8
      "int r = std::rand();\n"                             // 9
      "void j() { srand(1); ::system(\"ls\"); }\n"         // 10 (twice)
      "FILE* p = popen(\"ls\", \"r\");\n"                  // 11
      "auto t = std::chrono::steady_clock::now();\n"       // 12
      "std::ifstream in(\"x\");\n";                        // 13
  EXPECT_EQ(LinesOf(source), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 11, 12, 13}));
}

TEST(ForbiddenCalls, LookalikesCommentsAndLiteralsDoNotCount) {
  const char* source =
      "#include <cstdio>\n"
      "// fopen(\"x\") in a comment, std::time(nullptr)\n"
      "/* printf(\"a\");\n"
      "   getenv(\"b\"); */\n"
      "const char* s = \"system(\\\"ls\\\") and std::cerr\";\n"
      "const char* raw = R\"x(popen(\"y\") \")x\";\n"
      "char c = '\\''; int big = 1'000; char q = '\"';\n"
      "void f(Clock& clock) { clock.time(); snprintf(buf, 4, \"%d\", 1); other::rand(); }\n"
      "std::filesystem::path p;\n";
  EXPECT_EQ(LinesOf(source), std::vector<int>{});
}

TEST(ForbiddenCalls, StaticsThatHoldStateAcrossThePlayer) {
  const char* source =
      "namespace orv {\n"                                          // 1
      "namespace {\n"                                              // 2
      "static int counter = 0;\n"                                  // 3: process-wide
      "static constexpr int kLimit = 4;\n"                         // 4
      "static int Twice(int x) { return 2 * x; }\n"                // 5
      "}  // namespace\n"                                          // 6
      "class Cache {\n"                                            // 7
      " public:\n"                                                 // 8
      "  static Cache Make(int size);\n"                           // 9
      "  static inline int created = 0;\n"                         // 10: process-wide
      "  static const int kMax = 3;\n"                             // 11
      "};\n"                                                       // 12
      "int Next(int x) {\n"                                        // 13
      "  static const char kDigits[] = \"0123\";\n"                // 14
      "  static std::set<std::string> reported;\n"                 // 15: process-wide
      "  if (x > 0) {\n"                                           // 16
      "    static\n"                                               // 17: process-wide
      "      int last = x;\n"                                      // 18
      "  }\n"                                                      // 19
      "  auto f = [] { static int calls; return ++calls; };\n"     // 20: process-wide
      "  return static_cast<int>(kDigits[0]);\n"                   // 21
      "}\n"                                                        // 22
      "#define LOCAL_STATIC(x) static int x\n"                     // 23: a macro is not code yet
      "Cache::Cache(int size) : size_{size} {\n"                   // 24
      "}\n"                                                        // 25
      "}  // namespace orv\n";
  EXPECT_EQ(LinesOf(source), (std::vector<int>{3, 10, 15, 17, 20}));
}

// The house rule itself: the game layers reach the world only through the platform.
TEST(GameLayers, ReachTheWorldOnlyThroughThePlatform) {
  const fs::path sourceRoot = fs::path(ORVANE_SOURCE_DIR);
  std::ostringstream report;
  int count = 0;
  int files = 0;
  for (const char* layer : {"script", "logic", "choice", "graphics", "sound", "persist"}) {
    const fs::path folder = sourceRoot / "src" / layer;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) continue;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string extension = it->path().extension().string();
      if (extension != ".cpp" && extension != ".h") continue;
      std::ifstream in(it->path(), std::ios::binary);
      const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      ++files;
      for (const Offence& offence : FindForbiddenCalls(source)) {
        report << fs::relative(it->path(), sourceRoot).string() << ":" << offence.line << ": " << offence.what << "\n";
        ++count;
      }
    }
  }
  EXPECT_GT(files, 20) << "the game layers were not found under " << sourceRoot;
  EXPECT_EQ(count, 0) << report.str();
}

}  // namespace
}  // namespace orv::rules

#include "rules/forbidden_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace orv::rules {
namespace {

namespace fs = std::filesystem;

std::string LineOf(const std::string& source, int line) {
  std::istringstream in(source);
  std::string text;
  for (int at = 1; std::getline(in, text); ++at)
    if (at == line) return text;
  return "";
}

std::vector<int> LinesOf(std::string_view source) {
  std::vector<int> lines;
  for (const Offence& offence : FindForbiddenCalls(source)) lines.push_back(offence.line);
  return lines;
}

TEST(ForbiddenCalls, FindsEachKindOnItsLine) {
  const char* source =
      "#include <unistd.h>\n"                             // 1
      "#include <sys/stat.h>\n"                           // 2
      "void a() { std::time(nullptr); }\n"                // 3
      "void b() { fopen(\"x\", \"r\"); }\n"               // 4
      "void g() { std::fprintf(stderr, \"%d\", 1); }\n"   // 5
      "void h() { printf(\"hi\"); }\n"                    // 6
      "void i() { std::cerr << 1; }\n"                    // 7
      "void c() { std::getenv(\"HOME\"); }\n"             // 8
      "void d() { std::rand(); }\n"                       // 9
      "void j() { srand(1); ::system(\"ls\"); }\n"        // 10 (twice)
      "void k() { popen(\"ls\", \"r\"); }\n"              // 11
      "void l() { std::chrono::steady_clock::now(); }\n"  // 12
      "void m() { std::ifstream in(\"x\"); }\n";          // 13
  EXPECT_EQ(LinesOf(source), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 11, 12, 13}));
}

TEST(ForbiddenCalls, LookalikesCommentsAndLiteralsDoNotCount) {
  const char* source =
      "#include <cstdio>\n"
      "void f() {\n"
      "// fopen(\"x\") in a comment, std::time(nullptr)\n"
      "/* printf(\"a\");\n"
      "   getenv(\"b\"); */\n"
      "const char* s = \"system(\\\"ls\\\") and std::cerr\";\n"
      "const char* raw = R\"x(popen(\"y\") \")x\";\n"
      "char c = '\\''; int big = 1'000; char q = '\"';\n"
      "void f(Clock& clock) { clock.time(); snprintf(buf, 4, \"%d\", 1); other::rand(); }\n"
      "std::filesystem::path p;\n"
      "}\n";
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
      "void Table() {\n"                                           // 26
      "  static const std::map<int, void (*)()> kActions = {};\n"  // 27
      "  static const char* kNames[] = {\"a\"};\n"                 // 28: the pointers can change
      "}\n"                                                        // 29
      "}  // namespace orv\n";
  EXPECT_EQ(LinesOf(source), (std::vector<int>{3, 10, 15, 17, 20, 28}));
}

TEST(ForbiddenCalls, FileChangesSleepsLocalTimeAndExits) {
  const char* source =
      "void f(const fs::path& p) {\n"                                   // 1
      "  std::filesystem::remove(p);\n"                                 // 2
      "  fs::create_directories(p);\n"                                  // 3
      "  fs::rename(p, p);\n"                                           // 4
      "  ::unlink(\"x\");\n"                                            // 5
      "  std::rename(\"a\", \"b\");\n"                                  // 6
      "  std::remove(p.c_str());\n"                                     // 7
      "  std::this_thread::sleep_for(std::chrono::milliseconds(5));\n"  // 8
      "  usleep(100);\n"                                                // 9
      "  std::tm* t = std::localtime(&now);\n"                          // 10
      "  mktime(t);\n"                                                  // 11
      "  localtime_r(&now, &tm);\n"                                     // 12
      "  auto zone = std::chrono::current_zone();\n"                    // 13
      "  if (bad) std::exit(1);\n"                                      // 14
      "  abort();\n"                                                    // 15
      "  std::quick_exit(2);\n"                                         // 16
      "}\n";
  EXPECT_EQ(LinesOf(source), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
}

TEST(ForbiddenCalls, NamesThatOnlyLookLikeTheWorldDoNotCount) {
  const char* source =
      "void f(std::vector<int>& v, Folder& folder, Clock& clock) {\n"
      "  v.erase(std::remove(v.begin(), v.end(), 0), v.end());\n"
      "  v.erase(std::remove_if(v.begin(), v.end(), Odd), v.end());\n"
      "  names.remove(\"a\"); folder.Rename(\"a\", \"b\"); folder.Remove(p);\n"
      "  clock.Sleep(10); clock.WaitMs(10); LocalTime now = clock.LocalNow();\n"
      "  if (std::filesystem::exists(p)) ExitGame(1);\n"
      "  int exit_code = OnExit(2); job->abort(); Terminate();\n"
      "}\n";
  EXPECT_EQ(LinesOf(source), std::vector<int>{});
}

TEST(ForbiddenCalls, GlobalsThatHoldStateAcrossThePlayer) {
  const char* source =
      "namespace orv {\n"                                                         // 1
      "int frames = 0;\n"                                                         // 2: mutable
      "namespace {\n"                                                             // 3
      "std::vector<std::string> seen;\n"                                          // 4: mutable
      "const char* kLastName = \"a\";\n"                                          // 5: the pointer can change
      "const char* const kName = \"a\";\n"                                        // 6
      "constexpr int kTable[] = {1, 2};\n"                                        // 7
      "int counts[] = {1, 2};\n"                                                  // 8: mutable
      "Cache cache{4};\n"                                                         // 9: mutable
      "auto twice = [](int x) { return 2 * x; };\n"                               // 10: mutable
      "const std::map<int, int> kMap = {{1, 2}};\n"                               // 11
      "thread_local int depth;\n"                                                 // 12: per thread, still shared
      "}  // namespace\n"                                                         // 13
      "using Table = std::vector<int>;\n"                                         // 14
      "namespace fs = std::filesystem;\n"                                         // 15
      "class Player;\n"                                                           // 16
      "extern const int kLimit;\n"                                                // 17
      "int Twice(int x = 2);\n"                                                   // 18
      "template <typename T = int>\n"                                             // 19
      "T Zero() { T value = T(); return value; }\n"                               // 20
      "struct Point { int x = 0; int y = 0; };\n"                                 // 21
      "bool operator==(const Point& a, const Point& b) { return a.x == b.x; }\n"  // 22
      "std::atomic<int>\n"                                                        // 23: mutable, from its start
      "    opened{0};\n"                                                          // 24
      "}  // namespace orv\n";
  EXPECT_EQ(LinesOf(source), (std::vector<int>{2, 4, 5, 8, 9, 10, 12, 23}));
}

// Each rule, planted once on its own: it fires, alone, and every rule has its plant.
TEST(ForbiddenCalls, EveryRuleFiresOnAPlantedViolation) {
  const std::vector<std::string> plants = {
      "void f() { time(nullptr); }",
      "void f() { auto t = std::chrono::system_clock::now(); }",
      "void f() { std::fopen(\"x\", \"r\"); }",
      "void f() { std::ofstream out(\"x\"); }",
      "void f() { puts(\"x\"); }",
      "void f() { fputs(\"x\", stdout); }",
      "void f() { std::clog << 1; }",
      "void f() { getenv(\"HOME\"); }",
      "#include <dirent.h>",
      "void f() { rand(); }",
      "void f() { std::system(\"ls\"); }",
      "void f(const fs::path& p) { std::filesystem::remove_all(p); }",
      "void f() { mkdir(\"x\", 0755); }",
      "void f() { remove(\"save.dat\"); }",
      "void f() { std::this_thread::sleep_until(deadline); }",
      "void f() { nanosleep(&ts, nullptr); }",
      "void f() { gmtime(&now); }",
      "void f() { std::chrono::zoned_time now{}; }",
      "void f() { std::abort(); }",
      "void f() { static int calls; }",
      "int calls = 0;",
  };
  std::set<std::string> fired;
  for (const std::string& plant : plants) {
    const std::vector<Offence> offences = FindForbiddenCalls(plant);
    ASSERT_EQ(offences.size(), 1u) << plant;
    fired.insert(offences[0].what);
  }
  const std::vector<std::string> rules = RuleDescriptions();
  EXPECT_EQ(fired, std::set<std::string>(rules.begin(), rules.end()));
}

// A process-wide object a library forces on us, known by its file and a piece of its line.
struct Allowed {
  const char* file;
  const char* code;
};

// What `find` reports over the sources of `folders` under src/, a line per offence, leaving
// out the offences `allowed` names.
template <typename Find>
std::string OffencesIn(std::initializer_list<const char*> folders, Find find, int& files,
                       const std::vector<Allowed>& allowed = {}) {
  const fs::path sourceRoot = fs::path(ORVANE_SOURCE_DIR);
  std::ostringstream report;
  for (const char* layer : folders) {
    const fs::path folder = sourceRoot / "src" / layer;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) continue;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string extension = it->path().extension().string();
      if (extension != ".cpp" && extension != ".h") continue;
      std::ifstream in(it->path(), std::ios::binary);
      const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const std::string name = fs::relative(it->path(), sourceRoot).generic_string();
      ++files;
      for (const Offence& offence : find(source)) {
        const std::string line = LineOf(source, offence.line);
        const bool isAllowed = std::any_of(allowed.begin(), allowed.end(), [&](const Allowed& a) {
          return name == a.file && line.find(a.code) != std::string::npos;
        });
        if (!isAllowed) report << name << ":" << offence.line << ": " << offence.what << "\n";
      }
    }
  }
  return report.str();
}

// The house rules themselves: the game layers reach the world only through the platform...
TEST(GameLayers, ReachTheWorldOnlyThroughThePlatform) {
  int files = 0;
  const std::string report =
      OffencesIn({"script", "logic", "choice", "graphics", "sound", "persist"}, FindForbiddenCalls, files);
  EXPECT_GT(files, 20) << "the game layers were not found under " << ORVANE_SOURCE_DIR;
  EXPECT_EQ(report, "");
}

// ...and no layer keeps process-wide state, the platform and the player included.
TEST(AllLayers, KeepNoProcessWideState) {
  int files = 0;
  // Each of these serves a C library that keeps process-wide state of its own or calls hooks
  // that take no context: they are the library's globals, made safe, not ours.
  const std::vector<Allowed> allowed = {
      {"src/platform/sjis_iconv.cpp", "thread_local Descriptor"},      // iconv descriptors, one per thread
      {"src/platform/audio/cue_sheet.cpp", "static std::mutex lock"},  // libcue parses in globals
      {"src/platform/sdl/library_logs.cpp", "g_verbose"},              // log hooks without user data
      {"src/platform/sdl/sdl_audio.cpp", "g_openAudio"},               // SDL_mixer's music-finished hook
  };
  const std::string report = OffencesIn({"app", "platform"}, FindProcessWideState, files, allowed);
  EXPECT_GT(files, 20) << "the player and platform were not found under " << ORVANE_SOURCE_DIR;
  EXPECT_EQ(report, "");
}

}  // namespace
}  // namespace orv::rules

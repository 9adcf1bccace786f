#include "support/test_support.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "app/command_line.h"
#include "app/headless_run.h"
#include "platform/sjis.h"

namespace orv::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("orvane-test-" + std::to_string(rd()));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
  }
  std::abort();
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void TempDir::Write(std::string_view name, std::string_view contents) const {
  fs::path target = path_ / fs::path(std::string(name));
  fs::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary);
  out.write(contents.data(), std::streamsize(contents.size()));
}

void TempDir::Write(std::string_view name, const Bytes& contents) const {
  Write(name, std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size()));
}

std::string TempDir::Read(std::string_view name) const {
  std::ifstream in(path_ / fs::path(std::string(name)), std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::string CrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

void WriteGame(const TempDir& dir, const GameSpec& game) {
  std::vector<std::string> def(game.speeds, game.speeds + 5);
  def.insert(def.end(), {game.scenarioFile, game.picturePackage, game.wavePackage, game.musicPackage});
  dir.Write("init.def", CrLf(def));
  std::vector<std::string> lines;
  for (const auto& line : game.scenario) lines.push_back(Sjis(line));
  dir.Write(game.scenarioFile, CrLf(lines));
}

namespace {
std::string ReadAllOf(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  return text;
}
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
}  // namespace

nlohmann::json ReadDump(const TempDir& dir, std::string_view name) {
  std::ifstream in(dir.path() / std::string(name));
  nlohmann::json dump = nlohmann::json::parse(in, nullptr, false);
  return dump.is_discarded() ? nlohmann::json() : dump;
}

std::vector<std::string> HeadlessResult::Lines() const { return SplitLines(out); }

std::vector<std::string> HeadlessResult::Messages() const {
  std::vector<std::string> messages;
  for (const auto& line : Lines())
    if (line.rfind("message: ", 0) == 0) messages.push_back(line.substr(9));
  return messages;
}

HeadlessResult RunHeadlessGame(const fs::path& dir, const std::vector<std::string>& events, int untilExit,
                               std::vector<std::string> extraArgs) {
  TempDir scratch;
  std::string eventText;
  for (const auto& e : events) eventText += e + "\n";
  scratch.Write("events.txt", eventText);
  std::vector<std::string> args = {"--headless", "--events", (scratch.path() / "events.txt").string()};
  if (untilExit > 0) {
    args.push_back("--until-exit");
    args.push_back(std::to_string(untilExit));
  }
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  args.push_back(dir.string());
  HeadlessResult result;
  Result<CommandLine> parsed = ParseCommandLine(args);
  if (!parsed) {
    result.exitCode = 2;
    result.err = parsed.error().message;
    return result;
  }
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  result.exitCode = RunHeadless(*parsed, out, err);
  result.out = ReadAllOf(out);
  result.err = ReadAllOf(err);
  std::fclose(out);
  std::fclose(err);
  return result;
}

}  // namespace orv::test

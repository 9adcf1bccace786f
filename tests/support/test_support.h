#pragma once
// Helpers shared by the test programs: temporary game folders and headless runs of the player.
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bytes.h"

namespace orv::test {

// A fresh empty folder, removed when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // Writes a file below the folder (folders created as needed).
  void Write(std::string_view name, std::string_view contents) const;
  void Write(std::string_view name, const Bytes& contents) const;
  std::string Read(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// Joins lines with CR LF, the line end of the kit's text files.
std::string CrLf(const std::vector<std::string>& lines);

// Converts UTF-8 test text to the Shift-JIS bytes games hold.
std::string Sjis(std::string_view utf8);

// A game folder for scenario tests: init.def with the given speeds and a plain-text scenario
// "story.txt" whose lines (UTF-8 here) are stored as Shift-JIS with CR LF ends.
struct GameSpec {
  std::vector<std::string> scenario;
  std::string speeds[5] = {"0", "0", "0", "0", "0"};
  std::string scenarioFile = "story.txt";
  std::string picturePackage = "pic.dat";
  std::string wavePackage = "wave.dat";
  std::string musicPackage = "music.dat";
};
void WriteGame(const TempDir& dir, const GameSpec& game);

struct HeadlessResult {
  int exitCode = 0;
  std::string out;  // the message:/question:/input:/caption: lines, UTF-8
  std::string err;
  std::vector<std::string> Lines() const;
  // Only the lines that start with "message: ", without that prefix.
  std::vector<std::string> Messages() const;
};
// A state dump the game wrote into the folder; null when it is missing or broken (the game
// may have ended before the dump).
nlohmann::json ReadDump(const TempDir& dir, std::string_view name);

// Runs the player headless in this process on `dir` with the given event lines.
HeadlessResult RunHeadlessGame(const std::filesystem::path& dir, const std::vector<std::string>& events,
                               int untilExit = 0, std::vector<std::string> extraArgs = {});

}  // namespace orv::test

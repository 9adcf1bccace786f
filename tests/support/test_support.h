#pragma once
// Helpers shared by the test programs: temporary game folders and headless runs of the player.
#include <filesystem>
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

}  // namespace orv::test

#include "platform/user_folders.h"

#include <cstdlib>

#include "platform/game_folder.h"

namespace orv {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> Home() {
  if (const char* home = std::getenv("HOME"); home && fs::path(home).is_absolute()) return fs::path(home);
  return std::nullopt;
}

// An empty or relative value is to be ignored, by the base-directory rules.
std::optional<fs::path> AbsoluteFromEnvironment(const char* name) {
  if (const char* value = std::getenv(name); value && fs::path(value).is_absolute()) return fs::path(value);
  return std::nullopt;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<fs::path> UserConfigHome() {
  if (auto xdg = AbsoluteFromEnvironment("XDG_CONFIG_HOME")) return xdg;
  if (auto home = Home()) return *home / ".config";
  return std::nullopt;
}

std::optional<fs::path> PicturesFolderInUserDirs(std::string_view text, const fs::path& home) {
  constexpr std::string_view kKey = "XDG_PICTURES_DIR=";
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.starts_with(kKey)) continue;
    std::string_view value = line.substr(kKey.size());
    // The file's own form is a double-quoted "$HOME/relative" or "/absolute" path.
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::nullopt;
    value = value.substr(1, value.size() - 2);
    if (value.starts_with("$HOME")) {
      std::string_view rest = value.substr(5);
      while (rest.starts_with('/')) rest.remove_prefix(1);
      // "$HOME/" alone means the desktop keeps no pictures folder of its own.
      if (rest.empty()) return std::nullopt;
      return home / fs::path(std::string(rest));
    }
    if (!value.starts_with('/')) return std::nullopt;
    return fs::path(std::string(value));
  }
  return std::nullopt;
}

std::optional<fs::path> UserPicturesFolder() {
  if (auto xdg = AbsoluteFromEnvironment("XDG_PICTURES_DIR")) return xdg;
  const std::optional<fs::path> home = Home();
  if (!home) return std::nullopt;
  if (auto config = UserConfigHome()) {
    if (auto text = ReadFileBytes(*config / "user-dirs.dirs", size_t{64} * 1024)) {
      const std::string_view view(reinterpret_cast<const char*>(text->data()), text->size());
      if (auto named = PicturesFolderInUserDirs(view, *home)) return named;
    }
  }
  return *home / "Pictures";
}

}  // namespace orv

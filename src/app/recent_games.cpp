#include "app/recent_games.h"

#include <toml++/toml.h>

#include <algorithm>
#include <system_error>

#include "platform/game_folder.h"
#include "platform/os.h"

namespace orv {

namespace fs = std::filesystem;

namespace {

constexpr size_t kLargestSettingsFile = size_t(1) << 20;
constexpr std::string_view kSection = "recent";

std::optional<toml::table> ParseToml(std::string_view text) {
  try {
    return toml::parse(text);
  } catch (const toml::parse_error&) {
    return std::nullopt;
  }
}

std::string_view Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

// The table a header line opens ("[a.b]", "[[a.b]]", spaces around the dots dropped), or
// nothing when the line is no header.
std::optional<std::string> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line[0] != '[') return std::nullopt;
  const bool arrayOfTables = line.size() > 1 && line[1] == '[';
  line.remove_prefix(arrayOfTables ? 2 : 1);
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  std::string name;
  for (char c : line.substr(0, close))
    if (c != ' ' && c != '\t' && c != '"' && c != '\'') name.push_back(c);
  return name;
}

bool IsRecentHeader(std::string_view name) {
  return name == kSection ||
         (name.size() > kSection.size() && name.starts_with(kSection) && name[kSection.size()] == '.');
}

// A TOML basic string holding the text exactly.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(char(c));
    } else if (c < 0x20 || c == 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\u00";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else {
      out.push_back(char(c));
    }
  }
  return out + "\"";
}

std::string Block(const std::vector<RecentGame>& games) {
  std::string block = "[recent]\ngames = [\n";
  for (const RecentGame& game : games)
    block += "  { folder = " + Quoted(game.folder) + ", caption = " + Quoted(game.caption) + " },\n";
  return block + "]\n";
}

std::string FolderName(const fs::path& folder) {
  const std::string name = folder.filename().string();
  return name.empty() ? folder.string() : name;
}

}  // namespace

RecentGames RecentGames::FromSettingsText(std::string_view text) {
  RecentGames recent;
  const std::optional<toml::table> root = ParseToml(text);
  if (!root) return recent;
  const toml::array* games = (*root)[kSection]["games"].as_array();
  if (!games) return recent;
  for (const toml::node& node : *games) {
    const toml::table* entry = node.as_table();
    if (!entry) continue;
    std::optional<std::string> folder = (*entry)["folder"].value<std::string>();
    if (!folder || folder->empty()) continue;
    recent.games_.push_back(RecentGame{*folder, (*entry)["caption"].value_or(std::string())});
    if (recent.games_.size() == kMaxGames) break;
  }
  return recent;
}

void RecentGames::Played(const fs::path& folder, std::string_view caption) {
  std::error_code ec;
  fs::path where = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (ec || where.empty()) where = fs::absolute(folder, ec).lexically_normal();
  if (!where.has_filename() && where.has_parent_path() && where != where.root_path()) where = where.parent_path();
  const std::string key = where.string();
  std::string kept = caption.empty() ? FolderName(where) : std::string(caption);
  const auto same = std::find_if(games_.begin(), games_.end(), [&](const RecentGame& g) { return g.folder == key; });
  if (same != games_.end()) {
    if (caption.empty() && !same->caption.empty()) kept = same->caption;
    games_.erase(same);
  }
  games_.insert(games_.begin(), RecentGame{key, std::move(kept)});
  if (games_.size() > kMaxGames) games_.resize(kMaxGames);
}

std::optional<std::string> RecentGames::WriteInto(std::string_view text) const {
  std::optional<toml::table> before = ParseToml(text);
  if (!before) return std::nullopt;
  // Line by line: blocks of the recent table go, the new block takes the first one's place.
  // Blank and comment lines at the end of the block belong to what follows it.
  std::string out, trailing;
  std::optional<size_t> blockAt;
  bool inRecent = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    end = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (const std::optional<std::string> header = HeaderName(line)) {
      out += trailing;
      trailing.clear();
      inRecent = IsRecentHeader(*header);
      if (inRecent && !blockAt) blockAt = out.size();
    }
    if (!inRecent) {
      out += line;
    } else if (const std::string_view bare = Trim(line); bare.empty() || bare[0] == '#') {
      trailing += line;
    } else {
      trailing.clear();
    }
  }
  out += trailing;
  if (!out.empty() && out.back() != '\n') out.push_back('\n');
  if (blockAt) {
    out.insert(*blockAt, Block(games_));
  } else {
    if (!out.empty()) out += "\n";
    out += Block(games_);
  }
  // Whatever the text held beside the list must read back as it did, and the list as this one.
  std::optional<toml::table> after = ParseToml(out);
  if (!after) return std::nullopt;
  before->erase(kSection);
  toml::table afterOthers = *after;
  afterOthers.erase(kSection);
  if (afterOthers != *before) return std::nullopt;
  const RecentGames readBack = FromSettingsText(out);
  if (readBack.games_.size() != games_.size()) return std::nullopt;
  for (size_t i = 0; i < games_.size(); ++i)
    if (readBack.games_[i].folder != games_[i].folder || readBack.games_[i].caption != games_[i].caption)
      return std::nullopt;
  return out;
}

namespace {
// The file a settings path names: the one a symbolic link points to, so that the link stays.
fs::path FileBehind(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_symlink(path, ec)) return path;
  fs::path target = fs::weakly_canonical(path, ec);
  return ec ? path : target;
}

std::optional<std::string> ReadText(const fs::path& file, bool& missing) {
  std::error_code ec;
  missing = !fs::exists(file, ec);
  if (missing) return std::string();
  std::optional<Bytes> bytes = ReadFileBytes(file, kLargestSettingsFile);
  if (!bytes) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}
}  // namespace

RecentGames LoadRecentGames(const fs::path& settingsFile) {
  bool missing = false;
  const std::optional<std::string> text = ReadText(FileBehind(settingsFile), missing);
  return text ? RecentGames::FromSettingsText(*text) : RecentGames();
}

bool RememberGame(const fs::path& settingsFile, const fs::path& folder, std::string_view caption, std::FILE* messages) {
  auto say = [&](const std::string& what) {
    if (messages) std::fprintf(messages, "orvane: settings file %s: %s\n", settingsFile.c_str(), what.c_str());
    return false;
  };
  const fs::path file = FileBehind(settingsFile);
  bool missing = false;
  const std::optional<std::string> text = ReadText(file, missing);
  if (!text) return say("cannot be read; the list of recent games is not updated");
  RecentGames recent = RecentGames::FromSettingsText(*text);
  recent.Played(folder, caption);
  const std::optional<std::string> updated = recent.WriteInto(*text);
  if (!updated) return say("is not TOML the player can write back; the list of recent games is not updated");
  if (missing) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
  }
  const Result<void> written = WriteFileAtomically(file, AsBytes(*updated));
  if (!written) return say("could not be written: " + written.error().message);
  return true;
}

std::string GameTitleFromCaption(std::string_view utf8Caption, std::string_view utf8VersionCaption) {
  std::string_view caption = Trim(utf8Caption);
  if (caption == utf8VersionCaption) return {};
  const std::string tag = "　【" + std::string(utf8VersionCaption) + "】";
  if (caption.size() > tag.size() && caption.ends_with(tag)) caption.remove_suffix(tag.size());
  return std::string(Trim(caption));
}

}  // namespace orv

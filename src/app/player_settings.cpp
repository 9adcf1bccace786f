#include "app/player_settings.h"

#include <algorithm>
#include <sstream>
#include <tuple>
#include <vector>
#include <toml++/toml.h>

#include "app/toml_in_place.h"
#include "platform/user_folders.h"

namespace orv {

namespace {

// The file is the user's: a few kilobytes at most. Anything far larger is not our file.
constexpr size_t kLargestSettingsFile = 64 << 10;
// The TOML library reads nested tables, dotted keys and arrays by recursion: a key of tens of
// thousands of parts runs it out of stack. Our keys are two parts deep.
constexpr int kDeepestNesting = 32;
constexpr int64_t kLongestDelayMs = 60000;

const char* const kScalingNames[] = {"integer", "fit", "stretch"};

std::optional<int64_t> WholeNumber(const toml::node& node) {
  if (const toml::value<int64_t>* number = node.as_integer()) return number->get();
  return std::nullopt;
}

class Reader {
 public:
  Reader(const toml::table& table, std::string& problem) : table_(table), problem_(problem) {}

  std::optional<std::string> Text(std::string_view section, std::string_view key) {
    toml::node_view<const toml::node> node = table_[section][key];
    if (!node) return std::nullopt;
    if (auto value = node.value<std::string>()) return value;
    return Bad(section, key, "is not text");
  }

  std::optional<bool> Flag(std::string_view section, std::string_view key) {
    toml::node_view<const toml::node> node = table_[section][key];
    if (!node) return std::nullopt;
    if (node.is_boolean()) return node.value<bool>();
    return Bad(section, key, "is not true or false");
  }

  std::optional<int64_t> Number(std::string_view section, std::string_view key, int64_t low, int64_t high) {
    toml::node_view<const toml::node> node = table_[section][key];
    if (!node) return std::nullopt;
    if (const toml::value<int64_t>* number = node.as_integer()) {
      const int64_t value = number->get();
      if (value >= low && value <= high) return value;
    }
    return Bad(section, key, "is not a whole number from " + std::to_string(low) + " to " + std::to_string(high));
  }

  // [left, right], each 0..65535, as the mixer's 32-bit volume.
  std::optional<uint32_t> Volume(std::string_view key) {
    toml::node_view<const toml::node> node = table_["volume"][key];
    if (!node) return std::nullopt;
    if (const toml::array* pair = node.as_array(); pair && pair->size() == 2) {
      // Only whole numbers: the library's own conversion of a float out of range is undefined.
      const std::optional<int64_t> left = WholeNumber((*pair)[0]);
      const std::optional<int64_t> right = WholeNumber((*pair)[1]);
      if (left && right && *left >= 0 && *left <= 0xFFFF && *right >= 0 && *right <= 0xFFFF)
        return uint32_t(*left) | uint32_t(*right) << 16;
    }
    return Bad("volume", key, "is not [left, right] with each from 0 to 65535");
  }

 private:
  std::nullopt_t Bad(std::string_view section, std::string_view key, const std::string& why) {
    if (problem_.empty()) problem_ = std::string(section) + "." + std::string(key) + " " + why + "; it is left at its default";
    return std::nullopt;
  }

  const toml::table& table_;
  std::string& problem_;
};

// The section as a table, made (or put in place of a value that was no table) when needed.
toml::table& Section(toml::table& root, std::string_view name) {
  if (toml::table* section = root[name].as_table()) return *section;
  root.insert_or_assign(name, toml::table{});
  return *root[name].as_table();
}


// How deep the text nests at the most, counted before the library sees it: the parts of a
// dotted key (the dots of a line outside strings and comments) plus the brackets around them.
int DeepestNesting(std::string_view text) {
  int brackets = 0, dots = 0, deepest = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      // A string, of one line or (tripled quotes) of several, with escapes in basic strings.
      const bool tripled = i + 2 < text.size() && text[i + 1] == c && text[i + 2] == c;
      const std::string_view close = tripled ? text.substr(i, 3) : text.substr(i, 1);
      size_t at = i + close.size();
      while (at < text.size() && text.substr(at, close.size()) != close) {
        if (!tripled && text[at] == '\n') break;
        at += (c == '"' && text[at] == '\\') ? 2 : 1;
      }
      i = std::min(text.size(), at + close.size()) - 1;
    } else if (c == '#') {
      while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
    } else if (c == '\n') {
      dots = 0;
    } else if (c == '.') {
      ++dots;
    } else if (c == '[' || c == '{') {
      ++brackets;
    } else if ((c == ']' || c == '}') && brackets > 0) {
      --brackets;
    }
    deepest = std::max(deepest, brackets + dots);
  }
  return deepest;
}

}  // namespace

Result<SettingsFile> SettingsFile::Parse(std::string_view text) {
  if (text.size() > kLargestSettingsFile) return Error{ErrorKind::TooLarge, "the file is larger than 64 KiB"};
  if (DeepestNesting(text) > kDeepestNesting)
    return Error{ErrorKind::TooLarge, "keys or values nest more than " + std::to_string(kDeepestNesting) + " deep"};
  toml::table table;
  try {
    table = toml::parse(text);
  } catch (const toml::parse_error& error) {
    return Error{ErrorKind::Malformed,
                 "line " + std::to_string(error.source().begin.line) + ": " + std::string(error.description())};
  }
  SettingsFile file;
  file.original_ = std::string(text);
  PlayerSettings& s = file.settings;
  Reader read(table, file.problem);
  if (auto scaling = read.Text("display", "scaling")) {
    for (const char* name : kScalingNames)
      if (*scaling == name) s.scaling = scaling;
    if (!s.scaling && file.problem.empty())
      file.problem = "display.scaling \"" + *scaling + "\" is not integer, fit or stretch; it is left at its default";
  }
  s.soundFont = read.Text("music", "soundfont");
  s.waveVolume = read.Volume("wave");
  s.midiVolume = read.Volume("midi");
  s.cdVolume = read.Volume("cd");
  s.speech = read.Flag("speech", "enabled").value_or(false);
  if (auto base = read.Number("auto", "base_delay_ms", 0, kLongestDelayMs)) s.autoDelays.baseMs = uint32_t(*base);
  if (auto each = read.Number("auto", "per_character_delay_ms", 0, kLongestDelayMs))
    s.autoDelays.perCharacterMs = uint32_t(*each);
  s.textSocket = read.Flag("text_socket", "enabled").value_or(false);
  // Port 0 would let the system pick one that no reading tool knows to look for.
  if (auto port = read.Number("text_socket", "port", 1, 65535)) s.textSocketPort = uint16_t(*port);
  return file;
}

namespace {

// One setting as it goes into the file: where, and its value as TOML text.
struct SettingText {
  std::string section, key, value;
};

template <typename T>
std::string TomlText(T&& value) {
  std::ostringstream out;
  out << toml::value<std::decay_t<T>>(std::forward<T>(value));
  return out.str();
}

std::string VolumeText(uint32_t volume) {
  return "[" + std::to_string(volume & 0xFFFF) + ", " + std::to_string(volume >> 16) + "]";
}

// The settings of `now` that differ from `before` (all of them when there is no before), so
// that a value the file holds, even one of the wrong kind, stays as written unless the player
// changed it.
std::vector<SettingText> Changes(const PlayerSettings& now, const PlayerSettings* before) {
  std::vector<SettingText> changes;
  auto differs = [&](auto field) { return before == nullptr || now.*field != before->*field; };
  if (now.scaling && differs(&PlayerSettings::scaling)) changes.push_back({"display", "scaling", TomlText(*now.scaling)});
  if (now.soundFont && differs(&PlayerSettings::soundFont))
    changes.push_back({"music", "soundfont", TomlText(*now.soundFont)});
  const std::tuple<const char*, std::optional<uint32_t> PlayerSettings::*> volumes[] = {
      {"wave", &PlayerSettings::waveVolume}, {"midi", &PlayerSettings::midiVolume}, {"cd", &PlayerSettings::cdVolume}};
  for (const auto& [key, field] : volumes)
    if (now.*field && differs(field)) changes.push_back({"volume", key, VolumeText(*(now.*field))});
  if (differs(&PlayerSettings::speech)) changes.push_back({"speech", "enabled", now.speech ? "true" : "false"});
  if (before == nullptr || now.autoDelays.baseMs != before->autoDelays.baseMs)
    changes.push_back({"auto", "base_delay_ms", std::to_string(now.autoDelays.baseMs)});
  if (before == nullptr || now.autoDelays.perCharacterMs != before->autoDelays.perCharacterMs)
    changes.push_back({"auto", "per_character_delay_ms", std::to_string(now.autoDelays.perCharacterMs)});
  if (differs(&PlayerSettings::textSocket))
    changes.push_back({"text_socket", "enabled", now.textSocket ? "true" : "false"});
  if (differs(&PlayerSettings::textSocketPort))
    changes.push_back({"text_socket", "port", std::to_string(now.textSocketPort)});
  return changes;
}

bool Parses(const std::string& text) {
  try {
    (void)toml::parse(text);
    return true;
  } catch (const toml::parse_error&) {
    return false;
  }
}

// The changes put into `root` by the library, the rest of it left as it is: for a text whose
// layout cannot take them in place. Comments are lost; values are not.
std::string Rewritten(toml::table root, const std::vector<SettingText>& changes) {
  for (const SettingText& change : changes) {
    toml::table& section = Section(root, change.section);
    toml::table parsed = toml::parse("v = " + change.value);
    parsed.get("v")->visit([&](auto& value) { section.insert_or_assign(change.key, value); });
  }
  std::ostringstream out;
  out << "# The Orvane player's own settings (a game's orvane.ini is kept apart).\n" << root << "\n";
  return out.str();
}

}  // namespace

std::string SettingsFile::Serialize(const PlayerSettings& s) const {
  if (original_.empty()) return Rewritten(toml::table{}, Changes(s, nullptr));
  const std::vector<SettingText> changes = Changes(s, &settings);
  std::optional<std::string> text = original_;
  for (const SettingText& change : changes) {
    if (!text) break;
    text = SetTomlValue(*text, change.section, change.key, change.value);
  }
  if (text && Parses(*text)) return *text;
  toml::table root;
  try {
    root = toml::parse(original_);
  } catch (const toml::parse_error&) {
    // Parse took this text; should it not now, the changes are still worth writing.
  }
  // The library writes some exotic keys (a table named with tabs, say) in a form it cannot
  // read back; a file the next start refuses would lose every setting, so then only the
  // player's own keys are written.
  std::string rewritten = Rewritten(std::move(root), changes);
  if (!Parses(rewritten)) rewritten = Rewritten(toml::table{}, Changes(s, nullptr));
  return rewritten;
}

std::optional<std::filesystem::path> DefaultSettingsPath() {
  if (auto config = UserConfigHome()) return *config / "orvane" / "orvane.toml";
  return std::nullopt;
}

}  // namespace orv

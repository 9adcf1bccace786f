#pragma once
// Where scenario text comes from: a plain TXT file, an inverted SNR file, or a DAT package of
// inverted members. The mode is chosen once from the start-up scenario's name.
#include <string>
#include <string_view>

#include <optional>

#include "platform/bytes.h"
#include "platform/game_folder.h"
#include "platform/result.h"

namespace orv {

class GameFolder;

enum class ScenarioSourceMode { File, Package };

// The last three bytes of a name (the whole name when shorter), ASCII upper-cased.
std::string FileTypeOf(std::string_view name);

// "シナリオファイルの読みこみに失敗しました。", the message of every scenario that cannot be
// loaded, whatever the reason (the error's kind tells it).
inline constexpr std::string_view kScenarioUnreadable =
    "\x83\x56\x83\x69\x83\x8A\x83\x49\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x93\xC7\x82\xDD\x82\xB1"
    "\x82\xDD\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";

class ScenarioSource {
 public:
  explicit ScenarioSource(const GameFolder& folder) : folder_(folder) {}

  // Loads the scenario init.def names and returns the scenario's name for `scenarioName` (the
  // first member's name for a package). On failure the buffer is left empty, so the first
  // fetch reports the end of the text.
  Result<std::string> LoadFirstScenario(std::string_view scenarioFileName);
  // Loads another scenario by the rule of the current mode; `currentName` is the scenario
  // being left (its type decides inversion in file mode). On failure the buffer is unchanged.
  Result<void> SwitchScenario(std::string_view name, std::string_view currentName);

  ScenarioSourceMode mode() const { return mode_; }
  // The text; reading stops at its end or at its first zero byte.
  const std::string& ScenarioBuffer() const { return buffer_; }
  void SetBuffer(std::string text) { buffer_ = std::move(text); }
  // No scenario, no mode chosen and nothing remembered of earlier reads.
  void Reset();

 private:
  // The text of the file a switch last read, so that a script looping through a switch to
  // its own file does not read and decode it again each time. It is used again only while
  // the file (or, in package mode, the package) is unchanged on disk.
  struct LastRead {
    std::string key;  // mode, name as given (upper-cased) and how it was decoded
    GameFolder::FileStamp stamp;
    std::string text;
  };
  bool TakeFromLastRead(const std::string& key, const std::optional<GameFolder::FileStamp>& stamp);
  void KeepAsLastRead(std::string key, std::optional<GameFolder::FileStamp> stamp);

  const GameFolder& folder_;
  ScenarioSourceMode mode_ = ScenarioSourceMode::File;
  std::string packageName_;
  std::string buffer_;
  std::optional<LastRead> lastRead_;
};

}  // namespace orv

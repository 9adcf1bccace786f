#pragma once
// Where scenario text comes from: a plain TXT file, an inverted SNR file, or a DAT package of
// inverted members. The mode is chosen once from the start-up scenario's name.
#include <string>
#include <string_view>

#include "platform/bytes.h"

namespace orv {

class GameFolder;

enum class ScenarioSourceMode { File, Package };

// The last three bytes of a name (the whole name when shorter), ASCII upper-cased.
std::string FileTypeOf(std::string_view name);

struct ScenarioLoad {
  bool ok = false;
  std::string name;  // the scenario's name for `scenarioName`
};

class ScenarioSource {
 public:
  explicit ScenarioSource(const GameFolder& folder) : folder_(folder) {}

  // Loads the scenario init.def names. On failure the buffer is left empty, so the first
  // fetch reports the end of the text.
  ScenarioLoad LoadFirstScenario(std::string_view scenarioFileName);
  // Loads another scenario by the rule of the current mode; `currentName` is the scenario
  // being left (its type decides inversion in file mode). On failure the buffer is unchanged.
  bool SwitchScenario(std::string_view name, std::string_view currentName);

  ScenarioSourceMode mode() const { return mode_; }
  // The text; reading stops at its end or at its first zero byte.
  const std::string& ScenarioBuffer() const { return buffer_; }
  void SetBuffer(std::string text) { buffer_ = std::move(text); }

 private:
  const GameFolder& folder_;
  ScenarioSourceMode mode_ = ScenarioSourceMode::File;
  std::string packageName_;
  std::string buffer_;
};

}  // namespace orv

#pragma once
// What a command handler works with: the reader its arguments come from, the variables, the
// scene record, the boxes it may open, the story it may move, and the few things of the
// player that commands change. Handlers of the stage and the sound take their part besides.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "logic/variable_store.h"
#include "persist/scene_state.h"
#include "script/dialogs.h"
#include "script/interpreter.h"
#include "script/script_reader.h"

namespace orv {

class GameFolder;

// The player's side of the commands that steer more than the story.
class PlayerControl {
 public:
  virtual ~PlayerControl() = default;
  // Closes the main window; the program ends once the current handler returns.
  virtual void EndGame() = 0;
  // Page mode: whole pages at once, and no transitions.
  virtual bool PageModeOn() const = 0;
  virtual bool SkipMode() const = 0;
  virtual void StopSkipping() = 0;
  // The message speed level 1..5, as the speed menu sets it.
  virtual void SetMessageSpeed(int level) = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  // The blinking wait indicator.
  virtual void ClearWaitIndicator() = 0;
  virtual void SetWaitIndicatorTimer(bool enabled) = 0;
  virtual void SetWaitIndicatorInterval(uint32_t ms) = 0;
  // The desktop's opener and the mouse cursor.
  virtual void OpenExternally(const std::string& target) = 0;
  virtual bool SetCursorFromFile(const std::filesystem::path& file) = 0;
  // A note for whoever runs the player (standard error), naming the scenario line.
  virtual void Note(std::string_view text) = 0;
};

struct CommandContext {
  ScriptReader& reader;
  VariableStore& vars;
  SceneState& scene;
  Dialogs& dialogs;
  Interpreter& story;
  PlayerControl& player;
  const GameFolder& folder;
  uint32_t& randomState;
};

}  // namespace orv

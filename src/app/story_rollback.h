#pragma once
// Stepping back through the story: after each advance the player keeps the story as it stands
// (what a save slot would hold, plus the stage's layers and the page's text) in the rollback
// ring; Backspace, PageUp or the menu put an earlier point back, and Enter, PageDown or a click
// go forward again through the points kept, without running the script a second time. Taking
// another choice at an earlier point runs the story on from there, and the points that were
// ahead are forgotten.
//
// Only this run's memory goes back: files the game wrote (slots, variable files) stay as they
// are. A game that turns saving or loading off has its reasons (a scene that must not be left
// half way), so stepping back is off then too, and nothing is kept meanwhile.
#include <cstddef>
#include <cstdint>

#include "app/menus.h"
#include "app/rollback_ring.h"
#include "choice/choices.h"
#include "graphics/stage.h"
#include "logic/command_context.h"
#include "logic/variable_store.h"
#include "persist/scene_state.h"
#include "platform/game_folder.h"
#include "platform/host.h"
#include "script/interpreter.h"
#include "sound/sound_system.h"

namespace orv {

// What a point is taken from and put back into; the player owns every one of them.
struct RollbackParts {
  SceneState& scene;
  SceneState& savePoint;
  VariableStore& vars;
  Stage& stage;
  Interpreter& interpreter;
  Choices& choices;
  Menus& menus;
  SoundSystem& sound;
  uint32_t& randomState;
  // The caption, the cursor and the wait indicator follow the restored scene.
  PlayerControl& player;
  Host& host;
  const GameFolder& folder;
};

class StoryRollback {
 public:
  // Keeps at most `maxPoints` points; none at all when it is 0.
  StoryRollback(RollbackParts parts, size_t maxPoints)
      : p_(parts), ring_(RollbackLimits{.maxPoints = maxPoints}), maxPoints_(maxPoints) {}

  // After an advance: the story as it now stands, kept as the newest point. Whether stepping
  // back is allowed now is the caller's to judge.
  void Keep();
  // One point back, or forward again along the path kept; false when there is none, or when
  // the point cannot be put back (then nothing has changed and the ring has not moved).
  bool Back();
  bool Forward();
  // Forgets every point (a new game).
  void Clear() { ring_.Clear(); }
  // Something other than stepping has reset the scene: a path of its own begins.
  void LeavePath() { onPoint_ = false; }
  // The game stands where the ring's point on show left it.
  bool OnPoint() const { return onPoint_; }
  const RollbackRing& ring() const { return ring_; }

 private:
  // The story as `point` kept it; false, with nothing changed, when it cannot be put back.
  bool Restore(const RollbackPoint& point);
  // The music, the looping effect and the CD of the restored scene, from what played in `was`.
  void FollowSound(const SceneState& was);
  // StepBack and StepForward are enabled while there is a point to go to.
  void ShowMenu();

  RollbackParts p_;
  RollbackRing ring_;
  size_t maxPoints_;
  bool onPoint_ = false;
};

}  // namespace orv

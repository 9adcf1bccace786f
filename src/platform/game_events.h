#pragma once
// What a backend calls on the game: window events, menu clicks and timers, one at a time on
// the game's thread. The game answers through the Host it was given.
#include <cstdint>
#include <string_view>

namespace orv {

enum class MouseButton { Left, Right, Middle };

enum class KeyCode { Enter, Up, Down, Left, Right, Escape, Space, Letter, F12, Backspace, PageUp, PageDown, Other };

enum class WheelDirection { Up, Down };

struct KeyPress {
  KeyCode code = KeyCode::Other;
  char letter = 0;  // upper-case A..Z when code is Letter
};

class GameEvents {
 public:
  virtual ~GameEvents() = default;

  // The window is shown (the start-up timer begins).
  virtual void Shown() = 0;
  // Left button released over the stage (after MouseDown and MouseMove as they came).
  virtual void Click() = 0;
  virtual void MouseDown(MouseButton button, int x, int y) = 0;
  virtual void MouseMove(int x, int y) = 0;
  virtual void KeyDown(KeyPress key) = 0;
  // One notch of the mouse wheel: up turns away from the player.
  virtual void Wheel(WheelDirection direction) = 0;
  virtual void MenuClick(std::string_view name) = 0;
  // The window's close button.
  virtual void CloseRequested() = 0;
  // The skip key (Ctrl on the desktop) went down or up: while it is held the game advances as
  // skip mode does. Backends without such a key never call it.
  virtual void HoldSkip(bool held) {}
  // Whether input (a button, a key, the wheel) that arrived at clock time `arrivedMs` is still
  // the game's to take. Input that came while the game was busy (typing, waiting, in a
  // transition) or before what is on screen now was drawn was never meant for it: backends
  // ask before delivering input and drop what the game refuses, instead of replaying it.
  virtual bool TakesInputFrom(uint32_t arrivedMs) const { return true; }

  // Clock time at which the next timer is due, or nothing when no timer runs.
  virtual bool NextTimerDue(uint32_t& dueMs) = 0;
  // Runs every timer that is due at nowMs.
  virtual void FireDueTimers(uint32_t nowMs) = 0;
  // The window has closed: the backend ends its loop.
  virtual bool Closed() const = 0;
};

// Passes every event on to the game as it stands; a backend's loop derives from it to add its
// own work between events (NextTimerDue), and so never forgets one of the game's answers.
class GameEventsRelay : public GameEvents {
 public:
  explicit GameEventsRelay(GameEvents& game) : relayed_(game) {}
  void Shown() override { relayed_.Shown(); }
  void Click() override { relayed_.Click(); }
  void MouseDown(MouseButton button, int x, int y) override { relayed_.MouseDown(button, x, y); }
  void MouseMove(int x, int y) override { relayed_.MouseMove(x, y); }
  void KeyDown(KeyPress key) override { relayed_.KeyDown(key); }
  void Wheel(WheelDirection direction) override { relayed_.Wheel(direction); }
  void MenuClick(std::string_view name) override { relayed_.MenuClick(name); }
  void CloseRequested() override { relayed_.CloseRequested(); }
  void HoldSkip(bool held) override { relayed_.HoldSkip(held); }
  bool TakesInputFrom(uint32_t arrivedMs) const override { return relayed_.TakesInputFrom(arrivedMs); }
  bool NextTimerDue(uint32_t& dueMs) override { return relayed_.NextTimerDue(dueMs); }
  void FireDueTimers(uint32_t nowMs) override { relayed_.FireDueTimers(nowMs); }
  bool Closed() const override { return relayed_.Closed(); }

 private:
  GameEvents& relayed_;
};

}  // namespace orv

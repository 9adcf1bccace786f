#pragma once
// Time as the game sees it. The desktop clock is real time; the headless clock is virtual and
// moves only when the game waits, so tests are fast and deterministic.
#include <cstdint>
#include <optional>
#include <string_view>

namespace orv {

// A wall-clock moment in the player's time zone, as save captions show it.
struct LocalTime {
  int year = 1970, month = 1, day = 1;  // month 1..12, day 1..31
  int hour = 0, minute = 0, second = 0;
  friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since some fixed start, wrapping like a 32-bit tick count.
  virtual uint32_t NowMs() = 0;
  // Blocks the game for ms milliseconds. Input stays queued for the game; the window stays
  // alive. 0 returns at once.
  virtual void WaitMs(uint32_t ms) = 0;
  // The left mouse button is down at this moment.
  virtual bool ButtonHeld() = 0;
  // The local date and time now: the system's, unless a clock keeps time of its own.
  virtual LocalTime LocalNow();
  // Lets the window breathe during long work that never waits: window events are handled and
  // input stays queued, as in a wait.
  virtual void KeepAlive() {}
  // The person asked to end the program (the close button, a signal) while the game was busy;
  // waits then return at once.
  virtual bool QuitRequested() { return false; }
  // How many presses that mean "go on" (the left button, Enter, Space) have arrived so far,
  // counting those still queued for the game: typing compares it with what it saw when it
  // began, so a press finishes the text at once instead of waiting its turn in the queue.
  virtual uint32_t GoOnPresses() { return 0; }
};

// The operating system's local time now.
LocalTime SystemLocalTime();
// "YYYY-MM-DD HH:MM:SS"; nothing unless it is a real date and time of years 1 to 9999.
std::optional<LocalTime> ParseLocalTime(std::string_view text);
// The moment `seconds` later (the calendar's own arithmetic, no time zone involved).
LocalTime AddSeconds(const LocalTime& time, int64_t seconds);
// Seconds from 1970-01-01 00:00:00 to `time`, both read as the same local time.
int64_t SecondsSinceEpoch(const LocalTime& time);

}  // namespace orv

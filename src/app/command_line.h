#pragma once
// The command line: orvane [OPTIONS] [GAME_DIR].
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/result.h"

namespace orv {

struct CommandLine {
  std::string gameDir = ".";
  bool gameDirGiven = false;  // without one, a folder that is no game opens the start screen
  bool headless = false;
  bool help = false;
  bool version = false;
  int scale = 0;  // 0: the largest integer factor that fits the screen
  std::string eventsFile;  // headless: events file, "-" for standard input, empty for none
  int untilExit = 0;       // headless: further clicks until the game closes itself
  std::string midiLog;     // headless: MIDI output operations log
  std::string recordDir;   // headless: every presented frame as a numbered BMP
  std::string soundFont;   // SoundFont for the MIDI synthesizer
  std::string midiPort;    // ALSA sequencer port instead of the built-in synthesizer
  std::string scaling;     // desktop: "integer", "fit", "stretch"; empty for the default
  bool fullScreen = false;  // desktop: start in full screen
  bool windowed = false;    // desktop: start in a window whatever the settings say
  bool verbose = false;     // the libraries' own messages on standard error
  bool speak = false;       // spoken text from the start
  std::string speechLog;    // headless: every utterance with its clock time (speech is on)
  std::optional<uint16_t> textSocket;  // the game's text over a WebSocket on 127.0.0.1 at this port
  bool textClipboard = false;          // desktop: each line of the game's text onto the clipboard
  std::string textLog;                 // headless: the text that would go out, with its clock time
  std::optional<uint32_t> seed;  // RANDOM's starting state; the local time when not given
  std::string saveDir;           // where saves and settings go; empty: the player chooses
  // The player's own settings file; empty: the user's (desktop) or none (headless).
  std::string configFile;
  std::string screenshotDir;  // where F12 puts screenshots; empty: orvane/ in the pictures folder
  std::string cdImage;           // a cue sheet for the CD's tracks; empty: the game folder's own
  std::optional<LocalTime> date;  // headless: the local time at start, then the virtual clock's
  // headless: lines one step may read before the script counts as caught in an endless loop
  // (0: no limit). Tests and fuzzing set it so that every input ends.
  int64_t maxStepLines = 0;
};

// The options, or a one-line BadUsage error.
Result<CommandLine> ParseCommandLine(const std::vector<std::string>& args);

// What of the options the player itself takes (app/player.h), the same for every run.
struct PlayerOptions;
PlayerOptions PlayerOptionsFor(const CommandLine& options);
std::string UsageText();

}  // namespace orv

#include "app/command_line.h"

#include <cerrno>
#include <cstdlib>

#include "app/player.h"
#include "orvane_version.h"
#include "platform/net/text_socket.h"

namespace orv {

std::string UsageText() {
  // Every line fits a terminal of 80 columns.
  return "orvane " + std::string(kPlayerVersion) +
         "\n"
         "usage: orvane [OPTIONS] [GAME_DIR]\n"
         "Plays the game in GAME_DIR (default: the current folder).\n"
         "\n"
         "  --help                show this text and exit\n"
         "  --version             show the version and exit\n"
         "  --scale N             show the 640x480 stage N times as large (default and\n"
         "                        most: the largest that fits the screen)\n"
         "  --scaling MODE        integer (sharp whole multiples), fit (the largest at\n"
         "                        4:3) or stretch (the whole area); default: integer in\n"
         "                        a window, fit in full screen\n"
         "  --fullscreen          start in full screen; --window: start in a window\n"
         "  --soundfont FILE      General MIDI SoundFont for the music\n"
         "  --midi-port NAME      send the music to an ALSA sequencer port instead\n"
         "  --verbose             also show the sound libraries' own messages\n"
         "  --speak               speak the text through the desktop's speech service\n"
         "                        (key V turns it on and off)\n"
         "  --seed N              start the script's random numbers from N\n"
         "                        (default: the local time)\n"
         "  --save-dir DIR        keep save slots, variable files, settings and saved\n"
         "                        screens in DIR\n"
         "  --config FILE         the player's own settings (default:\n"
         "                        $XDG_CONFIG_HOME/orvane/orvane.toml; headless runs\n"
         "                        read and write one only when given)\n"
         "  --screenshot-dir DIR  where F12 saves screenshots (default: orvane/ in the\n"
         "                        pictures folder)\n"
         "  --cd-image FILE       play the CD's tracks from a disc image's cue sheet\n"
         "  --headless            run without window or sound device (tests, automation)\n"
         "  --events FILE         headless: events to run, one a line ('-': stdin)\n"
         "  --until-exit N        headless: after the events, click up to N times until\n"
         "                        the game ends\n"
         "  --midi-log FILE       headless: write every MIDI output operation to FILE\n"
         "  --speech-log FILE     headless: turn speech on, write every utterance to FILE\n"
         "  --text-socket [PORT]  send the game's text to reading tools over a WebSocket\n"
         "                        on 127.0.0.1 (default port 6677)\n"
         "  --text-clipboard      copy each line of the game's text to the clipboard\n"
         "  --text-log FILE       headless: write the text that would be sent to FILE\n"
         "  --record DIR          headless: write every frame the window shows into DIR\n"
         "  --max-step-lines N    headless: end a script that reads N lines without\n"
         "                        waiting for the player\n"
         "  --date \"YYYY-MM-DD HH:MM:SS\"\n"
         "                        headless: the local time at start (save captions)\n";
}

namespace {

Error UsageError(std::string message) { return Error{ErrorKind::BadUsage, std::move(message)}; }

bool ParseCount(const std::string& text, int& out, int min, int max) {
  if (text.empty()) return false;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < min || value > max) return false;
  out = int(value);
  return true;
}
bool ParseLines(const std::string& text, long long& out) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtoll(text.c_str(), &end, 10);
  return *end == '\0' && errno == 0;
}

bool ParseSeed(const std::string& text, std::optional<uint32_t>& out) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || value > 0xFFFFFFFFull) return false;
  out = uint32_t(value);
  return true;
}
}  // namespace

Result<CommandLine> ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine options;
  bool haveDir = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) -> bool {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string text;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--headless") {
      options.headless = true;
    } else if (arg == "--scale") {
      if (!value(text) || !ParseCount(text, options.scale, 1, 16))
        return UsageError("--scale takes a whole number from 1 to 16");
    } else if (arg == "--save-dir") {
      if (!value(options.saveDir) || options.saveDir.empty()) return UsageError("--save-dir takes a folder name");
    } else if (arg == "--config") {
      if (!value(options.configFile) || options.configFile.empty()) return UsageError("--config takes a file name");
    } else if (arg == "--screenshot-dir") {
      if (!value(options.screenshotDir) || options.screenshotDir.empty())
        return UsageError("--screenshot-dir takes a folder name");
    } else if (arg == "--cd-image") {
      if (!value(options.cdImage) || options.cdImage.empty())
        return UsageError("--cd-image takes a cue sheet's file name");
    } else if (arg == "--date") {
      if (!value(text) || !(options.date = ParseLocalTime(text)))
        return UsageError("--date takes a local time as \"YYYY-MM-DD HH:MM:SS\"");
    } else if (arg == "--seed") {
      if (!value(text) || !ParseSeed(text, options.seed))
        return UsageError("--seed takes a whole number from 0 to 4294967295");
    } else if (arg == "--max-step-lines") {
      long long lines = 0;
      if (!value(text) || !ParseLines(text, lines))
        return UsageError("--max-step-lines takes a whole number of lines (0: no limit)");
      options.maxStepLines = lines;
    } else if (arg == "--until-exit") {
      if (!value(text) || !ParseCount(text, options.untilExit, 0, 1000000))
        return UsageError("--until-exit takes a whole number of clicks");
    } else if (arg == "--events") {
      if (!value(options.eventsFile)) return UsageError("--events takes a file name ('-' for standard input)");
    } else if (arg == "--midi-log") {
      if (!value(options.midiLog)) return UsageError("--midi-log takes a file name");
    } else if (arg == "--speech-log") {
      if (!value(options.speechLog) || options.speechLog.empty()) return UsageError("--speech-log takes a file name");
    } else if (arg == "--text-socket") {
      int port = kDefaultTextSocketPort;
      // The port is optional: a number right after the option is it.
      if (i + 1 < args.size() && !args[i + 1].empty() &&
          args[i + 1].find_first_not_of("0123456789") == std::string::npos) {
        if (!ParseCount(args[++i], port, 1, 65535)) return UsageError("--text-socket takes a port from 1 to 65535");
      }
      options.textSocket = uint16_t(port);
    } else if (arg == "--text-clipboard") {
      options.textClipboard = true;
    } else if (arg == "--text-log") {
      if (!value(options.textLog) || options.textLog.empty()) return UsageError("--text-log takes a file name");
    } else if (arg == "--speak") {
      options.speak = true;
    } else if (arg == "--record") {
      if (!value(options.recordDir)) return UsageError("--record takes a folder name");
    } else if (arg == "--soundfont") {
      if (!value(options.soundFont)) return UsageError("--soundfont takes a file name");
    } else if (arg == "--midi-port") {
      if (!value(options.midiPort)) return UsageError("--midi-port takes a port name");
    } else if (arg == "--scaling") {
      if (!value(options.scaling) ||
          (options.scaling != "integer" && options.scaling != "fit" && options.scaling != "stretch"))
        return UsageError("--scaling takes integer, fit or stretch");
    } else if (arg == "--fullscreen") {
      options.fullScreen = true;
      options.windowed = false;
    } else if (arg == "--window") {
      options.windowed = true;
      options.fullScreen = false;
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + arg + " (see --help)");
    } else if (!haveDir) {
      options.gameDir = arg;
      options.gameDirGiven = haveDir = true;
    } else {
      return UsageError("more than one game folder given: " + arg);
    }
  }
  bool headlessOnly = !options.eventsFile.empty() || options.untilExit > 0 || !options.midiLog.empty() ||
                      !options.recordDir.empty() || options.maxStepLines > 0 || options.date.has_value();
  if (headlessOnly && !options.headless)
    return UsageError("--events, --until-exit, --midi-log, --record, --max-step-lines and --date need --headless");
  // On the desktop speech goes to the speech service; only a headless run writes it down.
  if (!options.speechLog.empty() && !options.headless) return UsageError("--speech-log needs --headless (see --speak)");
  if (!options.textLog.empty() && !options.headless) return UsageError("--text-log needs --headless");
  return options;
}

PlayerOptions PlayerOptionsFor(const CommandLine& options) {
  PlayerOptions player;
  player.maxStepLines = options.maxStepLines;
  player.randomSeed = options.seed;
  if (!options.saveDir.empty()) player.saveDir = std::filesystem::path(options.saveDir);
  if (!options.screenshotDir.empty()) player.screenshotDir = std::filesystem::path(options.screenshotDir);
  if (!options.cdImage.empty()) player.cdImage = std::filesystem::path(options.cdImage);
  // A speech log records what speech says, so it turns speech on.
  player.speak = options.speak || !options.speechLog.empty();
  return player;
}

}  // namespace orv

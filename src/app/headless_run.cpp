#include "app/headless_run.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>

#include "app/player.h"
#include "app/game_check.h"
#include "app/headless_start.h"
#include "app/recent_games.h"
#include "app/start_screen.h"
#include "app/settings_session.h"
#include "app/state_dump.h"
#include "platform/headless/event_script.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_host.h"
#include "platform/headless/timed_input.h"
#include "platform/image_files.h"
#include "platform/os.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/speech_log.h"
#include "platform/sjis.h"

namespace orv {
namespace fs = std::filesystem;

namespace {

// Headless runs stay apart from the user's own settings unless a file is named.
std::optional<fs::path> SettingsPathFor(const CommandLine& options) {
  if (options.configFile.empty()) return std::nullopt;
  return fs::path(options.configFile);
}

class HeadlessSession {
 public:
  HeadlessSession(const CommandLine& options, std::FILE* out, std::FILE* err, EventScript* events)
      : options_(options),
        err_(err),
        events_(events),
        folder_(options.gameDir),
        host_(out, events, clock_),
        audio_(options.midiLog.empty() ? fs::path() : fs::path(options.midiLog)),
        diagnostics_(err),
        settings_(SettingsSession::Open(SettingsPathFor(options), err)),
        speechLog_(options.speechLog.empty() ? nullptr
                                             : SpeechLog::ToFile(options.speechLog, [this] { return clock_.NowMs(); })),
        textLog_(options.textLog.empty() ? nullptr
                                         : SpeechLog::ToFile(options.textLog, [this] { return clock_.NowMs(); })),
        player_(PlatformServices{host_, clock_, folder_, fonts_, audio_, diagnostics_, Voice()},
                PlayerOptionsFor(options)) {
    settings_.ApplyTo(player_, audio_);
    if (textLog_) player_.SendTextTo(*textLog_);
    if (options.textSocket) player_.textSocket().Set(true, *options.textSocket);
  }

  // The title the game showed, for the list of recent games; empty when it showed none.
  std::string GameTitle() const { return GameTitleFromCaption(Cp932ToUtf8(player_.WindowCaption()), kVersionCaption); }

  int Run() {
    // The sound plays along the virtual clock.
    clock_.onAdvance = [this](uint32_t now) {
      audio_.AdvanceTo(now);
      timed_.ClockAt(now);
    };
    if (!options_.midiLog.empty() && !audio_.LoggingMidi())
      return Fail("cannot create the MIDI log " + options_.midiLog);
    if (!options_.speechLog.empty() && !speechLog_) return Fail("cannot create the speech log " + options_.speechLog);
    if (!options_.textLog.empty() && !textLog_) return Fail("cannot create the text log " + options_.textLog);
    if (!options_.recordDir.empty() && !host_.StartRecording(GamePath(options_.recordDir)))
      return Fail("cannot write frames into " + options_.recordDir);
    const int played = Play();
    settings_.GatherFrom(player_, audio_);
    settings_.Save(err_);
    // Output that went missing is a failed run, however the game went.
    if (std::string error = host_.FinishRecording(); !error.empty()) return Fail(error);
    if (audio_.MidiLogFailed()) return Fail("cannot write the MIDI log " + options_.midiLog);
    if (speechLog_ && speechLog_->WriteFailed()) return Fail("cannot write the speech log " + options_.speechLog);
    if (textLog_ && textLog_->WriteFailed()) return Fail("cannot write the text log " + options_.textLog);
    return played;
  }

 private:
  int Play() {
    if (options_.date) clock_.SetLocalTime(*options_.date);
    player_.FormCreate();
    if (player_.startFailed()) return 2;
    if (!player_.closed()) {
      player_.Shown();
      RunFor(player_.StartTimerIntervalMs());  // the start-up timer's first advance
    }
    while (!player_.closed()) {
      std::optional<EventLine> event = events_ ? events_->Next() : std::nullopt;
      if (!event) break;
      if (!Dispatch(*event) || !DeliverArrived()) return 2;
    }
    for (int click = 0; click < options_.untilExit && !player_.closed(); ++click) player_.Click();
    return 0;
  }

  // Utterances go to the speech log, or nowhere without one.
  Speech& Voice() { return speechLog_ ? static_cast<Speech&>(*speechLog_) : noSpeech_; }

  int Fail(const std::string& what) {
    std::fprintf(err_, "orvane: %s\n", what.c_str());
    return 2;
  }

  fs::path GamePath(const std::string& name) const {
    fs::path path(name);
    return path.is_absolute() ? path : fs::path(options_.gameDir) / path;
  }

  // Lets `ms` of clock time pass, firing the window's timers as they fall due and handing over
  // input as it arrives. False when an input that arrived was no event at all.
  bool RunFor(uint32_t ms) {
    const uint32_t target = clock_.NowMs() + ms;
    while (!player_.closed()) {
      uint32_t due = 0;
      const bool timer = player_.NextTimerDue(due) && int32_t(due - target) <= 0;
      std::optional<uint32_t> arrival = timed_.NextArrival();
      if (arrival && int32_t(*arrival - target) > 0) arrival.reset();
      if (!timer && !arrival) {
        clock_.AdvanceTo(target);
        return DeliverArrived();
      }
      if (timer && (!arrival || int32_t(due - *arrival) <= 0)) {
        clock_.AdvanceTo(due);
        player_.FireDueTimers(clock_.NowMs());
      } else {
        clock_.AdvanceTo(*arrival);
      }
      if (!DeliverArrived()) return false;
    }
    return true;
  }

  // Input that arrived while the game was busy, or just now, offered to it in the order it came;
  // what the player no longer takes is dropped, as a window drops it.
  bool DeliverArrived() {
    while (std::optional<TimedInput> input = timed_.TakeArrived()) {
      if (player_.closed()) return true;
      if (player_.TakesInputFrom(input->atMs) && !Dispatch(input->line)) return false;
    }
    return true;
  }

  // The events a person's hand makes, which may come at any moment.
  static bool IsTimedInput(const std::string& verb) {
    return verb == "click" || verb == "rclick" || verb == "key" || verb == "wheel";
  }

  // A whole number within [min, max], all of the text; nothing for anything else.
  static std::optional<int> Number(const std::string& text, long min, long max) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || value < min || value > max) return std::nullopt;
    return int(value);
  }

  // Stage pixels; far outside the stage is still a place the pointer may be, absurd is not.
  static constexpr long kFarthestPixel = 100000;
  // A day of clock time.
  static constexpr long kLongestWaitMs = 86400000;

  bool Position(const EventLine& e, int& x, int& y) {
    if (e.args.size() != 2) return false;
    auto px = Number(e.args[0], -kFarthestPixel, kFarthestPixel);
    auto py = Number(e.args[1], -kFarthestPixel, kFarthestPixel);
    if (!px || !py) return false;
    x = *px;
    y = *py;
    return true;
  }

  bool Dispatch(const EventLine& e) {
    auto bad = [&](const std::string& why) {
      std::fprintf(err_, "orvane: events line %d: %s\n", e.lineNumber, why.c_str());
      return false;
    };
    int x = 0, y = 0;
    if (e.verb == "click" || e.verb == "rclick") {
      if (!e.args.empty() && !Position(e, x, y))
        return bad(e.verb + " takes no position or X Y (whole numbers from -100000 to 100000)");
      if (!e.args.empty()) player_.MouseMove(x, y);
      if (e.verb == "rclick") {
        player_.MouseDown(MouseButton::Right, player_.PointerX(), player_.PointerY());
      } else {
        clock_.SetButtonHeld(true);
        player_.MouseDown(MouseButton::Left, player_.PointerX(), player_.PointerY());
        clock_.SetButtonHeld(false);
        player_.Click();
      }
    } else if (e.verb == "press") {
      clock_.SetButtonHeld(true);
      player_.MouseDown(MouseButton::Left, player_.PointerX(), player_.PointerY());
    } else if (e.verb == "release") {
      clock_.SetButtonHeld(false);
    } else if (e.verb == "move") {
      if (!Position(e, x, y)) return bad("move takes X Y (whole numbers from -100000 to 100000)");
      player_.MouseMove(x, y);
    } else if (e.verb == "key") {
      if (e.args.size() != 1) return bad("key takes one key name");
      auto key = KeyPressByName(e.args[0]);
      if (!key) return bad("unknown key " + e.args[0]);
      player_.KeyDown(*key);
    } else if (e.verb == "menu") {
      if (e.args.size() != 1) return bad("menu takes one item name");
      const MenuItem* item = player_.menus().model().Find(e.args[0]);
      if (item == nullptr) return bad("no menu item " + e.args[0]);
      if (!player_.menus().IsReachable(e.args[0]))
        std::fprintf(err_, "orvane: menu item %s is not available\n", e.args[0].c_str());
      player_.MenuClick(e.args[0]);
    } else if (e.verb == "wait") {
      const auto ms = e.args.size() == 1 ? Number(e.args[0], 0, kLongestWaitMs) : std::nullopt;
      if (!ms) return bad("wait takes milliseconds, a whole number from 0 to 86400000");
      return RunFor(uint32_t(*ms));
    } else if (e.verb == "after") {
      const auto ms = e.args.empty() ? std::nullopt : Number(e.args[0], 0, kLongestWaitMs);
      const size_t inner = e.rest.find_first_of(" \t");
      EventLine input = ParseEventLine(inner == std::string::npos ? "" : e.rest.substr(inner), e.lineNumber);
      if (!ms || !IsTimedInput(input.verb))
        return bad("after takes milliseconds (0 to 86400000) and a click, rclick, key or wheel event");
      timed_.Add(clock_.NowMs() + uint32_t(*ms), std::move(input));
    } else if (e.verb == "wheel") {
      if (e.args.size() != 1 || (e.args[0] != "up" && e.args[0] != "down")) return bad("wheel takes up or down");
      player_.Wheel(e.args[0] == "up" ? WheelDirection::Up : WheelDirection::Down);
    } else if (e.verb == "answer" || e.verb == "input" || e.verb == "input-cancel" || e.verb == "savefile" ||
               e.verb == "slider" || e.verb == "mute" || e.verb == "close") {
      std::fprintf(err_, "orvane: events line %d: no dialog was open for this %s\n", e.lineNumber, e.verb.c_str());
    } else if (e.verb == "shot") {
      if (e.rest.empty()) return bad("shot takes a file name");
      if (!WriteScreenshot(GamePath(e.rest), player_.stage().WindowPicture())) return bad("cannot write " + e.rest);
    } else if (e.verb == "dump") {
      if (e.rest.empty()) return bad("dump takes a file name");
      std::ofstream out(GamePath(e.rest));
      out << DumpState(player_).dump(2) << '\n';
      if (!out) return bad("cannot write " + e.rest);
    } else {
      return bad("unknown event " + e.verb);
    }
    return true;
  }

  const CommandLine& options_;
  std::FILE* err_;
  EventScript* events_;
  GameFolder folder_;
  HeadlessClock clock_;
  TimedInputs timed_{clock_};
  HeadlessHost host_;
  FontRenderer fonts_;
  HeadlessAudio audio_;
  StreamDiagnostics diagnostics_;
  SettingsSession settings_;
  NoSpeech noSpeech_;
  std::unique_ptr<SpeechLog> speechLog_;
  std::unique_ptr<SpeechLog> textLog_;
  Player player_;
};

}  // namespace

int RunHeadless(const CommandLine& given, std::FILE* out, std::FILE* err) {
  std::unique_ptr<EventScript> events;
  if (given.eventsFile == "-") {
    events = std::make_unique<EventScript>(std::cin);
  } else if (!given.eventsFile.empty()) {
    auto file = std::make_unique<std::ifstream>(given.eventsFile);
    if (!*file) {
      std::fprintf(err, "orvane: cannot read events file %s\n", given.eventsFile.c_str());
      return 2;
    }
    events = std::make_unique<EventScript>(std::move(file));
  }
  CommandLine options = given;
  const bool picked = StartsOnStartScreen(given.gameDirGiven);
  if (picked) {
    const HeadlessStart start = RunHeadlessStartScreen(given, out, err, events.get());
    if (!start.game) return start.exitCode;
    options.gameDir = start.game->string();
    options.gameDirGiven = true;
  }
  if (Result<void> folder = CheckGameFolder(options.gameDir); !folder) {
    std::fprintf(err, "orvane: %s\n", folder.error().message.c_str());
    return 2;
  }
  // Saves written while a player in a window holds the game would be lost under it.
  const SingleInstanceLock instance =
      SingleInstanceLock::ForGameFolder(options.gameDir, SingleInstanceLock::Sharing::WithOtherHeadlessRuns);
  if (!instance.MayRun()) {
    std::fprintf(err, "orvane: this game is already running in a window: %s\n", options.gameDir.c_str());
    return 2;
  }
  HeadlessSession session(options, out, err, events.get());
  const int code = session.Run();
  // A game picked on the start screen goes to the top of its list, once its settings are
  // written; headless runs given a game leave the list alone.
  if (picked && !options.configFile.empty())
    RememberGame(options.configFile, options.gameDir, session.GameTitle(), err);
  return code;
}

}  // namespace orv

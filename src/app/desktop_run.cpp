// The desktop composition root: the single-instance guard, SDL's window and sound, and the
// game object built on them.
#include "app/desktop_run.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "app/game_check.h"
#include "app/player.h"
#include "app/settings_session.h"
#include "platform/net/text_socket.h"
#include "platform/os.h"
#include "platform/sjis.h"
#include "platform/sdl/desktop_session.h"
#include "platform/sdl/dispatcher_speech.h"
#include "platform/sdl/library_logs.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_clipboard.h"

namespace orv {

namespace {

// How long the note about sound that cannot play stays over the window.
constexpr uint32_t kSoundNoteMs = 12000;

constexpr std::string_view kNoSpeechNote =
    "読み上げサービスが動いていないため、文章は読み上げられません。\n"
    "No speech service (speech-dispatcher) answers: text is not spoken.";

// Hands the game's events through and lets the sound backend deliver its notifications
// (a track that ended) whenever the main loop is between events, as window messages were; so
// too the speech service's word that it cannot be reached.
class PumpingGame final : public GameEvents {
 public:
  PumpingGame(GameEvents& game, SdlAudio& audio, DispatcherSpeech& speech, Diagnostics& diagnostics, SdlHost& host)
      : game_(game), audio_(audio), speech_(speech), diagnostics_(diagnostics), host_(host) {}
  void Shown() override { game_.Shown(); }
  void Click() override { game_.Click(); }
  void MouseDown(MouseButton b, int x, int y) override { game_.MouseDown(b, x, y); }
  void MouseMove(int x, int y) override { game_.MouseMove(x, y); }
  void KeyDown(KeyPress key) override { game_.KeyDown(key); }
  void Wheel(WheelDirection direction) override { game_.Wheel(direction); }
  void MenuClick(std::string_view name) override { game_.MenuClick(name); }
  void CloseRequested() override { game_.CloseRequested(); }
  void HoldSkip(bool held) override { game_.HoldSkip(held); }
  bool NextTimerDue(uint32_t& dueMs) override {
    audio_.Pump();
    TellSpeechProblem();
    return game_.NextTimerDue(dueMs);
  }
  void FireDueTimers(uint32_t nowMs) override { game_.FireDueTimers(nowMs); }
  bool Closed() const override { return game_.Closed(); }

 private:
  void TellSpeechProblem() {
    const std::string problem = speech_.TakeProblem();
    if (problem.empty()) return;
    diagnostics_.Note(problem);
    host_.ShowNotice(kNoSpeechNote, kSoundNoteMs);
  }

  GameEvents& game_;
  SdlAudio& audio_;
  DispatcherSpeech& speech_;
  Diagnostics& diagnostics_;
  SdlHost& host_;
};

// The box for a folder that is no game: the kit's kind of words, the folder, and why.
std::string GameFolderProblemText(const std::string& dir) {
  std::error_code ec;
  const bool exists = std::filesystem::is_directory(dir, ec);
  return std::string("ゲームのフォルダーを開けませんでした。\n") + dir + "\n" +
         (exists ? "This folder holds no init.def, so it is not a game for this player."
                 : "This folder does not exist.");
}

// The note over the window when sound cannot play, or nothing when all is well.
std::string SoundNote(const SdlAudio& audio, bool portAsked) {
  if (!audio.DeviceOpen())
    return "サウンドデバイスを開けないため、音は鳴りません。\n"
           "No sound device could be opened: the game plays without sound.";
  if (!audio.MusicReady())
    return portAsked ? "MIDI ポートにつながらないため、音楽は鳴りません。\n"
                       "The MIDI port cannot be reached: music is silent."
                     : "SoundFont が見つからないため、音楽は鳴りません。\n"
                       "No General MIDI SoundFont was found: music is silent (see orvane --help, --soundfont).";
  return "";
}

}  // namespace

int RunDesktop(const CommandLine& options) {
  // Before SDL's audio and FluidSynth start: their libraries speak up as soon as they load.
  RouteLibraryMessages(options.verbose);
  SettingsSession settings = SettingsSession::Open(
      options.configFile.empty() ? DefaultSettingsPath() : std::optional<std::filesystem::path>(options.configFile),
      stderr);
  // What the command line asks is for this run only; the settings file keeps its own choice.
  const std::string& scalingName = !options.scaling.empty() ? options.scaling : settings.settings().scaling.value_or("");
  DesktopOptions desktop;
  desktop.gameRoot = options.gameDir;
  desktop.scale = options.scale;
  desktop.scaling = ScalingByName(scalingName);
  DesktopSession session(desktop);
  if (Result<void> folder = CheckGameFolder(options.gameDir); !folder) {
    std::fprintf(stderr, "orvane: %s\n", folder.error().message.c_str());
    session.ShowStartProblem(GameFolderProblemText(options.gameDir));
    return 2;
  }
  const SingleInstanceLock instance = SingleInstanceLock::ForGameFolder(options.gameDir);
  if (!instance.MayRun()) {
    std::fprintf(stderr, "orvane: this game is already running\n");
    session.ShowAlreadyRunning();
    return 0;
  }
  std::string error;
  if (!session.Start(error)) {
    std::fprintf(stderr, "orvane: %s\n", error.c_str());
    return 1;
  }
  GameFolder folder(options.gameDir);
  SdlAudio::Options audioOptions;
  audioOptions.soundFont = !options.soundFont.empty() ? options.soundFont : settings.settings().soundFont.value_or("");
  audioOptions.gameFolder = options.gameDir;
  audioOptions.midiPort = options.midiPort;
  if (const char* fonts = std::getenv("SDL_SOUNDFONTS")) audioOptions.sdlSoundFonts = fonts;
  SdlAudio audio(audioOptions);
  for (const std::string& line : audio.SetupProblems()) std::fprintf(stderr, "orvane: %s\n", line.c_str());
  if (options.verbose && !audio.soundFont().empty())
    std::fprintf(stderr, "orvane: music through the SoundFont %s\n", audio.soundFont().c_str());
  if (std::string note = SoundNote(audio, !options.midiPort.empty()); !note.empty())
    session.host().ShowNotice(note, kSoundNoteMs);
  // The synthesizer starts with the first song; a SoundFont that only then fails says so then.
  audio.OnLateProblems([&](const std::vector<std::string>& lines, bool musicSilent) {
    for (const std::string& line : lines) std::fprintf(stderr, "orvane: %s\n", line.c_str());
    if (musicSilent) session.host().ShowNotice(SoundNote(audio, false), kSoundNoteMs);
  });
  int result = 0;
  {
    StreamDiagnostics diagnostics(stderr);
    DispatcherSpeech speech;
    PlayerOptions playerOptions;
    playerOptions.randomSeed = options.seed;
    playerOptions.speak = options.speak;
    if (!options.saveDir.empty()) playerOptions.saveDir = std::filesystem::path(options.saveDir);
    if (!options.screenshotDir.empty()) playerOptions.screenshotDir = std::filesystem::path(options.screenshotDir);
    if (!options.cdImage.empty()) playerOptions.cdImage = std::filesystem::path(options.cdImage);
    // Where the game's text goes besides the screen; they outlive the game that sends to them.
    SdlClipboard clipboard;
    std::unique_ptr<TextSocketServer> textSocket;
    Player game(PlatformServices{session.host(), session.clock(), folder, session.fonts(), audio, diagnostics, speech},
                playerOptions);
    settings.ApplyTo(game, audio);
    if (options.textClipboard) game.SendTextTo(clipboard);
    if (options.textSocket) {
      if (Result<std::unique_ptr<TextSocketServer>> server = TextSocketServer::Start(*options.textSocket)) {
        textSocket = std::move(*server);
        game.SendTextTo(*textSocket);
        if (options.verbose)
          std::fprintf(stderr, "orvane: the game's text goes to ws://127.0.0.1:%u\n", unsigned(textSocket->port()));
      } else {
        std::fprintf(stderr, "orvane: the text socket: %s\n", server.error().message.c_str());
      }
    }
    game.FormCreate();
    if (game.startFailed()) {
      std::fprintf(stderr, "orvane: the first scenario %s could not be read\n",
                   Cp932ToUtf8(game.defs.scenarioFileName).c_str());
      return 2;
    }
    // The start options win over the mode the settings brought back.
    if (options.fullScreen && !game.menus.IsChecked("FullMode")) game.MenuClick("FullMode");
    if (options.windowed && game.menus.IsChecked("FullMode")) game.MenuClick("WindowMode");
    PumpingGame pumping(game, audio, speech, diagnostics, session.host());
    result = game.closed() ? 0 : session.Run(pumping);
    settings.GatherFrom(game, audio);
    if (const std::optional<Scaling> chosen = session.host().chosenScaling();
        chosen && ScalingName(*chosen) != options.scaling)
      settings.settings().scaling = ScalingName(*chosen);
  }
  settings.Save(stderr);
  return result;
}

}  // namespace orv

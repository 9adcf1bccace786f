// The desktop composition root: the single-instance guard, SDL's window and sound, and the
// game object built on them.
#include "app/desktop_run.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/command_line.h"
#include "app/game_check.h"
#include "app/player.h"
#include "app/recent_games.h"
#include "app/settings_session.h"
#include "app/start_screen.h"
#include "platform/os.h"
#include "platform/sjis.h"
#include "platform/sdl/desktop_session.h"
#include "platform/sdl/dispatcher_speech.h"
#include "platform/sdl/library_logs.h"
#include "platform/sdl/portal_folder_chooser.h"
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
class PumpingGame final : public GameEventsRelay {
 public:
  PumpingGame(Player& game, SdlAudio& audio, DispatcherSpeech& speech, Diagnostics& diagnostics, SdlHost& host)
      : GameEventsRelay(game), game_(game), audio_(audio), speech_(speech), diagnostics_(diagnostics), host_(host) {}
  bool NextTimerDue(uint32_t& dueMs) override {
    audio_.Pump();
    TellSpeechProblem();
    return game_.NextWakeDue(dueMs);
  }

 private:
  void TellSpeechProblem() {
    const std::string problem = speech_.TakeProblem();
    if (problem.empty()) return;
    diagnostics_.Note(problem);
    host_.ShowNotice(kNoSpeechNote, kSoundNoteMs);
    // Speech is off until the player turns it on again, which tries the service anew.
    if (game_.SpeechOn()) game_.SetSpeechOn(false);
  }

  Player& game_;
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

// The start screen in the session's window until a game is picked: the desktop's chooser
// portal first, then zenity, then a typed path. Nothing when the window was closed instead.
std::optional<std::filesystem::path> PickGame(DesktopSession& session, bool onTop,
                                              const std::optional<std::filesystem::path>& settingsPath, bool verbose) {
  std::string error;
  if (!session.Start(error)) {
    std::fprintf(stderr, "orvane: %s\n", error.c_str());
    return std::nullopt;
  }
  std::vector<std::unique_ptr<FolderChooser>> choosers;
  choosers.push_back(std::make_unique<PortalFolderChooser>(PortalWindowName(session.host().window())));
  choosers.push_back(std::make_unique<ZenityFolderChooser>());
  FirstAvailableChooser firstAvailable(std::move(choosers));
  ChooserInFront chooser(firstAvailable, session.host(), onTop);
  StartScreen screen(session.host(), session.fonts(), chooser,
                     settingsPath ? LoadRecentGames(*settingsPath).games() : std::vector<RecentGame>{},
                     [&session] { return session.KeepWindowAlive(); });
  session.Run(screen);
  if (verbose && !screen.chooserProblem().empty())
    std::fprintf(stderr, "orvane: no folder chooser: %s\n", screen.chooserProblem().c_str());
  return screen.chosen();
}

}  // namespace

int RunDesktop(const CommandLine& given) {
  // Before SDL's audio and FluidSynth start: their libraries speak up as soon as they load.
  RouteLibraryMessages(given.verbose);
  const std::optional<std::filesystem::path> settingsPath =
      given.configFile.empty() ? DefaultSettingsPath() : std::optional<std::filesystem::path>(given.configFile);
  SettingsSession settings = SettingsSession::Open(settingsPath, stderr);
  CommandLine options = given;
  // What the command line asks is for this run only; the settings file keeps its own choice.
  const std::string& scalingName = !options.scaling.empty() ? options.scaling : settings.settings().scaling.value_or("");
  DesktopOptions desktop;
  desktop.gameRoot = options.gameDir;
  desktop.scale = options.scale;
  desktop.scaling = ScalingByName(scalingName);
  DesktopSession session(desktop);
  if (StartsOnStartScreen(given.gameDirGiven)) {
    const std::optional<std::filesystem::path> picked =
        PickGame(session, desktop.stayOnTop, settingsPath, given.verbose);
    if (!picked) return 0;
    options.gameDir = picked->string();
    session.host().SetGameRoot(*picked);
  }
  if (Result<void> folder = CheckGameFolder(options.gameDir); !folder) {
    std::fprintf(stderr, "orvane: %s\n", folder.error().message.c_str());
    session.ShowStartProblem(GameFolderProblemText(options.gameDir));
    return 2;
  }
  const SingleInstanceLock instance = SingleInstanceLock::ForGameFolder(options.gameDir);
  if (!instance.MayRun()) {
    std::fprintf(stderr, "orvane: this game is already running (another player has this game folder open)\n");
    session.ShowAlreadyRunning();
    // The game did not run: scripts and launchers that start the player must be able to tell.
    return 1;
  }
  GameFolder folder(options.gameDir);
  SdlAudio::Options audioOptions;
  audioOptions.soundFont = !options.soundFont.empty() ? options.soundFont : settings.settings().soundFont.value_or("");
  if (options.soundFont.empty() && settings.settings().soundFont && settings.path())
    audioOptions.soundFontOrigin = "the settings file " + settings.path()->string();
  audioOptions.gameFolder = options.gameDir;
  audioOptions.midiPort = options.midiPort;
  if (const char* fonts = std::getenv("SDL_SOUNDFONTS")) audioOptions.sdlSoundFonts = fonts;
  SdlAudio audio(audioOptions);
  // The synthesizer takes a tenth of a second to load: a game with music loads it while the
  // window opens, so that its first song starts at once. A game without music never loads it.
  if (GameHoldsMusic(folder)) audio.PreloadSynthesizer();
  std::string error;
  if (!session.Start(error)) {
    std::fprintf(stderr, "orvane: %s\n", error.c_str());
    return 1;
  }
  if (const std::string& note = session.host().scaleNote(); !note.empty()) std::fprintf(stderr, "orvane: %s\n", note.c_str());
  if (options.verbose)
    std::fprintf(stderr, "orvane: frames go to the screen through the %s path: %s\n", session.host().PresenterName(),
                 session.host().PresentReason().c_str());
  for (const std::string& line : audio.SetupProblems()) std::fprintf(stderr, "orvane: %s\n", line.c_str());
  if (options.verbose && !audio.soundFont().empty())
    std::fprintf(stderr, "orvane: music through the SoundFont %s\n", audio.soundFont().c_str());
  if (std::string note = SoundNote(audio, !options.midiPort.empty()); !note.empty())
    session.host().ShowNotice(note, kSoundNoteMs);
  // The synthesizer starts in the background; a SoundFont that only then fails says so then.
  audio.OnLateProblems([&](const std::vector<std::string>& lines, bool musicSilent) {
    for (const std::string& line : lines) std::fprintf(stderr, "orvane: %s\n", line.c_str());
    if (musicSilent) session.host().ShowNotice(SoundNote(audio, false), kSoundNoteMs);
  });
  int result = 0;
  std::string gameTitle;
  {
    StreamDiagnostics diagnostics(stderr);
    DispatcherSpeech speech;
    // The clipboard outlives the game that sends to it.
    SdlClipboard clipboard;
    Player game(PlatformServices{session.host(), session.clock(), folder, session.fonts(), audio, diagnostics, speech},
                PlayerOptionsFor(options));
    settings.ApplyTo(game, audio);
    if (options.textClipboard) game.SendTextTo(clipboard);
    if (options.textSocket) {
      game.textSocket().Set(true, *options.textSocket);
      if (options.verbose && game.textSocket().on())
        std::fprintf(stderr, "orvane: the game's text goes to ws://127.0.0.1:%u\n", unsigned(game.textSocket().port()));
    }
    game.FormCreate();
    if (game.startFailed()) {
      std::fprintf(stderr, "orvane: the first scenario %s could not be read\n",
                   Cp932ToUtf8(game.FirstScenarioName()).c_str());
      return 2;
    }
    // The start options win over the mode the settings brought back.
    if (options.fullScreen && !game.menus().IsChecked("FullMode")) game.MenuClick("FullMode");
    if (options.windowed && game.menus().IsChecked("FullMode")) game.MenuClick("WindowMode");
    PumpingGame pumping(game, audio, speech, diagnostics, session.host());
    result = game.closed() ? 0 : session.Run(pumping);
    gameTitle = GameTitleFromCaption(Cp932ToUtf8(game.WindowCaption()), kVersionCaption);
    settings.GatherFrom(game, audio);
    if (const std::optional<Scaling> chosen = session.host().chosenScaling();
        chosen && ScalingName(*chosen) != options.scaling)
      settings.settings().scaling = ScalingName(*chosen);
  }
  settings.Save(stderr);
  // The game heads the start screen's list next time, under the title it showed.
  if (settingsPath) RememberGame(*settingsPath, options.gameDir, gameTitle, stderr);
  return result;
}

}  // namespace orv

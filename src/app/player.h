#pragma once
// The player: the composition root that owns the game's parts for the life of the program
// (the stage, the interpreter, the sound, the menus, the scene record and the variables) and
// routes the backend's events to them, one at a time, as the kit's main window did. Each part
// keeps its own state; the player holds only what belongs to the window itself (its modes,
// timers and the interaction state) and answers the parts' few questions about it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/auto_mode.h"
#include "app/input_gate.h"
#include "app/input_state.h"
#include "app/menus.h"
#include "app/save_slots.h"
#include "app/screenshots.h"
#include "app/skip_control.h"
#include "app/spoken_text.h"
#include "app/story_rollback.h"
#include "app/text_feed.h"
#include "app/text_socket_control.h"
#include "app/wait_indicator.h"
#include "app/window_timers.h"
#include "choice/choices.h"
#include "graphics/history_screen.h"
#include "graphics/stage.h"
#include "logic/command_context.h"
#include "logic/variable_store.h"
#include "persist/scene_record.h"
#include "persist/scene_state.h"
#include "platform/game_events.h"
#include "platform/services.h"
#include "platform/write_folder.h"
#include "script/interpreter.h"
#include "script/startup_definitions.h"
#include "sound/sound_system.h"
#include "sound/volume_dialog.h"

namespace orv {

inline constexpr std::string_view kVersionCaption = "Orvane Ver 2.12";
inline constexpr std::string_view kAboutText = "Orvane Ver2.11";

// The window's own modes.
struct WindowState {
  std::string applicationTitle;  // the message boxes' title
  int32_t fullScreen = 0;
  int32_t menuHidden = 0;
  bool enabled = true;
};

struct PlayerOptions {
  // Lines one step may read before the script counts as caught in an endless loop; 0 for no
  // limit (scripts may loop as long as they like).
  int64_t maxStepLines = 0;
  // RANDOM's starting state; by default the local time, as the platform's clock tells it (so a
  // headless run with a fixed date draws the same numbers every time).
  std::optional<uint32_t> randomSeed;
  // Where save slots, variable files, the settings file and saved screens go (--save-dir);
  // without it the game folder when writable, else a folder of the game's own.
  std::optional<std::filesystem::path> saveDir;
  // Where screenshots go; without it orvane/ in the desktop's pictures folder.
  std::optional<std::filesystem::path> screenshotDir;
  // A cue sheet to take the CD's tracks from (--cd-image), instead of the game folder's own.
  std::optional<std::filesystem::path> cdImage;
  // Speech is on from the start (--speak).
  bool speak = false;
  // How many advances back the story can be stepped through; 0 keeps none.
  size_t rollbackPoints = RollbackLimits{}.maxPoints;
};

class StateDump;

class Player final : public GameEvents, private StepHost, private PlayerControl, private ChoiceStory {
 public:
  Player(PlatformServices services_, PlayerOptions options = {});
  ~Player() override;
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // --- start-up and close ---
  void FormCreate();
  // Back to the player just constructed, before FormCreate, with the same services and
  // options, so that one player can start game after game. The layers and the history keep
  // their storage, and the layers their pictures until FormCreate clears them. Whatever still
  // plays on the audio device is the device owner's to stop.
  void Reset();
  bool closed() const { return closed_; }
  // The first scenario could not be loaded: the game never started.
  bool startFailed() const { return startFailed_; }

  // --- GameEvents (what the backends call) ---
  void Shown() override;
  void Click() override;
  void MouseDown(MouseButton button, int x, int y) override;
  void MouseMove(int x, int y) override { FormMouseMove(x, y); }
  void KeyDown(KeyPress key) override;
  void Wheel(WheelDirection direction) override;
  void MenuClick(std::string_view name) override;
  void CloseRequested() override { Close(); }
  void HoldSkip(bool held) override { skip_.Hold(held); }
  bool TakesInputFrom(uint32_t arrivedMs) const override { return inputGate_.Takes(arrivedMs); }
  bool NextTimerDue(uint32_t& dueMs) override;
  // As NextTimerDue, leaving out the timers whose handlers have nothing to do now (no skip, no
  // wait mark to blink): what a real-time loop must wake for. Those fire late, at its next turn.
  bool NextWakeDue(uint32_t& dueMs);
  void FireDueTimers(uint32_t nowMs) override;
  bool Closed() const override { return closed_; }

  uint32_t StartTimerIntervalMs() const { return timers_.Interval(WindowTimerId::Start); }
  uint32_t ClockMs() { return services_.clock.NowMs(); }

  // --- what the runs, the settings and tests read; the state dump reads every part ---
  friend class StateDump;
  const Stage& stage() const { return stage_; }
  const Choices& choices() const { return choices_; }
  const Menus& menus() const { return menus_; }
  // The scenario file init.def names.
  const std::string& FirstScenarioName() const { return defs_.scenarioFileName; }
  // The window's caption as the game last set it.
  std::string WindowCaption() const { return scene_.windowCaption.str(); }
  // Where the pointer last moved to in the window.
  int PointerX() const { return input_.pointerX; }
  int PointerY() const { return input_.pointerY; }
  const AutoAdvanceDelays& AutoDelays() const { return autoMode_.delays(); }
  void SetAutoDelays(const AutoAdvanceDelays& delays) { autoMode_.SetDelays(delays); }

  // --- the player's own features ---
  void SetAutoMode(bool on) { autoMode_.SetOn(on); }
  // Writes the window's picture as a PNG into the screenshot folder and notes where; the file,
  // or nothing when it could not be written (the player is told why).
  std::optional<std::filesystem::path> TakeScreenshot() { return screenshots_.Take(stage_.WindowPicture()); }

  // Spoken text: on or off, as the key V, the menu and the settings set it.
  bool SpeechOn() const { return spokenText_.on(); }
  void SetSpeechOn(bool on) { spokenText_.SetOn(on); }

  // The volume the player last set for `line` in the volume dialog; nothing when they never
  // changed it.
  std::optional<uint32_t> ChosenVolume(VolumeLine line) const { return chosenVolumes_[size_t(line)]; }

  // The game's text, as it appears, also goes to `out` (the clipboard, a log).
  void SendTextTo(TextOut& out) { textFeed_.Add(out); }
  // The reading tools' WebSocket on 127.0.0.1 (the menu item TextSocket turns it on and off).
  TextSocketControl& textSocket() { return textSocket_; }
  const TextSocketControl& textSocket() const { return textSocket_; }

  // --- stepping back through the story (app/rollback.cpp) ---
  // Back one advance, or forward again along the path taken; false when there is none to go
  // to, or stepping back is off now (the game has turned saving or loading off).
  bool StepBack();
  bool StepForward();
  bool RollbackAllowed() const;
  const RollbackRing& rollback() const { return rollback_.ring(); }

  // Restores the game from a slot file ("data_3.dat", or a name a choice builds); false when
  // there is no such file or it cannot be restored, and then nothing has changed.
  bool LoadSlot(std::string_view fileName);
  // The last save point with the variables as they stand now: what a slot save writes.
  SceneRecord CaptureScene() const;
  // Brings the game back to a captured save point, as loading a slot does, without reading on:
  // every part restores itself from the record. When the record's scenario cannot be opened
  // or its read position lies outside it, nothing has changed and nobody has been told.
  Result<void> RestoreScene(const SceneRecord& record);

 private:
  // --- start-up and close ---
  void Init();
  void FormClose();
  void BindCommands();
  bool LoadFirstScenario();

  // --- the player's own keys and menu items (app/player_features.cpp) ---
  // True when the key or item is the player's own and has been handled.
  bool PlayerKey(KeyPress key);
  bool PlayerMenuClick(std::string_view name);
  bool MayAdvanceByItself() const;

  // --- input (app/input.cpp) ---
  void NextClick();
  void FormClick();
  void FormMouseDown(MouseButton button, int x, int y);
  void FormKeyDown(KeyPress key);
  void FormMouseMove(int x, int y);
  // A handler that began at `sinceMs` has returned: when it took time, what came meanwhile is
  // stale.
  void HandlerReturned(uint32_t sinceMs);
  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();

  // --- the history screen and the wheel (app/history_input.cpp) ---
  void OpenHistory();
  void HistoryMouseMove(int x, int y);
  void HistoryClick();
  void FormMouseWheel(WheelDirection direction);
  HistoryView HistoryViewNow();

  // --- menu actions (app/menus.cpp) ---
  void ChooseMenuItem(std::string_view name);
  void ToggleSkipMode() { skip_.Toggle(); }
  void TogglePageMode();
  void ToggleStayOnTop();
  void ShowAbout();
  void EnterFullScreen();
  void EnterWindowMode();
  void ShowVolumeDialog();

  // One interpreter step, then what it leaves to be said: an unfinished line, a new choice.
  void RunStep();
  void LineEnded() override { spokenText_.LineEnded(SkipMode()); }

  // --- saving, loading, the title and the screen (app/saving.cpp) ---
  void SaveSlot(int slot);
  void LoadSlotAndGoOn(int slot);
  void ReturnToTitle();
  void SaveScreen();
  void RegRead();
  void RegWrite();
  bool SavepointCommand();
  bool EnableMenuCommand(std::string_view menu);

  // --- stepping back (app/rollback.cpp) ---
  // After an advance: the story as it now stands, kept as the newest point.
  void RecordRollbackPoint();
  // The player's own keys for stepping back and forward; true when handled.
  bool RollbackKey(KeyPress key);

  // --- the scene ---
  void TakeSavePoint(bool setReadPosition = true);
  void TakeStartingSavePoint();
  void ResetScene();
  void ClearStage();
  FontSpec MessageFont() const;

  // --- timers ---
  void Fire(WindowTimerId timer, void (Player::*handler)(), uint32_t nowMs);
  void EnableTimer(WindowTimerId timer, bool enabled);

  // --- StepHost and Dialogs ---
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                     std::string_view defaultText) override;
  int TypeText(std::string_view text, int x, int y) override;
  void RepaintScreen() override { stage_.RepaintScreen(); }
  bool PageMode() const override { return menus_.IsChecked("P1"); }
  void WaitMs(int32_t ms) override;
  void KeepAlive() override;
  int LineAdvance() const override { return scene_.lineSpacing + scene_.fontSize; }
  int32_t TextWaitMs() const override { return scene_.textWaitMs; }
  int32_t TextOriginX() const override { return scene_.textX; }
  void Close() override;
  bool WindowClosed() const override { return closed_; }

  // --- PlayerControl ---
  void EndGame() override { Close(); }
  bool PageModeOn() const override { return PageMode(); }
  bool SkipMode() const override { return skip_.Requested(); }
  void StopSkipping() override { skip_.StopAndShow(); }
  void SetMessageSpeed(int level) override;
  void SetCaption(std::string_view caption) override;
  void ClearWaitIndicator() override { waitIndicator_.Clear(); }
  void SetWaitIndicatorTimer(bool enabled) override { EnableTimer(WindowTimerId::Blink, enabled); }
  void SetWaitIndicatorInterval(uint32_t ms) override;
  void OpenExternally(const std::string& target) override { services_.host.OpenExternally(target); }
  bool SetCursorFromFile(const std::filesystem::path& file) override { return services_.host.SetCursorFromFile(file); }
  void Note(std::string_view text) override;
  // --- ChoiceStory (app/choice_story.cpp) ---
  ChoiceContext ChoiceParts();
  std::optional<std::string_view> FetchLine() override;
  void ShowScreen() override { stage_.RepaintScreen(); }
  void PresentWindow() override { stage_.PresentWindow(); }
  void Pause(int32_t ms) override { WaitMs(ms); }
  void Tell(std::string_view sjisText) override { ShowMessage(sjisText); }
  void NoteAtLine(std::string_view text) override { Note(text); }
  std::string LoadMenuCaption(int slot) const override;
  PictureLoad LoadPicture(std::string_view name) override;
  // --- offering and taking a choice (app/choice_story.cpp) ---
  // SELECT and SELECTCG: the wait mark goes, the choice is put up, and a choice that waits
  // ends skip mode.
  bool OfferChoice(bool pictureChoice);
  // The blinking wait indicator: stopping it also erases it.
  void StopWaitIndicator();
  // Carries out the outcome of an entry of the waiting choice (a picture choice's or not) and,
  // when the story goes on past the choice, closes it and reads on.
  void CarryOutChoice(const std::optional<ChoiceOutcome>& outcome, bool pictureChoice);
  // True when the story goes on past the choice.
  bool CarryOut(const ChoiceOutcome& outcome);
  // StepHost: a choice put up by a command ends the step.
  bool ChoiceWaiting() const override { return choices_.Waiting(); }
  void StepEnded() override;

  // The parts, in the order they are made: a part may be given those above it.
  PlatformServices services_;
  SceneState scene_;
  SceneState savePoint_;
  VariableStore vars_;
  StartupDefinitions defs_;
  Menus menus_;
  Stage stage_;
  Interpreter interpreter_;
  SoundSystem sound_;
  Choices choices_;
  InputState input_;
  SkipControl skip_;
  WindowState window_;
  HistoryScreen historyScreen_;
  WaitIndicator waitIndicator_;
  // The volume dialog open now, or else the last one as it closed; none before the first.
  std::unique_ptr<VolumeDialog> volumeDialog_;
  uint32_t randomState_ = 1;
  WriteFolder writeFolder_;
  SaveSlots saveSlots_;
  TextSocketControl textSocket_;
  TextFeed textFeed_;
  SpokenText spokenText_;
  AutoMode autoMode_;
  PlayerOptions options_;
  Screenshots screenshots_;
  CommandContext context_;
  // The form's timers as designed: skip, the wait indicator's blink, the start.
  WindowTimers timers_;
  StoryRollback rollback_;
  bool closed_ = false;
  bool startFailed_ = false;
  bool NextDue(uint32_t& dueMs, bool onlyWithWork);
  bool BlinkTimerHasWork() const;
  InputGate inputGate_;
  std::array<std::optional<uint32_t>, 3> chosenVolumes_;  // by VolumeLine
};

}  // namespace orv

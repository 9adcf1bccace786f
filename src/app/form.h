#pragma once
// The main window: it owns every piece of game state for the life of the program, runs the
// event handlers one at a time, and reaches the world only through the platform services it
// was given. Fields are public on purpose: the command handlers are plain functions that work
// on the window's state, as the kit's own design has it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "graphics/history_screen.h"
#include "logic/variable_store.h"
#include "persist/scene_state.h"
#include "platform/game_events.h"
#include "platform/image.h"
#include "platform/menu.h"
#include "platform/services.h"
#include "platform/text_layer.h"
#include "script/command_table.h"
#include "script/message_history.h"
#include "script/scenario_source.h"
#include "script/script_reader.h"
#include "script/startup_definitions.h"
#include "sound/cd_tracks.h"
#include "sound/midi_player.h"
#include "sound/volume_dialog.h"

namespace orv {

class PictureCache;

inline constexpr std::string_view kVersionCaption = "Orvane Ver 2.12";
inline constexpr std::string_view kAboutText = "Orvane Ver2.11";

// A window timer: fires from the main loop when due, never during a wait.
struct FormTimer {
  uint32_t intervalMs = 0;
  bool enabled = false;
  uint32_t dueMs = 0;
};

enum InteractionState : int32_t { kHidden = 0, kShown = 1, kHistory = 2 };

class TForm1 : public GameEvents {
 public:
  explicit TForm1(PlatformServices services);
  ~TForm1() override;

  // --- start-up and close ---
  void FormCreate();
  void FormShow();
  void Init();
  // Closes the main window: FormClose runs once and the program ends after the current
  // handler returns.
  void Close();
  void FormClose();
  bool closed = false;

  // --- GameEvents (what the backends call) ---
  void Shown() override { FormShow(); }
  void Click() override { FormClick(); }
  void MouseDown(MouseButton button, int x, int y) override;
  void MouseMove(int x, int y) override { FormMouseMove(x, y); }
  void KeyDown(KeyPress key) override { FormKeyDown(key); }
  void Wheel(WheelDirection direction) override { FormMouseWheel(direction); }
  void MenuClick(std::string_view name) override;
  void CloseRequested() override { Close(); }
  bool NextTimerDue(uint32_t& dueMs) override;
  void FireDueTimers(uint32_t nowMs) override;
  bool Closed() const override { return closed; }

  // --- input ---
  void NextClick();
  void FormClick();
  void FormMouseDown(MouseButton button, int x, int y);
  void FormKeyDown(KeyPress key);
  void FormMouseMove(int x, int y);
  void FormMouseWheel(WheelDirection direction);
  void SKIPClick();
  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();
  void ClearWaitIndicator();

  // --- the history screen (graphics/history_screen.h) ---
  void OpenHistory();
  void HistoryMouseMove(int x, int y);
  void HistoryClick();
  HistoryView HistoryViewNow();
  HistoryScreen historyScreen;

  // --- menus and window modes ---
  void BuildMenu();
  void MenuChanged();
  void SetChecked(std::string_view item, bool checked);
  bool IsChecked(std::string_view item) const;
  void SetEnabled(std::string_view item, bool enabled);
  void SpeedClick(int level);  // vol1Click .. vol5Click
  void P1Click();
  void N3Click();
  void N5Click();
  void About1Click();
  void FullModeClick();
  void WindowModeClick();
  void VolumeClick();
  bool pageMode() const { return IsChecked("P1"); }

  // --- the text interpreter ---
  void InterpretStep();
  bool FetchLine();
  void TypeText(std::string_view text);
  void WaitMs(int32_t ms);
  // Types a variable's text in the flow of the message and records it in the history.
  void TypeAndRecord(std::string_view text);

  // --- scene ---
  void TakeSavePoint(bool setReadPosition = true);
  void ResetScene();
  void ClearStage();
  bool LoadFirstScenario();
  // Loads another scenario; on failure shows the loader's message and changes nothing.
  bool SwitchScenario(std::string_view name);

  // --- drawing onto the window ---
  void RepaintScreen();  // ScreenImage onto the window surface, then present
  void PresentWindow();  // show the window surface as it is
  FontSpec MessageFont() const;
  Rect MessageBox() const;
  void TintMessageBox(uint8_t opacity, uint8_t red, uint8_t green, uint8_t blue);
  // False when a picture could not be loaded and that ends the command (the player has been
  // told); StageImage then stays as it was.
  bool ComposeStage(bool restoreBox);
  void ComposeStageToWindow();
  void PresentStage();
  // --- the stage's pictures (graphics/stage.cpp); false as for ComposeStage ---
  bool LoadBackground();
  bool PasteCharacter(int slot, Image& buffer, int mode);
  bool BlendMaskedPicture(Image& buffer, std::string_view name, int x, int y);
  PictureCache& pictures();  // the decoded-picture cache over the picture package and folder

  // --- boxes and dialogs (texts are Shift-JIS) ---
  void ShowMessage(std::string_view text);
  bool AskYesNo(std::string_view text, std::string_view caption);
  void SetCaption(std::string_view caption);

  // --- services ---
  PlatformServices services;
  Host& host() { return services.host; }
  Clock& clock() { return services.clock; }
  const GameFolder& folder() const { return services.folder; }

  // --- layers (all 640 x 480) ---
  Image screenImage, stageImage, tintImage, savedScreenImage;
  TextLayer textImage;
  Image windowSurface;      // what the window shows
  Image backgroundPixels;   // the current background
  Image lineWaitIcon, pageWaitIcon;  // empty when the game has none
  std::unique_ptr<PictureCache> pictureCache;  // made in FormCreate, once init.def is read

  // --- window state ---
  std::string applicationTitle;
  int32_t messageDelayMs = 0;
  uint32_t savedWaveVolume = 0, savedMidiVolume = 0, savedCdVolume = 0;
  bool haveSavedVolumes[3] = {false, false, false};
  MenuModel menu;
  int32_t fullScreen = 0;
  int32_t menuHidden = 0;
  FormTimer timer1{20, true}, timer2{100, true}, timer3{10, false};
  bool windowEnabled = true;

  // --- input state ---
  int32_t interactionState = kShown;
  bool skipMode = false;
  bool blinkPhase = false;
  bool choiceActive = false;
  bool pictureChoiceActive = false;
  int32_t hoveredChoice = 0;
  bool pointerOnChoice = false;
  int pointerX = 0, pointerY = 0;

  // --- script ---
  StartupDefinitions defs;
  ScenarioSource scenario;
  ScriptReader reader;
  CommandTable commands;
  std::string lineBuffer;
  int32_t scriptOffset = 0;
  int32_t pageIndex = 0;
  int32_t textCursorX = 0, textCursorY = 0;
  bool pageEnded = false;
  MessageHistory history;
  // Lines fetched since the current step began; a step that reads this many lines without
  // ever waiting for the player is a script caught in an endless loop.
  int64_t linesThisStep = 0;
  int64_t runawayLines = 4000000;

  // --- sound ---
  void PlayWave(int32_t flag);
  void StopWave();
  void PlayCdTrack();
  void StopCd();
  std::unique_ptr<MidiPlayer> midiPlayer;
  CdTrackSet cdTracks;
  // The volume dialog open now, or else the last one as it closed; none before the first.
  std::unique_ptr<VolumeDialog> volumeDialog;
  uint32_t cdStartedMs = 0;

  // --- scene and variables ---
  SceneState scene;
  SceneState savePoint;
  ColorRef textColor = 0;
  VariableStore vars;
  uint32_t randomState = 1;

 private:
  void Fire(FormTimer& timer, void (TForm1::*handler)(), uint32_t nowMs);
  void EnableTimer(FormTimer& timer, bool enabled);
  Rect WaitIndicatorRect(bool forPage) const;
  // Runs what the interpreter reads after a text-control backslash; false ends the step.
  bool TextControl(bool& nextLine, char& last);
  bool RunCommand(bool& nextLine, char& last);

 public:
  void SetTimer2Interval(uint32_t ms);
  void SetTimer2Enabled(bool enabled) { EnableTimer(timer2, enabled); }
};

// Converts a UTF-8 literal in our sources to the Shift-JIS the game shows.
std::string Sj(std::string_view utf8);

}  // namespace orv

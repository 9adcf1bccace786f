#include "app/player.h"

#include <algorithm>
#include <filesystem>

#include "logic/inline_forms.h"
#include "platform/sjis.h"

namespace orv {

namespace {
const std::string kApplicationTitle = "アドベンチャーゲーム製作支援ソフト『Orvane』　";

bool Due(uint32_t nowMs, uint32_t dueMs) { return int32_t(nowMs - dueMs) >= 0; }

// A disc image the user names may be a link: its sheet names files beside the file it leads to.
std::optional<std::filesystem::path> ThroughLinks(const std::optional<std::filesystem::path>& path) {
  if (!path) return path;
  std::error_code ec;
  std::filesystem::path real = std::filesystem::canonical(*path, ec);
  return ec ? path : real;
}
}  // namespace

Player::Player(PlatformServices s, PlayerOptions options)
    : services(s),
      menus(s.host),
      stage(s.host, s.clock, s.fonts, s.folder, scene, static_cast<StepHost&>(*this)),
      interpreter(s.folder, static_cast<StepHost&>(*this)),
      sound(s.audio, s.folder, scene),
      writeFolder(s.folder, WriteFolder::Resolve(s.folder.root(), options.saveDir)),
      slotFiles(writeFolder),
      narrator(s.speech),
      options_(options),
      context_{interpreter.reader, vars, scene, static_cast<StepHost&>(*this), interpreter,
               static_cast<PlayerControl&>(*this), s.folder, randomState} {
  window.applicationTitle = Sj(kApplicationTitle);
  interpreter.maxStepLines = options.maxStepLines;
  if (options.speak) SetSpeechOn(true);
  sound.SetNotes([this](std::string_view problem) { services.diagnostics.Note(problem); });
  textFeed_.Add(textSocket_);
  // A player killed while it saved left its temporary file; this start owns the folder now.
  writeFolder.RemoveLeftovers();
  // The handlers are bound to this player's parts, which never change: the table is filled
  // once, as the kit's start-up filled it, and a reset keeps it.
  BindCommands();
}

Player::~Player() = default;

void Player::Reset() {
  SetTextSocket(false, textSocket_.port());
  scene = SceneState();
  savePoint = SceneState();
  vars.Clear();
  defs = StartupDefinitions();
  menus.Reset();
  stage.Reset();
  interpreter.Reset();
  sound.Reset();
  choices.Reset();
  input = InputState();
  window = WindowState();
  window.applicationTitle = Sj(kApplicationTitle);
  historyScreen = HistoryScreen();
  volumeDialog.reset();
  randomState = 1;
  timer1_ = kSkipTimer;
  timer2_ = kBlinkTimer;
  timer3_ = kStartTimer;
  closed_ = false;
  startFailed_ = false;
  skipHeld_ = false;
  skipShown_ = false;
  autoAdvance = AutoAdvance();
  spokenChoice_ = -1;
  SetSpeechOn(options_.speak);
}

void Player::FormCreate() {
  // As the runtime's generator is seeded with time(): the seconds since 1970 (here, of the
  // local time the platform's clock gives).
  randomState = options_.randomSeed ? *options_.randomSeed : uint32_t(SecondsSinceEpoch(services.clock.LocalNow()));
  stage.LoadWaitIcons();
  Result<StartupDefinitions> definitions = ReadStartupDefinitions(services.folder);
  defs = definitions.value_or(StartupDefinitions());
  if (!definitions) defs.problem = definitions.error().message;
  sound.Prepare(defs.wavePackageName, defs.musicPackageName);
  if (const std::string problem = sound.PrepareCd(ThroughLinks(options_.cdImage)); !problem.empty())
    services.diagnostics.Note(problem);
  stage.UsePicturePackage(defs.picturePackageName);
  sound.KeepDeviceVolumes();
  EnableTimer(timer1_, true);
  EnableTimer(timer2_, true);
  ResetScene();
  Init();
  ClearStage();
  RegRead();
  stage.screenImage.Fill(Rgb{});
  stage.RepaintScreen();
  TakeStartingSavePoint();
}

void Player::TakeStartingSavePoint() {
  // The kit took its first save point only when the first page ended, so a game saved before
  // then stored an empty scene (no scenario to resume) or, after a return to the title, the
  // last game's page. The top of the game is where such a save belongs.
  if (!closed_) TakeSavePoint();
}

void Player::Init() {
  scene.windowCaption.Set(Sj(kVersionCaption));
  SetCaption(scene.windowCaption.str());
  RefreshSlotCaptions();
  interpreter.textCursorX = 0;
  interpreter.textCursorY = 0;
  interpreter.messageDelayMs = 50;
  input.skipMode = false;
  input.choiceActive = false;
  if (!LoadFirstScenario()) {
    // Without a scenario there is nothing to play: say so and end, rather than run on an
    // empty text.
    // Under the kit's words, what went wrong, for those who do not read them: what is wrong
    // with init.def when something is, else the scenario file that could not be read.
    const std::string detail =
        !defs.problem.empty() ? defs.problem
                              : "the first scenario " + (defs.scenarioFileName.empty() ? std::string("(none named)")
                                                                                         : defs.scenarioFileName) +
                                    " could not be read, so the game cannot start";
    const std::string problem = Sj("シナリオファイルの読みこみに失敗しました。");
    narrator.Say(problem);
    services.host.ShowProblem(problem, window.applicationTitle, detail);
    services.diagnostics.Note(detail);
    startFailed_ = true;
    Close();
    return;
  }
  scene.readPosition = 0;
  interpreter.scriptOffset = 0;
  scene.historyFontSize = 12;
  scene.historyLeft = 0;
  scene.historyTop = 0;
  scene.historyRight = kStageWidth;
  scene.historyBottom = kStageHeight;
  scene.historyMode = 0;
  scene.historyTextColor = 0xFFFFFF;
  services.host.ResetCursor();
}

bool Player::LoadFirstScenario() {
  std::string name;
  if (!interpreter.LoadFirstScenario(defs.scenarioFileName, name)) return false;
  scene.scenarioName.Set(name);
  return true;
}

void Player::Shown() {
  SetCaption(Sj(kVersionCaption));
  EnableTimer(timer3_, true);
}

void Player::Close() {
  if (closed_) return;
  FormClose();
  closed_ = true;
}

void Player::FormClose() {
  RegWrite();
  if (window.fullScreen == 1 && menus.IsChecked("FullMode")) services.host.SetFullScreen(false);
  sound.StopCd();
  scene.cdMode = -1;
  sound.StopWave();
  sound.music().UnloadSong();
  sound.RestoreDeviceVolumes();
}

// --- the scene ---

void Player::TakeSavePoint(bool setReadPosition) {
  if (setReadPosition) scene.readPosition = interpreter.scriptOffset;
  scene.textColorAtSavePoint = interpreter.textColor;
  savePoint = scene;
}

void Player::ResetScene() {
  input.choiceActive = false;
  input.pictureChoiceActive = false;
  input.hoveredChoice = 0;
  input.pointerOnChoice = false;
  scene = ResetSceneState();
  vars.Clear();
  stage.ForgetBackground();
  menus.SetEnabled("SKIP", true);
  input.interactionState = kShown;
  window.enabled = true;
  window.menuHidden = 0;
  window.fullScreen = 1;
}

void Player::ClearStage() {
  scene.backgroundColor = 0;
  stage.ClearLayers();
}

FontSpec Player::MessageFont() const {
  // A size of 0 (no FONTSIZE yet) draws at the form's default size, as the window's font
  // does; the line advance still uses the stored number.
  const int size = scene.fontSize > 0 ? scene.fontSize : 12;
  return FontSpec{scene.fontName.str(), size, RgbFromColorRef(interpreter.textColor)};
}

// --- timers ---

void Player::EnableTimer(WindowTimer& timer, bool enabled) {
  timer.enabled = enabled;
  if (enabled) timer.dueMs = services.clock.NowMs() + timer.intervalMs;
}

void Player::SetWaitIndicatorInterval(uint32_t ms) {
  timer2_.intervalMs = ms;
  if (timer2_.enabled) timer2_.dueMs = services.clock.NowMs() + ms;
}

bool Player::NextTimerDue(uint32_t& dueMs) { return NextDue(dueMs, false); }

bool Player::NextWakeDue(uint32_t& dueMs) { return NextDue(dueMs, true); }

bool Player::SkipTimerHasWork() const { return input.skipMode || skipHeld_ || skipShown_; }

bool Player::BlinkTimerHasWork() const {
  return scene.nvMode != 0 && input.interactionState != kHidden && !input.choiceActive;
}

bool Player::NextDue(uint32_t& dueMs, bool onlyWithWork) {
  bool any = false;
  const uint32_t now = services.clock.NowMs();
  for (const WindowTimer* t : {&timer1_, &timer2_, &timer3_}) {
    if (!t->enabled || t->intervalMs == 0) continue;
    // A timer whose handler would do nothing need not wake anyone; once it has work again, it
    // is overdue and fires at the loop's next turn.
    if (onlyWithWork && ((t == &timer1_ && !SkipTimerHasWork()) || (t == &timer2_ && !BlinkTimerHasWork()))) continue;
    if (!any || int32_t(t->dueMs - now) < int32_t(dueMs - now)) dueMs = t->dueMs;
    any = true;
  }
  if (const auto autoDue = autoAdvance.dueMs()) {
    if (!any || int32_t(*autoDue - now) < int32_t(dueMs - now)) dueMs = *autoDue;
    any = true;
  }
  return any;
}

void Player::Fire(WindowTimer& timer, void (Player::*handler)(), uint32_t nowMs) {
  // A timer with a zero interval never fires, as the form library's did: a game that never set
  // the blink interval (a loaded slot restores it as 0) must not wake the loop every moment.
  if (closed_ || !timer.enabled || timer.intervalMs == 0 || !Due(nowMs, timer.dueMs)) return;
  timer.dueMs = nowMs + timer.intervalMs;
  (this->*handler)();
}

void Player::FireDueTimers(uint32_t nowMs) {
  const uint32_t since = services.clock.NowMs();
  Fire(timer1_, &Player::Timer1Timer, nowMs);
  Fire(timer2_, &Player::Timer2Timer, nowMs);
  Fire(timer3_, &Player::Timer3Timer, nowMs);
  if (!closed_) AutoAdvanceTimer(nowMs);
  HandlerReturned(since);
}

void Player::Timer3Timer() {
  EnableTimer(timer3_, false);
  FormClick();
}

// --- what the interpreter and the commands ask of the window ---

void Player::ShowMessage(std::string_view text) {
  narrator.Say(text);
  textFeed_.Send(text);
  services.host.ShowMessage(text, window.applicationTitle);
}

bool Player::AskYesNo(std::string_view text, std::string_view caption) {
  narrator.Say(text);
  textFeed_.Send(text);
  return services.host.AskYesNo(text, caption);
}

std::optional<std::string> Player::AskText(std::string_view caption, std::string_view prompt,
                                           std::string_view defaultText) {
  // What the box asks and what stands in it already.
  narrator.Say(std::string(caption) + "\n" + std::string(prompt) + "\n" + std::string(defaultText));
  textFeed_.Send(prompt);
  return services.host.AskText(caption, prompt, defaultText);
}

void Player::SetCaption(std::string_view caption) {
  window.applicationTitle = std::string(caption);
  services.host.SetCaption(caption);
}

int Player::TypeText(std::string_view text, int x, int y) {
  autoAdvance.CountTyped(text);
  narrator.Typed(text);
  textFeed_.Typed(text);
  return stage.TypeText(text, x, y, MessageFont(), interpreter.messageDelayMs, PageMode(),
                        inputGate_.TypingPressesSeen(services.clock.GoOnPresses()));
}

void Player::WaitMs(int32_t ms) {
  stage.Wait(ms);
  if (services.clock.QuitRequested()) Close();
}

void Player::KeepAlive() {
  services.clock.KeepAlive();
  if (services.clock.QuitRequested()) Close();
}

void Player::Note(std::string_view text) {
  const std::string where = Cp932ToUtf8(scene.scenarioName.str()) + ":" +
                            std::to_string(interpreter.CurrentLineNumber());
  services.diagnostics.Note(where + ": " + std::string(text));
}

}  // namespace orv

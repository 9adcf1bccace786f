#include "app/player.h"

#include <algorithm>
#include <filesystem>

#include "logic/inline_forms.h"
#include "platform/sjis.h"

namespace orv {

namespace {
const std::string kApplicationTitle = "アドベンチャーゲーム製作支援ソフト『Orvane』　";

// A disc image the user names may be a link: its sheet names files beside the file it leads to.
std::optional<std::filesystem::path> ThroughLinks(const std::optional<std::filesystem::path>& path) {
  if (!path) return path;
  std::error_code ec;
  std::filesystem::path real = std::filesystem::canonical(*path, ec);
  return ec ? path : real;
}
}  // namespace

Player::Player(PlatformServices s, PlayerOptions options)
    : services_(s),
      menus_(s.host),
      stage_(s.host, s.clock, s.fonts, s.folder, scene_, static_cast<StepHost&>(*this)),
      interpreter_(s.folder, static_cast<StepHost&>(*this)),
      sound_(s.audio, s.folder, scene_),
      skip_(s.host, choices_, input_),
      waitIndicator_(stage_, scene_, interpreter_),
      writeFolder_(s.folder, WriteFolder::Resolve(s.folder.root(), options.saveDir)),
      saveSlots_(writeFolder_, menus_),
      textSocket_(menus_, s.diagnostics),
      spokenText_(s.speech, menus_, textFeed_),
      autoMode_(menus_, s.clock),
      options_(options),
      screenshots_(s.host, s.diagnostics, s.clock, s.folder, options.screenshotDir),
      context_{interpreter_.reader(),
               vars_,
               scene_,
               static_cast<StepHost&>(*this),
               interpreter_,
               static_cast<PlayerControl&>(*this),
               s.folder,
               randomState_},
      rollback_({scene_, savePoint_, vars_, stage_, interpreter_, choices_, menus_, sound_, randomState_,
                 static_cast<PlayerControl&>(*this), s.host, s.folder},
                options.rollbackPoints) {
  window_.applicationTitle = Sj(kApplicationTitle);
  interpreter_.LimitStepLines(options.maxStepLines);
  if (options.speak) spokenText_.SetOn(true);
  sound_.SetNotes([this](std::string_view problem) { services_.diagnostics.Note(problem); });
  textFeed_.Add(textSocket_.out());
  // A player killed while it saved left its temporary file; this start owns the folder now.
  writeFolder_.RemoveLeftovers();
  // The handlers are bound to this player's parts, which never change: the table is filled
  // once, as the kit's start-up filled it, and a reset keeps it.
  BindCommands();
}

Player::~Player() = default;

void Player::Reset() {
  textSocket_.Set(false, textSocket_.port());
  scene_ = SceneState();
  savePoint_ = SceneState();
  vars_.Clear();
  defs_ = StartupDefinitions();
  menus_.Reset();
  stage_.Reset();
  interpreter_.Reset();
  sound_.Reset();
  choices_.Reset();
  input_ = InputState();
  window_ = WindowState();
  window_.applicationTitle = Sj(kApplicationTitle);
  historyScreen_ = HistoryScreen();
  waitIndicator_.Reset();
  volumeDialog_.reset();
  randomState_ = 1;
  rollback_.Clear();
  timers_.Reset();
  closed_ = false;
  startFailed_ = false;
  skip_.Reset();
  autoMode_.Reset();
  spokenText_.Reset(options_.speak);
}

void Player::FormCreate() {
  // As the runtime's generator is seeded with time(): the seconds since 1970 (here, of the
  // local time the platform's clock gives).
  randomState_ = options_.randomSeed ? *options_.randomSeed : uint32_t(SecondsSinceEpoch(services_.clock.LocalNow()));
  stage_.LoadWaitIcons();
  Result<StartupDefinitions> definitions = ReadStartupDefinitions(services_.folder);
  defs_ = definitions.value_or(StartupDefinitions());
  if (!definitions) defs_.problem = definitions.error().message;
  sound_.Prepare(defs_.wavePackageName, defs_.musicPackageName);
  if (const std::string problem = sound_.PrepareCd(ThroughLinks(options_.cdImage)); !problem.empty())
    services_.diagnostics.Note(problem);
  stage_.UsePicturePackage(defs_.picturePackageName);
  sound_.KeepDeviceVolumes();
  EnableTimer(WindowTimerId::Skip, true);
  EnableTimer(WindowTimerId::Blink, true);
  ResetScene();
  Init();
  ClearStage();
  RegRead();
  stage_.BlankScreen();
  stage_.RepaintScreen();
  TakeStartingSavePoint();
}

void Player::TakeStartingSavePoint() {
  // The kit took its first save point only when the first page ended, so a game saved before
  // then stored an empty scene (no scenario to resume) or, after a return to the title, the
  // last game's page. The top of the game is where such a save belongs.
  if (!closed_) TakeSavePoint();
}

void Player::Init() {
  scene_.windowCaption.Set(Sj(kVersionCaption));
  SetCaption(scene_.windowCaption.str());
  saveSlots_.RefreshCaptions();
  interpreter_.PlaceCursor(0, 0);
  interpreter_.SetMessageDelay(50);
  skip_.Stop();
  choices_.StopWaiting(false);
  if (!LoadFirstScenario()) {
    // Without a scenario there is nothing to play: say so and end, rather than run on an
    // empty text.
    // Under the kit's words, what went wrong, for those who do not read them: what is wrong
    // with init.def when something is, else the scenario file that could not be read.
    const std::string detail =
        !defs_.problem.empty()
            ? defs_.problem
            : "the first scenario " +
                  (defs_.scenarioFileName.empty() ? std::string("(none named)") : defs_.scenarioFileName) +
                  " could not be read, so the game cannot start";
    const std::string problem = Sj("シナリオファイルの読みこみに失敗しました。");
    spokenText_.Say(problem);
    services_.host.ShowProblem(problem, window_.applicationTitle, detail);
    services_.diagnostics.Note(detail);
    startFailed_ = true;
    Close();
    return;
  }
  scene_.readPosition = 0;
  interpreter_.ReadFromTop();
  scene_.historyFontSize = 12;
  scene_.historyLeft = 0;
  scene_.historyTop = 0;
  scene_.historyRight = kStageWidth;
  scene_.historyBottom = kStageHeight;
  scene_.historyMode = 0;
  scene_.historyTextColor = 0xFFFFFF;
  services_.host.ResetCursor();
}

bool Player::LoadFirstScenario() {
  std::string name;
  if (!interpreter_.LoadFirstScenario(defs_.scenarioFileName, name)) return false;
  scene_.scenarioName.Set(name);
  return true;
}

void Player::Shown() {
  SetCaption(Sj(kVersionCaption));
  EnableTimer(WindowTimerId::Start, true);
}

void Player::Close() {
  if (closed_) return;
  FormClose();
  closed_ = true;
}

void Player::FormClose() {
  RegWrite();
  if (window_.fullScreen == 1 && menus_.IsChecked("FullMode")) services_.host.SetFullScreen(false);
  sound_.StopCd();
  scene_.cdMode = -1;
  sound_.StopWave();
  sound_.music().UnloadSong();
  sound_.RestoreDeviceVolumes();
}

// --- the scene ---

void Player::TakeSavePoint(bool setReadPosition) {
  if (setReadPosition) scene_.readPosition = interpreter_.scriptOffset();
  scene_.textColorAtSavePoint = interpreter_.textColor();
  savePoint_ = scene_;
}

void Player::ResetScene() {
  rollback_.LeavePath();
  choices_.ForgetWaiting();
  scene_ = ResetSceneState();
  vars_.Clear();
  stage_.ForgetBackground();
  menus_.SetEnabled("SKIP", true);
  input_.interactionState = kShown;
  window_.enabled = true;
  window_.menuHidden = 0;
  window_.fullScreen = 1;
}

void Player::ClearStage() {
  scene_.backgroundColor = 0;
  stage_.ClearLayers();
}

FontSpec Player::MessageFont() const {
  // A size of 0 (no FONTSIZE yet) draws at the form's default size, as the window's font
  // does; the line advance still uses the stored number.
  const int size = scene_.fontSize > 0 ? scene_.fontSize : 12;
  return FontSpec{scene_.fontName.str(), size, RgbFromColorRef(interpreter_.textColor())};
}

// --- timers ---

void Player::EnableTimer(WindowTimerId timer, bool enabled) { timers_.Enable(timer, enabled, services_.clock.NowMs()); }

void Player::SetWaitIndicatorInterval(uint32_t ms) {
  timers_.SetInterval(WindowTimerId::Blink, ms, services_.clock.NowMs());
}

bool Player::NextTimerDue(uint32_t& dueMs) { return NextDue(dueMs, false); }

bool Player::NextWakeDue(uint32_t& dueMs) { return NextDue(dueMs, true); }

bool Player::BlinkTimerHasWork() const {
  return waitIndicator_.Blinks(input_.interactionState != kHidden && !choices_.choiceActive());
}

bool Player::NextDue(uint32_t& dueMs, bool onlyWithWork) {
  const uint32_t now = services_.clock.NowMs();
  // A timer whose handler would do nothing need not wake anyone; once it has work again, it is
  // overdue and fires at the loop's next turn.
  bool any = timers_.NextDue(now, dueMs, [&](WindowTimerId id) {
    if (!onlyWithWork) return true;
    if (id == WindowTimerId::Skip) return skip_.TimerHasWork();
    if (id == WindowTimerId::Blink) return BlinkTimerHasWork();
    return true;
  });
  if (const auto autoDue = autoMode_.dueMs()) {
    if (!any || int32_t(*autoDue - now) < int32_t(dueMs - now)) dueMs = *autoDue;
    any = true;
  }
  return any;
}

void Player::Fire(WindowTimerId timer, void (Player::*handler)(), uint32_t nowMs) {
  // A game that never set the blink interval (a loaded slot restores it as 0) must not wake
  // the loop every moment: a zero interval never fires.
  if (closed_ || !timers_.TakeIfDue(timer, nowMs)) return;
  (this->*handler)();
}

void Player::FireDueTimers(uint32_t nowMs) {
  const uint32_t since = services_.clock.NowMs();
  Fire(WindowTimerId::Skip, &Player::Timer1Timer, nowMs);
  Fire(WindowTimerId::Blink, &Player::Timer2Timer, nowMs);
  Fire(WindowTimerId::Start, &Player::Timer3Timer, nowMs);
  // An advance of auto mode is no action of the player's: what it brings is said after the
  // line still being spoken instead of cutting it off.
  if (!closed_ && autoMode_.TakeDue(nowMs) && MayAdvanceByItself()) NextClick();
  HandlerReturned(since);
}

void Player::Timer3Timer() {
  EnableTimer(WindowTimerId::Start, false);
  FormClick();
}

// --- what the interpreter and the commands ask of the window ---

void Player::ShowMessage(std::string_view text) {
  spokenText_.SayBox(text, text);
  services_.host.ShowMessage(text, window_.applicationTitle);
}

bool Player::AskYesNo(std::string_view text, std::string_view caption) {
  spokenText_.SayBox(text, text);
  return services_.host.AskYesNo(text, caption);
}

std::optional<std::string> Player::AskText(std::string_view caption, std::string_view prompt,
                                           std::string_view defaultText) {
  // What the box asks and what stands in it already.
  spokenText_.SayBox(std::string(caption) + "\n" + std::string(prompt) + "\n" + std::string(defaultText), prompt);
  return services_.host.AskText(caption, prompt, defaultText);
}

void Player::SetCaption(std::string_view caption) {
  window_.applicationTitle = std::string(caption);
  services_.host.SetCaption(caption);
}

int Player::TypeText(std::string_view text, int x, int y) {
  autoMode_.CountTyped(text);
  spokenText_.Typed(text);
  return stage_.TypeText(text, x, y, MessageFont(), interpreter_.messageDelayMs(), PageMode(),
                         inputGate_.TypingPressesSeen(services_.clock.GoOnPresses()));
}

void Player::WaitMs(int32_t ms) {
  stage_.Wait(ms);
  if (services_.clock.QuitRequested()) Close();
}

void Player::KeepAlive() {
  services_.clock.KeepAlive();
  if (services_.clock.QuitRequested()) Close();
}

void Player::Note(std::string_view text) {
  const std::string where =
      Cp932ToUtf8(scene_.scenarioName.str()) + ":" + std::to_string(interpreter_.CurrentLineNumber());
  services_.diagnostics.Note(where + ": " + std::string(text));
}

}  // namespace orv

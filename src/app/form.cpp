#include "app/form.h"

#include <ctime>

#include "graphics/bmp_decoder.h"
#include "graphics/picture_cache.h"
#include "platform/sjis.h"

namespace orv {

std::string Sj(std::string_view utf8) { return Utf8ToCp932(utf8); }

namespace {
const std::string kApplicationTitle = "アドベンチャーゲーム製作支援ソフト『Orvane』　";

bool Due(uint32_t nowMs, uint32_t dueMs) { return int32_t(nowMs - dueMs) >= 0; }
}  // namespace

TForm1::TForm1(PlatformServices s)
    : services(s),
      screenImage(kStageWidth, kStageHeight),
      stageImage(kStageWidth, kStageHeight),
      tintImage(kStageWidth, kStageHeight),
      savedScreenImage(kStageWidth, kStageHeight),
      textImage(kStageWidth, kStageHeight),
      windowSurface(kStageWidth, kStageHeight),
      backgroundPixels(kStageWidth, kStageHeight),
      scenario(s.folder),
      midiPlayer(std::make_unique<MidiPlayer>(s.audio)) {
  applicationTitle = Sj(kApplicationTitle);
  BuildMenu();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
  // The random generator is seeded with the time, as the runtime's is.
  randomState = uint32_t(std::time(nullptr));
  // The wait indicators are optional: a missing or unreadable picture draws nothing.
  if (auto bytes = folder().ReadAll("icon1.bmp")) lineWaitIcon = DecodeBmp(*bytes).image;
  if (auto bytes = folder().ReadAll("icon2.bmp")) pageWaitIcon = DecodeBmp(*bytes).image;
  defs = ReadStartupDefinitions(folder());
  cdTracks = CdTrackSet::Scan(folder());
  pictureCache = std::make_unique<PictureCache>(folder(), defs.picturePackageName);
  uint32_t volume = 0;
  if ((haveSavedVolumes[0] = services.audio.GetVolume(VolumeLine::Wave, volume))) savedWaveVolume = volume;
  if ((haveSavedVolumes[1] = services.audio.GetVolume(VolumeLine::Midi, volume))) savedMidiVolume = volume;
  if ((haveSavedVolumes[2] = services.audio.GetVolume(VolumeLine::Cd, volume))) savedCdVolume = volume;
  commands.FillCommandTable();
  EnableTimer(timer1, true);
  EnableTimer(timer2, true);
  ResetScene();
  Init();
  ClearStage();
  // The settings file is read here once it exists in this player.
  screenImage.Fill(Rgb{});
  RepaintScreen();
}

void TForm1::Init() {
  scene.windowCaption.Set(Sj(kVersionCaption));
  SetCaption(scene.windowCaption.str());
  textCursorX = 0;
  textCursorY = 0;
  messageDelayMs = 50;
  skipMode = false;
  choiceActive = false;
  if (!LoadFirstScenario()) {
    // Without a scenario there is nothing to play: say so and end, rather than run on an
    // empty text.
    ShowMessage(Sj("シナリオファイルの読みこみに失敗しました。"));
    Close();
    return;
  }
  scene.readPosition = 0;
  scriptOffset = 0;
  scene.historyFontSize = 12;
  scene.historyLeft = 0;
  scene.historyTop = 0;
  scene.historyRight = kStageWidth;
  scene.historyBottom = kStageHeight;
  scene.historyMode = 0;
  scene.historyTextColor = 0xFFFFFF;
  host().ResetCursor();
}

void TForm1::FormShow() {
  SetCaption(Sj(kVersionCaption));
  EnableTimer(timer3, true);
}

void TForm1::Close() {
  if (closed) return;
  FormClose();
  closed = true;
}

void TForm1::FormClose() {
  if (fullScreen == 1 && IsChecked("FullMode")) host().SetFullScreen(false);
  StopCd();
  StopWave();
  midiPlayer->UnloadSong();
  if (haveSavedVolumes[0]) services.audio.SetVolume(VolumeLine::Wave, savedWaveVolume);
  if (haveSavedVolumes[1]) services.audio.SetVolume(VolumeLine::Midi, savedMidiVolume);
  if (haveSavedVolumes[2]) services.audio.SetVolume(VolumeLine::Cd, savedCdVolume);
}

bool TForm1::LoadFirstScenario() {
  ScenarioLoad load = scenario.LoadFirstScenario(defs.scenarioFileName);
  if (!load.ok) return false;
  scene.scenarioName.Set(load.name);
  return true;
}

bool TForm1::SwitchScenario(std::string_view name) {
  if (scenario.SwitchScenario(name, scene.scenarioName.str())) return true;
  ShowMessage(Sj("シナリオファイルの読みこみに失敗しました。"));
  return false;
}

// --- timers ---

void TForm1::EnableTimer(FormTimer& timer, bool enabled) {
  timer.enabled = enabled;
  if (enabled) timer.dueMs = clock().NowMs() + timer.intervalMs;
}

void TForm1::SetTimer2Interval(uint32_t ms) {
  timer2.intervalMs = ms;
  if (timer2.enabled) timer2.dueMs = clock().NowMs() + ms;
}

bool TForm1::NextTimerDue(uint32_t& dueMs) {
  bool any = false;
  const uint32_t now = clock().NowMs();
  for (const FormTimer* t : {&timer1, &timer2, &timer3}) {
    if (!t->enabled) continue;
    if (!any || int32_t(t->dueMs - now) < int32_t(dueMs - now)) dueMs = t->dueMs;
    any = true;
  }
  return any;
}

void TForm1::Fire(FormTimer& timer, void (TForm1::*handler)(), uint32_t nowMs) {
  if (closed || !timer.enabled || !Due(nowMs, timer.dueMs)) return;
  // A timer with a zero interval would fire forever without letting time pass.
  timer.dueMs = nowMs + std::max<uint32_t>(timer.intervalMs, 1);
  (this->*handler)();
}

void TForm1::FireDueTimers(uint32_t nowMs) {
  Fire(timer1, &TForm1::Timer1Timer, nowMs);
  Fire(timer2, &TForm1::Timer2Timer, nowMs);
  Fire(timer3, &TForm1::Timer3Timer, nowMs);
}

void TForm1::Timer3Timer() {
  EnableTimer(timer3, false);
  FormClick();
}

// --- drawing ---

void TForm1::PresentWindow() { host().Present(windowSurface); }

void TForm1::RepaintScreen() {
  CopyImage(windowSurface, screenImage);
  PresentWindow();
}

Rect TForm1::MessageBox() const { return Rect{scene.boxLeft, scene.boxTop, scene.boxRight, scene.boxBottom}; }

FontSpec TForm1::MessageFont() const {
  // A size of 0 (no FONTSIZE yet) draws at the form's default size, as the window's font
  // does; the line advance still uses the stored number.
  int size = scene.fontSize > 0 ? scene.fontSize : 12;
  return FontSpec{scene.fontName.str(), size, RgbFromColorRef(textColor)};
}

// --- boxes ---

void TForm1::ShowMessage(std::string_view text) { host().ShowMessage(text, applicationTitle); }

bool TForm1::AskYesNo(std::string_view text, std::string_view caption) { return host().AskYesNo(text, caption); }

void TForm1::SetCaption(std::string_view caption) {
  applicationTitle = std::string(caption);
  host().SetCaption(caption);
}

void TForm1::WaitMs(int32_t ms) {
  // A negative pause is not a pause length: it waits nothing.
  if (ms > 0) clock().WaitMs(uint32_t(ms));
}

}  // namespace orv

// The menu bar and the player's handlers of its items: message speed, page mode, stay-on-top,
// display modes, exit and the version box.
#include "app/menus.h"

#include <functional>
#include <map>

#include "app/player.h"
#include "platform/host.h"
#include "platform/sjis.h"

namespace orv {

namespace {
MenuItem Item(std::string name, std::string_view captionUtf8, bool checked = false) {
  MenuItem item;
  item.name = std::move(name);
  item.caption = Sj(captionUtf8);
  item.checked = checked;
  return item;
}
MenuItem Separator(std::string name) {
  MenuItem item;
  item.name = std::move(name);
  item.separator = true;
  return item;
}
}  // namespace

Menus::Menus(Host& host) : host_(host), model_(Build()), built_(model_) {}

void Menus::Reset() { model_ = built_; }

MenuModel Menus::Build() {
  MenuItem file = Item("File", "ファイル(&F)");
  MenuItem save = Item("Save", "セーブ");
  MenuItem load = Item("Load", "ロード");
  for (int n = 0; n < 10; ++n) {
    const std::string caption = std::to_string(n) + ": ---- --/-- --:--:--";
    save.children.push_back(Item("SaveDat" + std::to_string(n), caption));
    load.children.push_back(Item("LoadDat" + std::to_string(n), caption));
  }
  MenuItem exitMenu = Item("Exit1", "終了");
  exitMenu.children = {Item("N1", "タイトルに戻る"), Item("N5", "ゲームを終了する")};
  file.children = {save, load, Item("N2", "画面の保存"), Separator("N4"), exitMenu};

  MenuItem config = Item("Config", "設定(&C)");
  MenuItem display = Item("DisplayMode", "解像度の変更(&D)");
  display.children = {Item("FullMode", "フルスクリーン表示"), Item("WindowMode", "ウィンドウ表示", true)};
  MenuItem speed = Item("MESSAGE1", "メッセージスピードの変更(&M)");
  speed.children = {Item("vol1", "速い"), Item("vol2", "やや速い"), Item("vol3", "標準", true),
                    Item("vol4", "やや遅い"), Item("vol5", "遅い")};
  config.children = {display, speed, Item("P1", "テキストをページ単位で表示する(&P)"),
                     Item("volume", "音量設定(&V)"), Item("N3", "常に手前で表示", true)};

  MenuItem help = Item("Help", "ヘルプ(&H)");
  help.children = {Item("About1", "バージョン情報")};

  // The player's own section, apart from the kit's menus: what this player adds.
  MenuItem player = Item("PlayerMenu", "プレイヤー(&O)");
  player.children = {Item("Speak", "読み上げ(V)"),
                     Item("AutoMode", "オートモード(A)"),
                     Item("Screenshot", "スクリーンショット(F12)"),
                     Item("TextSocket", "テキストを外部に送る"),
                     Item("StepBack", "一つ前に戻る(BS)"),
                     Item("StepForward", "一つ先に進む(PgDn)")};

  return MenuModel{{file, Item("SKIP", "次の選択肢まで進む(&S)"), config, help, player}};
}

void Menus::Changed() { host_.MenuChanged(model_); }

void Menus::SetChecked(std::string_view item, bool checked) {
  if (MenuItem* m = model_.Find(item)) m->checked = checked;
  Changed();
}

bool Menus::IsChecked(std::string_view item) const {
  const MenuItem* m = model_.Find(item);
  return m != nullptr && m->checked;
}

void Menus::SetEnabled(std::string_view item, bool enabled) {
  if (MenuItem* m = model_.Find(item)) m->enabled = enabled;
  Changed();
}

bool Menus::IsEnabled(std::string_view item) const {
  const MenuItem* m = model_.Find(item);
  return m != nullptr && m->enabled;
}

namespace {
// True when `name` is in `items` and it and every item above it are enabled.
bool ReachableIn(const std::vector<MenuItem>& items, std::string_view name) {
  for (const MenuItem& item : items) {
    if (!item.enabled) continue;
    if (item.name == name || ReachableIn(item.children, name)) return true;
  }
  return false;
}
}  // namespace

bool Menus::IsReachable(std::string_view item) const { return ReachableIn(model_.items, item); }

void Menus::CheckOnly(std::string_view item, std::initializer_list<std::string_view> group) {
  for (std::string_view other : group)
    if (MenuItem* m = model_.Find(other)) m->checked = (other == item);
  Changed();
}

// --- the player's handlers ---

void Player::MenuClick(std::string_view name) {
  const uint32_t since = services_.clock.NowMs();
  ChooseMenuItem(name);
  HandlerReturned(since);
}

void Player::ChooseMenuItem(std::string_view name) {
  const MenuItem* item = menus_.model().Find(name);
  if (item == nullptr || !menus_.IsReachable(name) || item->separator || !item->children.empty()) return;
  if (PlayerMenuClick(name)) return;
  autoMode_.Stop();
  spokenText_.ActionBegins();
  static const std::map<std::string_view, void (Player::*)()> kActions = {
      {"P1", &Player::TogglePageMode},         {"N3", &Player::ToggleStayOnTop},
      {"N5", &Player::Close},                  {"About1", &Player::ShowAbout},
      {"SKIP", &Player::ToggleSkipMode},       {"FullMode", &Player::EnterFullScreen},
      {"WindowMode", &Player::EnterWindowMode}, {"volume", &Player::ShowVolumeDialog},
  };
  if (auto action = kActions.find(name); action != kActions.end()) {
    (this->*action->second)();
  } else if (name.size() == 4 && name.starts_with("vol") && name[3] >= '1' && name[3] <= '5') {
    SetMessageSpeed(name[3] - '0');
  } else if (name.size() == 8 && (name.starts_with("SaveDat") || name.starts_with("LoadDat")) && name[7] >= '0' &&
             name[7] <= '9') {
    if (name[0] == 'S') SaveSlot(name[7] - '0');
    else LoadSlotAndGoOn(name[7] - '0');
  } else if (name == "N1") {
    ReturnToTitle();
  } else if (name == "N2") {
    SaveScreen();
  }
}

void Player::SetMessageSpeed(int level) {
  menus_.CheckOnly("vol" + std::to_string(level), {"vol1", "vol2", "vol3", "vol4", "vol5"});
  interpreter_.SetMessageDelay(defs_.messageSpeedTable[size_t(level - 1)]);
  scene_.messageSpeed = uint8_t(level);
}

void Player::TogglePageMode() { menus_.SetChecked("P1", !menus_.IsChecked("P1")); }

void Player::ToggleStayOnTop() {
  menus_.SetChecked("N3", !menus_.IsChecked("N3"));
  services_.host.SetStayOnTop(menus_.IsChecked("N3"));
}

void Player::ShowAbout() { ShowMessage(std::string(kAboutText)); }

void Player::EnterFullScreen() {
  services_.host.SetFullScreen(true);
  window_.fullScreen = 1;
  menus_.CheckOnly("FullMode", {"FullMode", "WindowMode"});
}

void Player::EnterWindowMode() {
  services_.host.SetFullScreen(false);
  services_.host.SetMenuBarVisible(true);
  window_.menuHidden = 0;
  window_.fullScreen = 0;
  menus_.CheckOnly("WindowMode", {"FullMode", "WindowMode"});
  services_.host.CenterWindow();
}

// A new dialog each time: its mute boxes start unticked, its sliders where the volumes are.
// The volumes it leaves are the player's choice, kept for their settings as they are now.
void Player::ShowVolumeDialog() {
  constexpr VolumeLine kLines[] = {VolumeLine::Wave, VolumeLine::Midi, VolumeLine::Cd};
  std::array<std::optional<uint32_t>, 3> before;
  for (VolumeLine line : kLines)
    if (uint32_t volume = 0; sound_.audio().GetVolume(line, volume)) before[size_t(line)] = volume;
  volumeDialog_ = std::make_unique<VolumeDialog>(sound_.audio());
  services_.host.ShowVolumeDialog(*volumeDialog_);
  volumeDialog_->Close();
  for (VolumeLine line : kLines)
    if (uint32_t volume = 0; sound_.audio().GetVolume(line, volume) && before[size_t(line)] != volume)
      chosenVolumes_[size_t(line)] = volume;
}

}  // namespace orv

// The menu bar and its handlers: message speed, page mode, stay-on-top, display modes,
// exit and the version box. Items whose features arrive later are shown greyed out.
#include <functional>
#include <map>

#include "app/form.h"

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

void TForm1::BuildMenu() {
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

  menu.items = {file, Item("SKIP", "次の選択肢まで進む(&S)"), config, help};
  // Not in this player yet: shown, but greyed out.
  for (const char* name : {"Save", "Load", "N1", "N2"}) menu.Find(name)->enabled = false;
}

void TForm1::MenuChanged() { host().MenuChanged(menu); }

void TForm1::SetChecked(std::string_view item, bool checked) {
  if (MenuItem* m = menu.Find(item)) m->checked = checked;
  MenuChanged();
}

bool TForm1::IsChecked(std::string_view item) const {
  const MenuItem* m = menu.Find(item);
  return m != nullptr && m->checked;
}

void TForm1::SetEnabled(std::string_view item, bool enabled) {
  if (MenuItem* m = menu.Find(item)) m->enabled = enabled;
  MenuChanged();
}

void TForm1::MenuClick(std::string_view name) {
  const MenuItem* item = menu.Find(name);
  if (item == nullptr || !item->enabled || item->separator || !item->children.empty()) return;
  static const std::map<std::string_view, std::function<void(TForm1&)>> handlers = {
      {"vol1", [](TForm1& f) { f.SpeedClick(1); }}, {"vol2", [](TForm1& f) { f.SpeedClick(2); }},
      {"vol3", [](TForm1& f) { f.SpeedClick(3); }}, {"vol4", [](TForm1& f) { f.SpeedClick(4); }},
      {"vol5", [](TForm1& f) { f.SpeedClick(5); }}, {"P1", [](TForm1& f) { f.P1Click(); }},
      {"N3", [](TForm1& f) { f.N3Click(); }},       {"N5", [](TForm1& f) { f.N5Click(); }},
      {"About1", [](TForm1& f) { f.About1Click(); }}, {"SKIP", [](TForm1& f) { f.SKIPClick(); }},
      {"FullMode", [](TForm1& f) { f.FullModeClick(); }},
      {"WindowMode", [](TForm1& f) { f.WindowModeClick(); }},
      {"volume", [](TForm1& f) { f.VolumeClick(); }},
  };
  auto handler = handlers.find(name);
  if (handler != handlers.end()) handler->second(*this);
}

void TForm1::SpeedClick(int level) {
  for (int k = 1; k <= 5; ++k) {
    if (MenuItem* m = menu.Find("vol" + std::to_string(k))) m->checked = (k == level);
  }
  MenuChanged();
  messageDelayMs = defs.messageSpeedTable[size_t(level - 1)];
  scene.messageSpeed = uint8_t(level);
}

void TForm1::P1Click() { SetChecked("P1", !IsChecked("P1")); }

void TForm1::N3Click() {
  SetChecked("N3", !IsChecked("N3"));
  host().SetStayOnTop(IsChecked("N3"));
}

void TForm1::N5Click() { Close(); }

void TForm1::About1Click() { ShowMessage(std::string(kAboutText)); }

void TForm1::FullModeClick() {
  host().SetFullScreen(true);
  fullScreen = 1;
  if (MenuItem* m = menu.Find("FullMode")) m->checked = true;
  if (MenuItem* m = menu.Find("WindowMode")) m->checked = false;
  MenuChanged();
}

void TForm1::WindowModeClick() {
  host().SetFullScreen(false);
  host().SetMenuBarVisible(true);
  menuHidden = 0;
  fullScreen = 0;
  if (MenuItem* m = menu.Find("FullMode")) m->checked = false;
  if (MenuItem* m = menu.Find("WindowMode")) m->checked = true;
  MenuChanged();
  host().CenterWindow();
}

// A new dialog each time: its mute boxes start unticked, its sliders where the volumes are.
void TForm1::VolumeClick() {
  volumeDialog = std::make_unique<VolumeDialog>(services.audio);
  host().ShowVolumeDialog(*volumeDialog);
  volumeDialog->Close();
}

}  // namespace orv

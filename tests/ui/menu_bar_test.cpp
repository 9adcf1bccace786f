#include "platform/ui/menu_bar.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace orv {
namespace {

using test::Sjis;

MenuItem Item(std::string name, std::string_view caption, std::vector<MenuItem> children = {}) {
  MenuItem item;
  item.name = std::move(name);
  item.caption = Sjis(caption);
  item.children = std::move(children);
  return item;
}

MenuItem Separator() {
  MenuItem item;
  item.separator = true;
  return item;
}

// The shape of the game's menu: nested sub-menus, a separator, a command on the bar itself.
MenuModel GameLikeMenu() {
  MenuModel model;
  MenuItem save = Item("Save", "セーブ", {Item("SaveDat0", "0: ---- --/-- --:--:--"), Item("SaveDat1", "1: ---- --/-- --:--:--")});
  MenuItem exit = Item("Exit1", "終了", {Item("N1", "タイトルに戻る"), Item("N5", "ゲームを終了する")});
  model.items.push_back(Item("File", "ファイル(&F)", {save, Item("N2", "画面の保存"), Separator(), exit}));
  model.items.push_back(Item("SKIP", "次の選択肢まで進む(&S)"));
  MenuItem speed = Item("MESSAGE1", "メッセージスピードの変更(&M)", {Item("vol1", "速い"), Item("vol3", "標準")});
  speed.children[1].checked = true;
  MenuItem config = Item("Config", "設定(&C)", {speed, Item("P1", "テキストをページ単位で表示する(&P)")});
  config.children[1].enabled = false;
  model.items.push_back(config);
  return model;
}

class MenuBarTest : public ::testing::Test {
 protected:
  MenuBarTest() : bar(fonts) {
    bar.SetModel(GameLikeMenu());
    bar.Place(Rect{0, 0, 640, MenuBar::Height(1)}, 1, 640, 500);
  }
  // The centre of a panel's row-th row (rows are 20 pixels, below a 3-pixel border).
  static std::pair<int, int> RowCentre(const Panel& panel, int row) {
    return {panel.where.left + 30, panel.where.top + 3 + row * 20 + 10};
  }
  FontRenderer fonts;
  MenuBar bar;
};

TEST_F(MenuBarTest, CaptionsShowTheirAccelerator) {
  const ui::Caption caption = ui::ParseCaption(Sjis("ファイル(&F)"));
  EXPECT_EQ(caption.text, U"ファイル(F)");
  EXPECT_EQ(caption.underline, 5);
  EXPECT_EQ(caption.accelerator, U'F');
  EXPECT_EQ(ui::ParseCaption("A&&B").text, U"A&B");
  EXPECT_EQ(ui::ParseCaption("A&&B").underline, -1);
}

TEST_F(MenuBarTest, MouseOpensNestedMenusAndChoosesALeaf) {
  EXPECT_FALSE(bar.MouseDown(5, 300).consumed);  // the stage is not the menu's
  EXPECT_TRUE(bar.MouseDown(10, 10).consumed);
  EXPECT_TRUE(bar.MouseUp(10, 10).consumed);
  ASSERT_TRUE(bar.Active());
  std::vector<Panel> panels = bar.Render();
  ASSERT_EQ(panels.size(), 2u);  // the bar and the File drop-down
  // Hovering "セーブ" opens its sub-menu beside it.
  auto [sx, sy] = RowCentre(panels[1], 0);
  bar.MouseMove(sx, sy);
  panels = bar.Render();
  ASSERT_EQ(panels.size(), 3u);
  EXPECT_GE(panels[2].where.left, panels[1].where.right - 5);
  auto [x, y] = RowCentre(panels[2], 1);
  bar.MouseMove(x, y);
  EXPECT_TRUE(bar.MouseDown(x, y).consumed);
  const MenuInput chosen = bar.MouseUp(x, y);
  EXPECT_EQ(chosen.chosen, "SaveDat1");
  EXPECT_FALSE(bar.Active());
}

TEST_F(MenuBarTest, AnOpenSubMenuStaysWhileThePointerCrossesOtherRows) {
  bar.MouseDown(10, 10);
  bar.MouseUp(10, 10);
  std::vector<Panel> panels = bar.Render();
  auto [sx, sy] = RowCentre(panels[1], 0);  // セーブ opens its slots
  bar.MouseMove(sx, sy, 1000);
  ASSERT_EQ(bar.Render().size(), 3u);
  const Rect saveSlots = bar.Render()[2].where;
  auto [nx, ny] = RowCentre(panels[1], 1);  // passing over 画面の保存
  bar.MouseMove(nx, ny, 1100);
  EXPECT_EQ(bar.Render()[2].where, saveSlots);
  EXPECT_FALSE(bar.Tick(1100 + MenuBar::kSubMenuDelayMs - 1));
  // Into the open sub-menu before the delay: it stays, and nothing waits any more.
  auto [cx, cy] = RowCentre(bar.Render()[2], 1);
  bar.MouseMove(cx, cy, 1200);
  EXPECT_FALSE(bar.SwitchDueMs());
  EXPECT_FALSE(bar.Tick(5000));
  EXPECT_EQ(bar.Render()[2].where, saveSlots);
  // Resting on 終了 replaces it with 終了's own.
  const int ex = panels[1].where.left + 30, ey = panels[1].where.top + 3 + 2 * 20 + 8 + 10;  // past the separator
  bar.MouseMove(ex, ey, 6000);
  EXPECT_EQ(bar.SwitchDueMs(), 6000 + MenuBar::kSubMenuDelayMs);
  EXPECT_TRUE(bar.Tick(6000 + MenuBar::kSubMenuDelayMs));
  panels = bar.Render();
  ASSERT_EQ(panels.size(), 3u);
  EXPECT_NE(panels[2].where, saveSlots);
  auto [px, py] = RowCentre(panels[2], 1);
  bar.MouseMove(px, py, 7000);
  bar.MouseDown(px, py);
  EXPECT_EQ(bar.MouseUp(px, py).chosen, "N5");
}

TEST_F(MenuBarTest, ClickOutsideClosesWithoutChoosing) {
  bar.MouseDown(10, 10);
  bar.MouseUp(10, 10);
  ASSERT_TRUE(bar.Active());
  const MenuInput down = bar.MouseDown(600, 400);
  EXPECT_TRUE(down.consumed);  // the click that closes the menu is not the game's
  EXPECT_FALSE(bar.Active());
  EXPECT_TRUE(bar.MouseUp(600, 400).chosen.empty());
}

TEST_F(MenuBarTest, DisabledItemsAndSubMenuParentsAreNotChosen) {
  EXPECT_TRUE(bar.Key(MenuKey::Letter, 'C', true).consumed);  // Alt+C opens 設定
  std::vector<Panel> panels = bar.Render();
  ASSERT_EQ(panels.size(), 2u);
  auto [x, y] = RowCentre(panels[1], 1);  // the disabled page-mode item
  bar.MouseMove(x, y);
  bar.MouseDown(x, y);
  EXPECT_TRUE(bar.MouseUp(x, y).chosen.empty());
  EXPECT_TRUE(bar.Active());
  EXPECT_TRUE(bar.Key(MenuKey::Enter, 0, false).chosen.empty());
}

TEST_F(MenuBarTest, KeyboardWalksTheTree) {
  EXPECT_FALSE(bar.Key(MenuKey::Letter, 'F', false).consumed);  // F alone is the game's
  EXPECT_FALSE(bar.Key(MenuKey::Letter, 'Q', true).consumed);   // no such accelerator
  EXPECT_TRUE(bar.Key(MenuKey::Letter, 'F', true).consumed);
  bar.Key(MenuKey::Right, 0, false);  // into セーブ's sub-menu, first slot
  bar.Key(MenuKey::Down, 0, false);
  EXPECT_EQ(bar.Key(MenuKey::Enter, 0, false).chosen, "SaveDat1");

  // Down past the separator to 終了, Right into it, Down to ゲームを終了する.
  bar.Key(MenuKey::Letter, 'F', true);
  bar.Key(MenuKey::Down, 0, false);  // 画面の保存
  bar.Key(MenuKey::Down, 0, false);  // skips the separator: 終了
  bar.Key(MenuKey::Right, 0, false);
  bar.Key(MenuKey::Down, 0, false);
  EXPECT_EQ(bar.Key(MenuKey::Enter, 0, false).chosen, "N5");

  // Escape closes one level at a time.
  bar.Key(MenuKey::Letter, 'F', true);
  bar.Key(MenuKey::Right, 0, false);
  EXPECT_EQ(bar.Render().size(), 3u);
  bar.Key(MenuKey::Escape, 0, false);
  EXPECT_EQ(bar.Render().size(), 2u);
  bar.Key(MenuKey::Escape, 0, false);
  EXPECT_FALSE(bar.Active());

  // A command on the bar itself is chosen by its accelerator at once.
  EXPECT_EQ(bar.Key(MenuKey::Letter, 'S', true).chosen, "SKIP");
  // Left from File wraps to the last top menu.
  bar.Key(MenuKey::Letter, 'F', true);
  bar.Key(MenuKey::Left, 0, false);
  bar.Key(MenuKey::Right, 0, false);  // into メッセージスピードの変更
  bar.Key(MenuKey::Down, 0, false);
  EXPECT_EQ(bar.Key(MenuKey::Enter, 0, false).chosen, "vol3");
}

TEST_F(MenuBarTest, ModelChangesKeepOrCloseTheOpenPath) {
  bar.Key(MenuKey::Letter, 'F', true);
  bar.Key(MenuKey::Right, 0, false);
  MenuModel changed = GameLikeMenu();
  changed.items[0].children[0].children[0].caption = Sjis("0: 2024/01/01 10:00:00");
  bar.SetModel(changed);
  EXPECT_EQ(bar.Render().size(), 3u);
  bar.SetModel(MenuModel{});
  EXPECT_FALSE(bar.Active());
  EXPECT_EQ(bar.Render().size(), 1u);
}

TEST_F(MenuBarTest, DropDownsStayInsideTheWindow) {
  bar.Place(Rect{0, 0, 200, MenuBar::Height(1)}, 1, 200, 120);
  bar.Key(MenuKey::Letter, 'C', true);
  bar.Key(MenuKey::Right, 0, false);
  for (const Panel& panel : bar.Render()) {
    EXPECT_GE(panel.where.left, 0);
    EXPECT_GE(panel.where.top, 0);
    EXPECT_LE(panel.where.bottom, 120);
  }
}

}  // namespace
}  // namespace orv

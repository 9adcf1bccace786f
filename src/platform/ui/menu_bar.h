#pragma once
// The menu bar the backend draws above the stage, with its drop-down menus and nested
// sub-menus, driven by mouse and keyboard. It knows nothing of SDL: positions are window
// pixels, keys arrive already translated, and it draws into Panels.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/ui/ui_draw.h"

namespace orv {

enum class MenuKey { Up, Down, Left, Right, Enter, Escape, Letter, Other };

// What an input did to the menu: whether the menu took it (the game must not see it), and
// the component name of the item it chose, if any.
struct MenuInput {
  bool consumed = false;
  std::string chosen;
};

class MenuBar {
 public:
  explicit MenuBar(FontRenderer& fonts) : fonts_(fonts) {}

  void SetModel(const MenuModel& model);
  const MenuModel& model() const { return model_; }

  // Places the bar: its rectangle in window pixels, the widget scale and the window's size
  // (drop-downs stay inside it).
  void Place(Rect bar, int scale, int windowWidth, int windowHeight);
  static int Height(int scale) { return 20 * scale; }

  // A drop-down is open, or the bar has the keyboard (F10).
  bool Active() const { return !open_.empty() || barFocus_; }
  void Close();
  // The point lies on the bar or on an open drop-down.
  bool Covers(int x, int y) const;

  // `nowMs` is any millisecond clock: the pointer crossing other rows on its way into an
  // open sub-menu must not close it, so a hovered row replaces the open sub-menu only once
  // the pointer has rested on it for kSubMenuDelayMs (on a later move or Tick).
  MenuInput MouseMove(int x, int y, uint32_t nowMs = 0);
  // Carries out a replacement whose delay has passed; true when the menu changed.
  bool Tick(uint32_t nowMs);
  // When Tick has work to do, or nothing.
  std::optional<uint32_t> SwitchDueMs() const;
  static constexpr uint32_t kSubMenuDelayMs = 300;
  MenuInput MouseDown(int x, int y);
  MenuInput MouseUp(int x, int y);
  // Alt+letter, F10 (as `focusBar`) and, while active, the navigation keys.
  MenuInput Key(MenuKey key, char letter, bool alt, bool focusBar = false);

  // The bar and every open drop-down, bar first.
  std::vector<Panel> Render() const;

 private:
  struct Row {
    Rect where;
    const MenuItem* item;
  };
  struct DropDown {
    Rect where;
    std::vector<Row> rows;
  };

  const MenuItem* TopItem(int index) const;
  std::vector<Row> TopRows() const;
  int TopAt(int x, int y) const;
  // The items of drop-down level k (its parent is the top item or the hot row above it).
  const std::vector<MenuItem>* LevelItems(size_t level) const;
  DropDown LevelGeometry(size_t level) const;
  std::vector<DropDown> OpenGeometry() const;
  // The drop-down level and row under the point, or nothing.
  std::optional<std::pair<size_t, int>> RowAt(int x, int y) const;

  void OpenTop(int index, bool selectFirst);
  void OpenChild(size_t level, bool selectFirst);
  void MoveHot(int direction);
  MenuInput Choose(const MenuItem& item, size_t level);
  static bool Selectable(const MenuItem& item) { return !item.separator; }
  int FirstSelectable(const std::vector<MenuItem>& items) const;

  FontRenderer& fonts_;
  MenuModel model_;
  Rect bar_;
  int scale_ = 1;
  int windowWidth_ = 640, windowHeight_ = 480;

  int topHot_ = -1;        // highlighted top item
  bool barFocus_ = false;  // keyboard on the bar without a drop-down
  bool pressedTop_ = false;  // a top item without children is pressed
  std::vector<int> open_;  // per open drop-down level: the hot row (-1 for none)
  struct PendingSwitch {
    size_t level;
    int row;
    uint32_t sinceMs;
  };
  std::optional<PendingSwitch> pending_;  // a hovered row waiting to replace the open sub-menu
  void SwitchTo(size_t level, int row);
};

}  // namespace orv

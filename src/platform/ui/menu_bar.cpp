#include "platform/ui/menu_bar.h"

#include <algorithm>

namespace orv {
namespace {

// Drop-down metrics in unscaled pixels.
constexpr int kBorder = 3;
constexpr int kRowHeight = 20;
constexpr int kSeparatorHeight = 8;
constexpr int kCheckColumn = 20;
constexpr int kArrowColumn = 20;
constexpr int kTextGap = 16;
constexpr int kTopPadding = 6;

}  // namespace

void MenuBar::SetModel(const MenuModel& model) {
  model_ = model;
  // The open path must still lead somewhere; otherwise start over.
  if (topHot_ >= int(model_.items.size())) Close();
  for (size_t level = 0; level < open_.size(); ++level) {
    const std::vector<MenuItem>* items = LevelItems(level);
    if (!items || open_[level] >= int(items->size())) {
      Close();
      break;
    }
  }
}

void MenuBar::Place(Rect bar, int scale, int windowWidth, int windowHeight) {
  bar_ = bar;
  scale_ = std::max(1, scale);
  windowWidth_ = windowWidth;
  windowHeight_ = windowHeight;
}

void MenuBar::Close() {
  pending_.reset();
  open_.clear();
  topHot_ = -1;
  barFocus_ = false;
  pressedTop_ = false;
}

const MenuItem* MenuBar::TopItem(int index) const {
  if (index < 0 || index >= int(model_.items.size())) return nullptr;
  return &model_.items[size_t(index)];
}

std::vector<MenuBar::Row> MenuBar::TopRows() const {
  std::vector<Row> rows;
  const FontSpec font = ui::UiFont(scale_);
  int x = bar_.left + 2 * scale_;
  for (const MenuItem& item : model_.items) {
    const int width = fonts_.MeasureUnicode(ui::ParseCaption(item.caption).text, font) + 2 * kTopPadding * scale_;
    rows.push_back(Row{Rect{x, bar_.top, x + width, bar_.bottom}, &item});
    x += width;
  }
  return rows;
}

int MenuBar::TopAt(int x, int y) const {
  if (!bar_.Contains(x, y)) return -1;
  const std::vector<Row> rows = TopRows();
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].where.Contains(x, y)) return int(i);
  return -1;
}

const std::vector<MenuItem>* MenuBar::LevelItems(size_t level) const {
  const MenuItem* top = TopItem(topHot_);
  if (!top) return nullptr;
  const std::vector<MenuItem>* items = &top->children;
  for (size_t k = 0; k < level; ++k) {
    if (k >= open_.size() || open_[k] < 0 || open_[k] >= int(items->size())) return nullptr;
    items = &(*items)[size_t(open_[k])].children;
  }
  return items;
}

MenuBar::DropDown MenuBar::LevelGeometry(size_t level) const {
  DropDown drop;
  const std::vector<MenuItem>* items = LevelItems(level);
  if (!items || items->empty()) return drop;
  const int s = scale_;
  const FontSpec font = ui::UiFont(s);
  int textWidth = 0, height = 2 * kBorder * s;
  for (const MenuItem& item : *items) {
    if (!item.separator)
      textWidth = std::max(textWidth, fonts_.MeasureUnicode(ui::ParseCaption(item.caption).text, font));
    height += (item.separator ? kSeparatorHeight : kRowHeight) * s;
  }
  const int width = textWidth + (kCheckColumn + kTextGap + kArrowColumn + 2 * kBorder) * s;

  int x = 0, y = 0;
  if (level == 0) {
    const std::vector<Row> top = TopRows();
    x = top[size_t(topHot_)].where.left;
    y = bar_.bottom;
    if (x + width > windowWidth_) x = windowWidth_ - width;
  } else {
    const DropDown parent = LevelGeometry(level - 1);
    const Rect& parentRow = parent.rows[size_t(open_[level - 1])].where;
    x = parent.where.right - kBorder * s;
    y = parentRow.top - kBorder * s;
    if (x + width > windowWidth_) x = parent.where.left - width + kBorder * s;
  }
  x = std::max(0, x);
  if (y + height > windowHeight_) y = std::max(0, windowHeight_ - height);
  drop.where = Rect{x, y, x + width, y + height};

  int rowTop = y + kBorder * s;
  for (const MenuItem& item : *items) {
    const int h = (item.separator ? kSeparatorHeight : kRowHeight) * s;
    drop.rows.push_back(Row{Rect{x + kBorder * s, rowTop, x + width - kBorder * s, rowTop + h}, &item});
    rowTop += h;
  }
  return drop;
}

std::vector<MenuBar::DropDown> MenuBar::OpenGeometry() const {
  std::vector<DropDown> drops;
  for (size_t level = 0; level < open_.size(); ++level) drops.push_back(LevelGeometry(level));
  return drops;
}

std::optional<std::pair<size_t, int>> MenuBar::RowAt(int x, int y) const {
  const std::vector<DropDown> drops = OpenGeometry();
  // Deeper drop-downs lie on top.
  for (size_t level = drops.size(); level-- > 0;) {
    if (!drops[level].where.Contains(x, y)) continue;
    for (size_t row = 0; row < drops[level].rows.size(); ++row)
      if (drops[level].rows[row].where.Contains(x, y)) return std::pair{level, int(row)};
    return std::pair{level, -1};
  }
  return std::nullopt;
}

bool MenuBar::Covers(int x, int y) const { return bar_.Contains(x, y) || RowAt(x, y).has_value(); }

int MenuBar::FirstSelectable(const std::vector<MenuItem>& items) const {
  for (size_t i = 0; i < items.size(); ++i)
    if (Selectable(items[i])) return int(i);
  return -1;
}

void MenuBar::OpenTop(int index, bool selectFirst) {
  const MenuItem* top = TopItem(index);
  open_.clear();
  pending_.reset();
  pressedTop_ = false;
  if (!top) {
    Close();
    return;
  }
  topHot_ = index;
  if (top->children.empty()) {
    barFocus_ = true;
    return;
  }
  barFocus_ = false;
  open_.push_back(selectFirst ? FirstSelectable(top->children) : -1);
}

void MenuBar::OpenChild(size_t level, bool selectFirst) {
  const std::vector<MenuItem>* items = LevelItems(level);
  if (!items || level >= open_.size()) return;
  const int row = open_[level];
  if (row < 0 || row >= int(items->size())) return;
  const MenuItem& item = (*items)[size_t(row)];
  open_.resize(level + 1);
  if (!item.children.empty() && item.enabled) open_.push_back(selectFirst ? FirstSelectable(item.children) : -1);
}

void MenuBar::MoveHot(int direction) {
  const size_t level = open_.size() - 1;
  const std::vector<MenuItem>* items = LevelItems(level);
  if (!items || items->empty()) return;
  const int count = int(items->size());
  int row = open_[level];
  for (int step = 0; step < count; ++step) {
    row = row < 0 ? (direction > 0 ? 0 : count - 1) : (row + direction + count) % count;
    if (Selectable((*items)[size_t(row)])) {
      open_[level] = row;
      return;
    }
  }
}

MenuInput MenuBar::Choose(const MenuItem& item, size_t level) {
  MenuInput input{true, {}};
  if (!item.enabled || item.separator) return input;
  if (!item.children.empty()) {
    OpenChild(level, true);
    return input;
  }
  input.chosen = item.name;
  Close();
  return input;
}

MenuInput MenuBar::MouseMove(int x, int y, uint32_t nowMs) {
  if (open_.empty()) return MenuInput{bar_.Contains(x, y) || pressedTop_, {}};
  const int top = TopAt(x, y);
  if (top >= 0) {
    pending_.reset();
    if (top != topHot_) OpenTop(top, false);
    return MenuInput{true, {}};
  }
  const auto hit = RowAt(x, y);
  if (!hit || hit->second < 0 || open_[hit->first] == hit->second) {
    pending_.reset();
    return MenuInput{true, {}};
  }
  const auto [level, row] = *hit;
  if (level + 1 >= open_.size()) {  // no sub-menu open beside this drop-down: follow at once
    pending_.reset();
    SwitchTo(level, row);
  } else if (!pending_ || pending_->level != level || pending_->row != row) {
    pending_ = PendingSwitch{level, row, nowMs};
  } else {
    Tick(nowMs);
  }
  return MenuInput{true, {}};
}

void MenuBar::SwitchTo(size_t level, int row) {
  if (level >= open_.size()) return;
  open_[level] = row;
  open_.resize(level + 1);
  OpenChild(level, false);
}

bool MenuBar::Tick(uint32_t nowMs) {
  if (!pending_ || nowMs - pending_->sinceMs < kSubMenuDelayMs) return false;
  const PendingSwitch due = *pending_;
  pending_.reset();
  SwitchTo(due.level, due.row);
  return true;
}

std::optional<uint32_t> MenuBar::SwitchDueMs() const {
  if (!pending_) return std::nullopt;
  return pending_->sinceMs + kSubMenuDelayMs;
}

MenuInput MenuBar::MouseDown(int x, int y) {
  const int top = TopAt(x, y);
  if (top >= 0) {
    if (!open_.empty() && top == topHot_) {
      Close();
    } else {
      OpenTop(top, false);
      pressedTop_ = TopItem(top)->children.empty();
      barFocus_ = false;
    }
    return MenuInput{true, {}};
  }
  if (RowAt(x, y)) return MenuInput{true, {}};
  if (Active()) {
    Close();
    return MenuInput{true, {}};
  }
  return MenuInput{bar_.Contains(x, y), {}};
}

MenuInput MenuBar::MouseUp(int x, int y) {
  if (pressedTop_) {
    const int pressed = topHot_;
    const int top = TopAt(x, y);
    Close();
    if (top >= 0 && top == pressed) return Choose(*TopItem(top), 0);
    return MenuInput{true, {}};
  }
  if (auto hit = RowAt(x, y)) {
    auto [level, row] = *hit;
    if (row < 0) return MenuInput{true, {}};
    const std::vector<MenuItem>* items = LevelItems(level);
    const MenuItem& item = (*items)[size_t(row)];
    if (!item.children.empty()) return MenuInput{true, {}};
    open_[level] = row;
    return Choose(item, level);
  }
  return MenuInput{Active() || bar_.Contains(x, y), {}};
}

MenuInput MenuBar::Key(MenuKey key, char letter, bool alt, bool focusBar) {
  const auto acceleratorIn = [&](const std::vector<MenuItem>& items) -> int {
    if (key != MenuKey::Letter) return -1;
    for (size_t i = 0; i < items.size(); ++i)
      if (!items[i].separator && ui::ParseCaption(items[i].caption).accelerator == char32_t(letter)) return int(i);
    return -1;
  };
  const auto chooseTop = [&](int index) -> MenuInput {
    const MenuItem* item = TopItem(index);
    if (!item) return MenuInput{true, {}};
    if (!item->children.empty()) {
      OpenTop(index, true);
      return MenuInput{true, {}};
    }
    return Choose(*item, 0);
  };
  const int topCount = int(model_.items.size());

  if (!Active()) {
    if (focusBar && topCount > 0) {
      barFocus_ = true;
      topHot_ = 0;
      return MenuInput{true, {}};
    }
    if (!alt) return MenuInput{};
    const int index = acceleratorIn(model_.items);
    if (index < 0) return MenuInput{};
    return chooseTop(index);
  }
  if (focusBar) {
    Close();
    return MenuInput{true, {}};
  }

  if (open_.empty()) {  // the bar has the keyboard
    switch (key) {
      case MenuKey::Left: topHot_ = (topHot_ - 1 + topCount) % topCount; break;
      case MenuKey::Right: topHot_ = (topHot_ + 1) % topCount; break;
      case MenuKey::Down:
      case MenuKey::Enter: return chooseTop(topHot_);
      case MenuKey::Escape: Close(); break;
      case MenuKey::Letter: {
        const int index = acceleratorIn(model_.items);
        if (index >= 0) return chooseTop(index);
        break;
      }
      default: break;
    }
    return MenuInput{true, {}};
  }

  const size_t level = open_.size() - 1;
  const std::vector<MenuItem>* items = LevelItems(level);
  const int row = open_[level];
  const MenuItem* hot = items && row >= 0 && row < int(items->size()) ? &(*items)[size_t(row)] : nullptr;
  switch (key) {
    case MenuKey::Up: MoveHot(-1); break;
    case MenuKey::Down: MoveHot(+1); break;
    case MenuKey::Right:
      if (hot && !hot->children.empty() && hot->enabled) {
        OpenChild(level, true);
      } else {
        OpenTop((topHot_ + 1) % topCount, true);
      }
      break;
    case MenuKey::Left:
      if (level > 0) {
        open_.pop_back();
      } else {
        OpenTop((topHot_ - 1 + topCount) % topCount, true);
      }
      break;
    case MenuKey::Enter:
      if (hot) return Choose(*hot, level);
      break;
    case MenuKey::Escape:
      if (level > 0) {
        open_.pop_back();
      } else {
        Close();
      }
      break;
    case MenuKey::Letter:
      if (items) {
        const int index = acceleratorIn(*items);
        if (index >= 0) {
          open_[level] = index;
          return Choose((*items)[size_t(index)], level);
        }
      }
      break;
    default: break;
  }
  return MenuInput{true, {}};
}

std::vector<Panel> MenuBar::Render() const {
  std::vector<Panel> panels;
  const int s = scale_;
  const int cell = fonts_.CellHeight(ui::UiFont(s));

  Panel bar{bar_, Image(bar_.Width(), bar_.Height())};
  bar.pixels.Fill(ui::kFace);
  ui::HorizontalLine(bar.pixels, 0, bar_.Width(), bar_.Height() - s, s, ui::kShadow);
  const std::vector<Row> top = TopRows();
  for (size_t i = 0; i < top.size(); ++i) {
    const MenuItem& item = *top[i].item;
    const bool lit = int(i) == topHot_;
    Rect where = top[i].where;
    where = Rect{where.left - bar_.left, 0, where.right - bar_.left, bar_.Height() - s};
    Rgb color = item.enabled ? ui::kText : ui::kDisabledText;
    if (lit) {
      bar.pixels.FillRect(where, ui::kHighlight);
      color = ui::kHighlightText;
    }
    ui::DrawCaption(fonts_, bar.pixels, where.left + kTopPadding * s, (bar_.Height() - cell) / 2,
                    ui::ParseCaption(item.caption), ui::UiFont(s, color));
  }
  panels.push_back(std::move(bar));

  const std::vector<DropDown> drops = OpenGeometry();
  for (size_t level = 0; level < drops.size(); ++level) {
    const DropDown& drop = drops[level];
    if (drop.where.Empty()) continue;
    Panel panel{drop.where, Image(drop.where.Width(), drop.where.Height())};
    panel.pixels.Fill(ui::kFace);
    ui::FrameRaised(panel.pixels, Rect{0, 0, drop.where.Width(), drop.where.Height()}, s);
    for (size_t row = 0; row < drop.rows.size(); ++row) {
      const MenuItem& item = *drop.rows[row].item;
      const Rect r{drop.rows[row].where.left - drop.where.left, drop.rows[row].where.top - drop.where.top,
                   drop.rows[row].where.right - drop.where.left, drop.rows[row].where.bottom - drop.where.top};
      if (item.separator) {
        const int mid = r.top + r.Height() / 2 - s;
        ui::HorizontalLine(panel.pixels, r.left + s, r.right - s, mid, s, ui::kShadow);
        ui::HorizontalLine(panel.pixels, r.left + s, r.right - s, mid + s, s, ui::kLight);
        continue;
      }
      Rgb color = item.enabled ? ui::kText : ui::kDisabledText;
      if (open_[level] == int(row)) {
        panel.pixels.FillRect(r, ui::kHighlight);
        color = item.enabled ? ui::kHighlightText : ui::kDisabledText;
      }
      if (item.checked) {
        const int box = std::min(kCheckColumn * s, r.Height());
        ui::DrawCheck(panel.pixels, Rect{r.left + 3 * s, r.top + (r.Height() - box * 3 / 4) / 2,
                                         r.left + 3 * s + box * 3 / 4, r.top + (r.Height() + box * 3 / 4) / 2},
                      color);
      }
      ui::DrawCaption(fonts_, panel.pixels, r.left + kCheckColumn * s, r.top + (r.Height() - cell) / 2,
                      ui::ParseCaption(item.caption), ui::UiFont(s, color));
      if (!item.children.empty())
        ui::DrawArrowRight(panel.pixels, Rect{r.right - kArrowColumn * s, r.top, r.right, r.bottom}, color);
    }
    panels.push_back(std::move(panel));
  }
  return panels;
}

}  // namespace orv

#pragma once
// The menu bar as data: the game owns it and changes captions, checks and enabled states;
// each backend draws it and reports clicks by component name.
#include <string>
#include <string_view>
#include <vector>

namespace orv {

struct MenuItem {
  std::string name;     // the component name, e.g. "SaveDat3"
  std::string caption;  // Shift-JIS; "&X" marks the accelerator letter X
  bool checked = false;
  bool enabled = true;
  bool separator = false;
  std::vector<MenuItem> children;
};

struct MenuModel {
  std::vector<MenuItem> items;

  MenuItem* Find(std::string_view name);
  const MenuItem* Find(std::string_view name) const;
};

}  // namespace orv

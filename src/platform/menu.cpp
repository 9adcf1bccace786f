#include "platform/menu.h"

namespace orv {
namespace {
template <typename Item>
Item* FindIn(std::vector<Item>& items, std::string_view name) {
  for (auto& item : items) {
    if (item.name == name) return &item;
    if (auto* child = FindIn(item.children, name)) return child;
  }
  return nullptr;
}
template <typename Item>
const Item* FindIn(const std::vector<Item>& items, std::string_view name) {
  for (const auto& item : items) {
    if (item.name == name) return &item;
    if (const auto* child = FindIn(item.children, name)) return child;
  }
  return nullptr;
}
}  // namespace

MenuItem* MenuModel::Find(std::string_view name) { return FindIn(items, name); }
const MenuItem* MenuModel::Find(std::string_view name) const { return FindIn(items, name); }

}  // namespace orv

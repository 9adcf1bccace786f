#pragma once
// The menu bar the player shows: the kit's items under their component names, with their
// captions, check marks and enabled states. Every change is handed to the backend to draw.
#include <string_view>

#include "platform/menu.h"

namespace orv {

class Host;

class Menus {
 public:
  explicit Menus(Host& host);

  // Every item as a new menu bar has it.
  void Reset();

  void SetChecked(std::string_view item, bool checked);
  bool IsChecked(std::string_view item) const;
  void SetEnabled(std::string_view item, bool enabled);
  bool IsEnabled(std::string_view item) const;
  // The item and every menu above it are enabled: the player can choose it.
  bool IsReachable(std::string_view item) const;
  // Checks one item of a group and unchecks the others, in one change.
  void CheckOnly(std::string_view item, std::initializer_list<std::string_view> group);
  // Tells the backend the menu changed.
  void Changed();

  const MenuModel& model() const { return model_; }
  MenuModel& model() { return model_; }

 private:
  static MenuModel Build();

  Host& host_;
  MenuModel model_;
  // The menu bar as built, which a reset copies back: into the same items, which keeps their
  // storage.
  const MenuModel built_;
};

}  // namespace orv
